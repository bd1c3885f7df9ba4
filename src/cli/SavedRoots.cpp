#include "cli/SavedRoots.h"

#include "core/PathRules.h"
#include "platform/FileIO.h"
#include "platform/UserFolders.h"

#include <nlohmann/json.hpp>

#include <optional>

namespace tarnwick::cli {

namespace {

constexpr std::size_t kMaxPreferencesBytes = 16 * 1024 * 1024;

std::optional<std::string> fromBase64(const std::string &text)
{
    std::string bytes;
    unsigned buffer = 0;
    int bits = 0;
    for (const char c : text) {
        int value;
        if (c >= 'A' && c <= 'Z') {
            value = c - 'A';
        } else if (c >= 'a' && c <= 'z') {
            value = c - 'a' + 26;
        } else if (c >= '0' && c <= '9') {
            value = c - '0' + 52;
        } else if (c == '+') {
            value = 62;
        } else if (c == '/') {
            value = 63;
        } else if (c == '=') {
            break;
        } else {
            return std::nullopt;
        }
        buffer = (buffer << 6) | static_cast<unsigned>(value);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            bytes += static_cast<char>((buffer >> bits) & 0xFF);
        }
    }
    return bytes;
}

}  // namespace

std::vector<std::string> savedScanRoots()
{
    std::vector<std::string> roots;
    const std::string path = joinPath(joinPath(configHomeFolder(), "Tarnwick"), "preferences.json");
    std::string text;
    if (!readRegularFile(path, text, kMaxPreferencesBytes)) {
        return roots;
    }
    const auto document = nlohmann::json::parse(text, nullptr, false);
    if (!document.is_object() || !document.contains("roots") || !document["roots"].is_array()) {
        return roots;
    }
    // A path that is not UTF-8 is kept as {"$bytes": base64 of its bytes}.
    for (const auto &root : document["roots"]) {
        std::optional<std::string> value;
        if (root.is_string()) {
            value = root.get<std::string>();
        } else if (root.is_object() && root.size() == 1 && root.contains("$bytes") && root["$bytes"].is_string()) {
            value = fromBase64(root["$bytes"].get<std::string>());
        }
        if (value && !value->empty() && (*value)[0] == '/') {
            roots.push_back(*value);
        }
    }
    return roots;
}

}  // namespace tarnwick::cli
