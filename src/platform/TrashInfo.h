#pragma once

#include <ctime>
#include <string>
#include <string_view>

// The text of a Trash entry's .trashinfo file and of its directorysizes line.
namespace tarnwick {

// Percent-encodes raw path bytes: letters, digits, '-', '_', '.', '~' and '/' stay as they are,
// every other byte (space, '%', '+', newline, non-ASCII, bytes that are not valid UTF-8) becomes %XX.
std::string percentEncodedPath(std::string_view bytes);

// The local time of `when` as YYYY-MM-DDThh:mm:ss.
std::string trashDeletionDate(std::time_t when);

// "[Trash Info]\nPath=...\nDeletionDate=...\n" for an item whose original location is `originalPath`
// (absolute, or relative to the top folder of its volume).
std::string trashInfoText(std::string_view originalPath, std::time_t deletedAt);

}  // namespace tarnwick
