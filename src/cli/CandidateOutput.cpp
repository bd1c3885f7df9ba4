#include "cli/CandidateOutput.h"

#include "core/ByteCountFormatter.h"
#include "core/CountPhrase.h"
#include "core/Iso8601.h"
#include "core/SaturatingAdd.h"
#include "core/Utf8.h"
#include "core/VisiblePath.h"
#include "platform/TrashInfo.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace tarnwick::cli {

namespace {

std::string hexEscape(const char *prefix, unsigned char byte)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%s%02x", prefix, byte);
    return buffer;
}

}  // namespace

std::string displayPath(std::string_view path)
{
    return visiblePath(path);
}

std::string jsonString(std::string_view text)
{
    std::string result = "\"";
    for (std::size_t i = 0; i < text.size();) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const std::size_t length = utf8SequenceLength(text, i);
        if (length == 0) {
            result += "\xEF\xBF\xBD";  // U+FFFD REPLACEMENT CHARACTER
            ++i;
            continue;
        }
        if (length == 1) {
            switch (byte) {
            case '"':
                result += "\\\"";
                break;
            case '\\':
                result += "\\\\";
                break;
            case '\n':
                result += "\\n";
                break;
            case '\t':
                result += "\\t";
                break;
            case '\r':
                result += "\\r";
                break;
            default:
                if (byte < 0x20) {
                    result += hexEscape("\\u00", byte);
                } else {
                    result += static_cast<char>(byte);
                }
            }
            ++i;
            continue;
        }
        result.append(text.substr(i, length));
        i += length;
    }
    result += '"';
    return result;
}

using Json = nlohmann::ordered_json;

void addPathMembers(Json &object, const std::string &path, const std::string &key)
{
    object[key] = path;
    if (!isValidUtf8(path)) {
        object[key + "Bytes"] = percentEncodedPath(path);
    }
}

Json candidateJsonObject(const CleanupCandidate &candidate)
{
    Json object;
    object["id"] = candidate.id;
    addPathMembers(object, candidate.path);
    object["key"] = candidate.key;
    object["category"] = candidate.category;
    object["description"] = candidate.description;
    object["risk"] = std::string(rawValue(candidate.risk));
    object["size"] = candidate.size;
    object["modifiedAt"] = candidate.modifiedAt ? Json(formatIso8601(*candidate.modifiedAt)) : Json(nullptr);
    return object;
}

std::string jsonText(const Json &value)
{
    if (value.is_string()) {
        return jsonString(value.get_ref<const std::string &>());
    }
    if (value.is_object()) {
        std::string text = "{";
        bool first = true;
        for (const auto &[key, member] : value.items()) {
            text += first ? "" : ",";
            first = false;
            text += jsonString(key) + ":" + jsonText(member);
        }
        return text + "}";
    }
    if (value.is_array()) {
        std::string text = "[";
        for (std::size_t i = 0; i < value.size(); ++i) {
            text += (i == 0 ? "" : ",") + jsonText(value[i]);
        }
        return text + "]";
    }
    return value.dump();
}

std::string jsonLinesArray(const std::vector<Json> &elements)
{
    std::string out = "[";
    for (std::size_t i = 0; i < elements.size(); ++i) {
        out += i == 0 ? "\n  " : ",\n  ";
        out += jsonText(elements[i]);
    }
    out += elements.empty() ? "]\n" : "\n]\n";
    return out;
}

std::string candidatesJson(const std::vector<CleanupCandidate> &candidates)
{
    std::vector<Json> objects;
    objects.reserve(candidates.size());
    for (const auto &candidate : candidates) {
        objects.push_back(candidateJsonObject(candidate));
    }
    return jsonLinesArray(objects);
}

int64_t totalSize(const std::vector<CleanupCandidate> &candidates)
{
    int64_t total = 0;
    for (const auto &candidate : candidates) {
        total = saturatingAdd(total, candidate.size);
    }
    return total;
}

std::string candidatesTable(const std::vector<CleanupCandidate> &candidates, const TerminalStyle &style)
{
    if (candidates.empty()) {
        return "No cleanup folders found.\n";
    }
    std::size_t sizeWidth = 4;
    std::size_t keyWidth = 4;
    std::vector<std::string> sizes;
    sizes.reserve(candidates.size());
    for (const auto &candidate : candidates) {
        sizes.push_back(formatByteCount(candidate.size));
        sizeWidth = std::max(sizeWidth, sizes.back().size());
        keyWidth = std::max(keyWidth, candidate.key.size());
    }
    // Padding stays outside the colour, so the columns line up the same with and without it.
    const auto row = [&](const std::string &size, const std::string &key, const std::string &shownKey,
                         const std::string &path) {
        std::string line(sizeWidth - std::min(sizeWidth, size.size()), ' ');
        line += size + "  " + shownKey + std::string(keyWidth - std::min(keyWidth, key.size()), ' ') + "  " + path;
        return line + '\n';
    };
    std::string out = row("SIZE", "RULE", "RULE", "PATH");
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        const auto &candidate = candidates[i];
        out += row(sizes[i], candidate.key, style.risk(candidate.key, candidate.risk), displayPath(candidate.path));
    }
    out += style.total("Total: " + formatByteCount(totalSize(candidates)) + " in " +
                       countPhrase(static_cast<int64_t>(candidates.size()))) +
           '\n';
    return out;
}

}  // namespace tarnwick::cli
