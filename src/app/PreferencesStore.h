#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace tarnwick {

using PreferenceDate = std::chrono::system_clock::time_point;

// Raw bytes kept as their own kind, so a data value never reads back as a string.
struct PreferenceData {
    std::string bytes;
    bool operator==(const PreferenceData &) const = default;
};

// What one key can hold. Kinds are kept exactly: a number stays a number, a string of digits
// stays a string, a date stays a date.
using PreferenceValue = std::variant<bool, int64_t, double, std::string, std::vector<std::string>, PreferenceDate,
                                     PreferenceData>;

// A typed key-value store for the user's settings. The readers follow the usual rules of such
// stores: a boolean that is absent reads as false, an integer that is absent or not a number reads
// as 0, other kinds read as nothing when absent or of another kind.
class PreferencesStore {
public:
    virtual ~PreferencesStore() = default;

    virtual std::optional<PreferenceValue> object(const std::string &key) const = 0;
    virtual void set(const std::string &key, PreferenceValue value) = 0;
    virtual void remove(const std::string &key) = 0;

    // Returns once every change made so far is in the backing storage, or has failed to get there
    // (a store may write later than the change).
    virtual void flush() {}

    std::optional<std::string> string(const std::string &key) const;
    std::optional<std::vector<std::string>> stringArray(const std::string &key) const;
    bool boolean(const std::string &key) const;
    int64_t integer(const std::string &key) const;
    std::optional<PreferenceData> data(const std::string &key) const;
    std::optional<PreferenceDate> date(const std::string &key) const;
};

}  // namespace tarnwick
