#pragma once

#include "engine/CancellationToken.h"

#include <optional>
#include <string>

namespace tarnwick::cli {

enum class Answer { yes, no, interrupted };

// Asks `question` on standard error with " [y/N] " and reads one line from standard input: yes
// only for y or yes. A Ctrl-C while it waits answers `interrupted`.
Answer askOnTerminal(const std::string &question, const CancellationToken &token);

// Asks whether to clean, as askOnTerminal does; says what happened when the answer is not yes and
// returns the exit status to end with then. Nothing when the cleaning may go ahead.
std::optional<int> refusedCleaning(const std::string &question, const CancellationToken &token);

}  // namespace tarnwick::cli
