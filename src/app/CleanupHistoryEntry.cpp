#include "app/CleanupHistoryEntry.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <cstdint>

namespace tarnwick {

namespace {

using nlohmann::json;

// 2001-01-01 00:00:00 UTC in seconds since 1970: the epoch of the stored dates.
constexpr double kReferenceEpoch = 978307200.0;

double referenceSeconds(Timestamp time)
{
    return std::chrono::duration<double>(time.time_since_epoch()).count() - kReferenceEpoch;
}

std::optional<Timestamp> fromReferenceSeconds(double seconds)
{
    // Timestamps count nanoseconds in 64 bits, about 292 years either side of 1970.
    const double sinceUnixEpoch = seconds + kReferenceEpoch;
    if (!std::isfinite(sinceUnixEpoch) || std::fabs(sinceUnixEpoch) > 9.0e9) {
        return std::nullopt;
    }
    return Timestamp(std::chrono::duration_cast<Timestamp::duration>(std::chrono::duration<double>(sinceUnixEpoch)));
}

bool isUuidText(const std::string &text)
{
    if (text.size() != 36) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const bool hyphen = i == 8 || i == 13 || i == 18 || i == 23;
        if (hyphen ? c != '-' : !std::isxdigit(static_cast<unsigned char>(c))) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::string encodeCleanupHistory(const std::vector<CleanupHistoryEntry> &entries)
{
    json array = json::array();
    for (const auto &entry : entries) {
        array.push_back({{"id", entry.id},
                         {"date", referenceSeconds(entry.date)},
                         {"actionRawValue", entry.actionRawValue},
                         {"folderCount", entry.folderCount},
                         {"bytes", entry.bytes},
                         {"folderSummary", entry.folderSummary},
                         {"failureCount", entry.failureCount},
                         {"cancelled", entry.cancelled}});
    }
    // Replacement keeps the encoding total: a summary is built from rule keys and is valid text.
    return array.dump(-1, ' ', false, json::error_handler_t::replace);
}

std::optional<std::vector<CleanupHistoryEntry>> decodeCleanupHistory(std::string_view bytes)
{
    const json document = json::parse(bytes.begin(), bytes.end(), nullptr, false);
    if (document.is_discarded() || !document.is_array()) {
        return std::nullopt;
    }
    std::vector<CleanupHistoryEntry> entries;
    for (const auto &item : document) {
        if (!item.is_object()) {
            return std::nullopt;
        }
        // Counts and sizes are never negative and fit 64 bits; anything else is the wrong kind of
        // value, like a string would be.
        const auto integer = [&](const char *key) {
            if (!item.contains(key) || !item[key].is_number_integer()) {
                return false;
            }
            const auto &number = item[key];
            return number.is_number_unsigned() ? number.get<uint64_t>() <= static_cast<uint64_t>(INT64_MAX)
                                               : number.get<int64_t>() >= 0;
        };
        const auto string = [&](const char *key) { return item.contains(key) && item[key].is_string(); };
        if (!string("id") || !item.contains("date") || !item["date"].is_number() || !string("actionRawValue") ||
            !integer("folderCount") || !integer("bytes") || !integer("failureCount") || !item.contains("cancelled") ||
            !item["cancelled"].is_boolean() || (item.contains("folderSummary") && !string("folderSummary"))) {
            return std::nullopt;
        }
        CleanupHistoryEntry entry;
        entry.id = item["id"].get<std::string>();
        const auto date = fromReferenceSeconds(item["date"].get<double>());
        if (!isUuidText(entry.id) || !date) {
            return std::nullopt;
        }
        entry.date = *date;
        entry.actionRawValue = item["actionRawValue"].get<std::string>();
        entry.folderCount = item["folderCount"].get<int64_t>();
        entry.bytes = item["bytes"].get<int64_t>();
        entry.folderSummary = item.value("folderSummary", std::string());
        entry.failureCount = item["failureCount"].get<int64_t>();
        entry.cancelled = item["cancelled"].get<bool>();
        entries.push_back(std::move(entry));
    }
    return entries;
}

}  // namespace tarnwick
