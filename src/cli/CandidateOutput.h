#pragma once

#include "cli/TerminalStyle.h"
#include "engine/CleanupCandidate.h"

#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick::cli {

// A path for a terminal: the same text a window shows (see visiblePath).
std::string displayPath(std::string_view path);

// A JSON string literal. Bytes that are not valid UTF-8 become U+FFFD, so the document stays
// valid for every parser; such paths also get their exact bytes in a separate field (see below).
std::string jsonString(std::string_view text);

// A JSON value as text with every string written by jsonString, the one rule for text that may not
// be UTF-8 (nlohmann's own dump refuses such bytes). Compact, no spaces.
std::string jsonText(const nlohmann::ordered_json &value);

// `key` (default "path"), and key + "Bytes" (the path percent-encoded byte for byte) when it is not
// UTF-8.
void addPathMembers(nlohmann::ordered_json &object, const std::string &path, const std::string &key = "path");

// A JSON array with one compact element per line, every string written by jsonString.
std::string jsonLinesArray(const std::vector<nlohmann::ordered_json> &elements);

// One candidate as a JSON object: id, path (and pathBytes when the path is not UTF-8), key,
// category, description, risk, size, modifiedAt.
nlohmann::ordered_json candidateJsonObject(const CleanupCandidate &candidate);

// The candidates as a JSON array of objects with id, path, key, category, description, risk, size
// and modifiedAt (null when unknown), one object per line. A path that is not valid UTF-8 cannot be
// a JSON string as it is; its object then also has "pathBytes", the path percent-encoded byte for
// byte, from which the exact path can be recovered.
std::string candidatesJson(const std::vector<CleanupCandidate> &candidates);

// The candidates as a table of size, rule key and path, with a total line; with colour, each key in
// the colour of its risk and the total in bold.
std::string candidatesTable(const std::vector<CleanupCandidate> &candidates, const TerminalStyle &style = {});

int64_t totalSize(const std::vector<CleanupCandidate> &candidates);

}  // namespace tarnwick::cli
