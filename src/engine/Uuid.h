#pragma once

#include <string>

namespace tarnwick {

// A fresh random UUID in the upper-case hyphenated text form, from libuuid: the one source of
// record identifiers.
std::string newUuid();

}  // namespace tarnwick
