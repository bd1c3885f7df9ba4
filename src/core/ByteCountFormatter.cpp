#include "core/ByteCountFormatter.h"

#include <array>
#include <cmath>
#include <cstdio>

namespace tarnwick {

std::string formatByteCount(int64_t bytes)
{
    const bool negative = bytes < 0;
    // Work in double from here: a 64-bit count fits its range, and the text is rounded anyway.
    double value = std::fabs(static_cast<double>(bytes));
    const std::string sign = negative ? "-" : "";
    if (value < 1000.0) {
        const auto whole = static_cast<long long>(value);
        return sign + std::to_string(whole) + (whole == 1 ? " byte" : " bytes");
    }
    struct Unit {
        const char *label;
        int decimals;
    };
    static constexpr std::array<Unit, 6> units{{
        {"KB", 0}, {"MB", 1}, {"GB", 2}, {"TB", 2}, {"PB", 2}, {"EB", 2},
    }};
    std::size_t index = 0;
    value /= 1000.0;
    while (index + 1 < units.size()) {
        // Carry into the next unit when rounding would print 1000 of this one.
        const double scale = std::pow(10.0, units[index].decimals);
        if (std::round(value * scale) / scale < 1000.0) {
            break;
        }
        value /= 1000.0;
        ++index;
    }
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%s%.*f %s", sign.c_str(), units[index].decimals, value,
                  units[index].label);
    return buffer;
}

}  // namespace tarnwick
