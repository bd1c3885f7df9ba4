#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace tarnwick {

// The date form of every JSON document Tarnwick writes: ISO 8601 in UTC, whole seconds (the
// fraction is dropped, rounding toward the past), a trailing Z: "2024-05-01T09:30:00Z".
std::string formatIso8601(std::chrono::system_clock::time_point time);

// Reads exactly that form back; anything else (another zone, a fraction, trailing text) is nothing.
std::optional<std::chrono::system_clock::time_point> parseIso8601(std::string_view text);

}  // namespace tarnwick
