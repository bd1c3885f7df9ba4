#include "engine/TrashTransactionRecord.h"

#include "core/Iso8601.h"
#include "core/JsonFields.h"

namespace tarnwick {

nlohmann::ordered_json TrashTransactionRecord::toJson() const
{
    nlohmann::ordered_json object;
    object["id"] = id;
    object["originalPath"] = originalPath;
    object["trashPath"] = trashPath;
    object["snapshot"] = snapshot.toJson();
    object["category"] = category;
    object["size"] = size;
    object["timestamp"] = formatIso8601(timestamp);
    return object;
}

std::optional<TrashTransactionRecord> TrashTransactionRecord::fromJson(const nlohmann::ordered_json &object)
{
    namespace F = JsonFields;
    auto id = F::string(object, "id");
    auto originalPath = F::string(object, "originalPath");
    auto trashPath = F::string(object, "trashPath");
    const auto *snapshotObject = F::member(object, "snapshot");
    auto snapshot = snapshotObject != nullptr ? FileSystemSnapshot::fromJson(*snapshotObject) : std::nullopt;
    auto category = F::string(object, "category");
    const auto size = F::signedInteger(object, "size");
    const auto timestamp = F::timestamp(object, "timestamp");
    if (!id || !originalPath || !trashPath || !snapshot || !category || !size || !timestamp) {
        return std::nullopt;
    }
    return TrashTransactionRecord{std::move(*id),       std::move(*originalPath), std::move(*trashPath),
                                  std::move(*snapshot), std::move(*category),     *size,
                                  *timestamp};
}

}  // namespace tarnwick
