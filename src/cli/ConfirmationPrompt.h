#pragma once

#include "engine/CancellationToken.h"

#include <string>

namespace tarnwick::cli {

enum class Answer { yes, no, interrupted };

// Asks `question` on standard error with " [y/N] " and reads one line from standard input: yes
// only for y or yes. A Ctrl-C while it waits answers `interrupted`.
Answer askOnTerminal(const std::string &question, const CancellationToken &token);

}  // namespace tarnwick::cli
