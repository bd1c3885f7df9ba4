#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

namespace tarnwick {

// The case whose raw value (its name, as stored and transmitted) is `raw`, found through the
// enumeration's own rawValue() among all its cases; nothing for any other text.
template <typename Enum, std::size_t N>
std::optional<Enum> enumFromRawValue(const std::array<Enum, N> &allCases, std::string_view raw)
{
    for (const Enum value : allCases) {
        if (rawValue(value) == raw) {
            return value;
        }
    }
    return std::nullopt;
}

}  // namespace tarnwick
