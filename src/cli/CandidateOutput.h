#pragma once

#include "engine/CleanupCandidate.h"

#include <string>
#include <string_view>
#include <vector>

namespace tarnwick::cli {

// A path for a terminal: control characters and bytes that are not valid UTF-8 are shown as \xNN,
// so a name with a newline stays on its line and odd bytes stay visible.
std::string displayPath(std::string_view path);

// A JSON string literal. Bytes that are not valid UTF-8 become \udcXX (the "surrogateescape"
// convention, which Python's os.fsencode turns back into the original bytes), so every path
// survives the trip exactly.
std::string jsonString(std::string_view text);

// ISO 8601 in UTC with whole seconds and a trailing Z.
std::string isoTimestamp(Timestamp time);

// The candidates as a JSON array of objects with id, path, key, category, description, risk, size
// and modifiedAt (null when unknown), one object per line.
std::string candidatesJson(const std::vector<CleanupCandidate> &candidates);

// The candidates as a table of size, rule key and path, with a total line.
std::string candidatesTable(const std::vector<CleanupCandidate> &candidates);

int64_t totalSize(const std::vector<CleanupCandidate> &candidates);

}  // namespace tarnwick::cli
