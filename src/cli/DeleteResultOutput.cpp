#include "cli/DeleteResultOutput.h"

#include "cli/CandidateOutput.h"
#include "core/ByteCountFormatter.h"
#include "core/CountPhrase.h"

namespace tarnwick::cli {

namespace {

using Json = nlohmann::ordered_json;

template <typename Item, typename ToJson>
std::string arrayLines(const std::vector<Item> &items, ToJson toJson)
{
    if (items.empty()) {
        return "[]";
    }
    std::string text = "[";
    for (std::size_t i = 0; i < items.size(); ++i) {
        text += i == 0 ? "\n    " : ",\n    ";
        text += jsonText(toJson(items[i]));
    }
    return text + "\n  ]";
}

}  // namespace

std::string deleteResultJson(const DeleteResult &result, const nlohmann::ordered_json &extra)
{
    std::string text = "{\n  \"deleted\": " + arrayLines(result.deleted, candidateJsonObject);
    text += ",\n  \"failures\": " + arrayLines(result.failures, [](const CleanupFailure &failure) {
                Json object{{"id", failure.id}};
                addPathMembers(object, failure.path);
                object["message"] = failure.message;
                return object;
            });
    text += ",\n  \"missing\": " + arrayLines(result.missing, candidateJsonObject);
    text += ",\n  \"skipped\": " + arrayLines(result.skipped, [](const CleanupSkipped &skipped) {
                return Json{{"id", skipped.id}, {"candidate", candidateJsonObject(skipped.candidate)},
                            {"reason", skipped.reason}};
            });
    text += ",\n  \"trashRecords\": " +
            arrayLines(result.trashRecords, [](const TrashTransactionRecord &record) { return record.toJson(); });
    text += std::string(",\n  \"cancelled\": ") + (result.cancelled ? "true" : "false");
    if (extra.is_object()) {
        for (const auto &[key, value] : extra.items()) {
            text += ",\n  " + jsonString(key) + ": " + jsonText(value);
        }
    }
    text += "\n}\n";
    return text;
}

std::string cleanupSummary(const DeleteResult &result, CleanupAction action)
{
    const auto count = [](std::size_t size) { return countPhrase(static_cast<int64_t>(size)); };
    std::string text = result.cancelled ? "Cleanup cancelled. " : "";
    const std::string amount = count(result.deleted.size()) + " (" + formatByteCount(totalSize(result.deleted)) + ")";
    text += action == CleanupAction::moveToTrash ? "Moved " + amount + " to the Trash" : "Deleted " + amount;
    if (!result.failures.empty()) {
        text += "; " + count(result.failures.size()) + " failed";
    }
    if (!result.missing.empty()) {
        text += "; " + count(result.missing.size()) + (result.missing.size() == 1 ? " was" : " were") + " already gone";
    }
    if (!result.skipped.empty()) {
        text += "; " + count(result.skipped.size()) + (result.skipped.size() == 1 ? " was" : " were") + " skipped";
    }
    return text + ".";
}

}  // namespace tarnwick::cli
