#pragma once

#include "core/Iso8601.h"

#include <nlohmann/json.hpp>

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

// Strict readers for decoding keyed records: a key must be present with exactly its JSON type.
// nlohmann's own get<T>() converts silently (a float to an integer, a negative number to an
// unsigned one), which would let a damaged record through.
namespace tarnwick::JsonFields {

using Json = nlohmann::ordered_json;

inline const Json *member(const Json &object, const char *key)
{
    if (!object.is_object()) {
        return nullptr;
    }
    const auto found = object.find(key);
    return found == object.end() ? nullptr : &*found;
}

inline std::optional<std::string> string(const Json &object, const char *key)
{
    const Json *value = member(object, key);
    if (value == nullptr || !value->is_string()) {
        return std::nullopt;
    }
    return value->get<std::string>();
}

inline std::optional<bool> boolean(const Json &object, const char *key)
{
    const Json *value = member(object, key);
    if (value == nullptr || !value->is_boolean()) {
        return std::nullopt;
    }
    return value->get<bool>();
}

inline std::optional<uint64_t> unsignedInteger(const Json &object, const char *key)
{
    const Json *value = member(object, key);
    if (value == nullptr || !value->is_number_unsigned()) {
        return std::nullopt;
    }
    return value->get<uint64_t>();
}

inline std::optional<int64_t> signedInteger(const Json &object, const char *key)
{
    const Json *value = member(object, key);
    if (value == nullptr || !value->is_number_integer()) {
        return std::nullopt;
    }
    if (value->is_number_unsigned() && value->get<uint64_t>() > static_cast<uint64_t>(INT64_MAX)) {
        return std::nullopt;
    }
    return value->get<int64_t>();
}

inline std::optional<std::chrono::system_clock::time_point> timestamp(const Json &object, const char *key)
{
    const auto text = string(object, key);
    return text ? parseIso8601(*text) : std::nullopt;
}

}  // namespace tarnwick::JsonFields
