#pragma once

#include <string>
#include <vector>

namespace tarnwick::cli {

// The scan folders the desktop application keeps (the "roots" of its preferences file), so a user
// who set Tarnwick up in the window can schedule `clean --guided` without naming them again. Empty
// when the file is missing, unreadable, or has no usable list; the file is only ever read.
std::vector<std::string> savedScanRoots();

}  // namespace tarnwick::cli
