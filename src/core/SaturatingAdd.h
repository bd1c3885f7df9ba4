#pragma once

#include <cstdint>
#include <limits>

namespace tarnwick {

// a + b, held at the limits of int64_t instead of overflowing. Every total of sizes or counts goes
// through this: the lifetime statistics are read back from a preferences file a person can edit,
// so a stored figure may sit just below INT64_MAX, and an overflowing addition is undefined
// behaviour (in practice a total that wraps to a large negative number).
constexpr int64_t saturatingAdd(int64_t a, int64_t b)
{
    int64_t sum = 0;
    if (__builtin_add_overflow(a, b, &sum)) {
        return b > 0 ? std::numeric_limits<int64_t>::max() : std::numeric_limits<int64_t>::min();
    }
    return sum;
}

}  // namespace tarnwick
