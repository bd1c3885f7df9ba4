#include "app/PreferencesStore.h"

#include <cmath>

namespace tarnwick {

namespace {
template <typename T>
std::optional<T> valueOf(const std::optional<PreferenceValue> &value)
{
    if (value && std::holds_alternative<T>(*value)) {
        return std::get<T>(*value);
    }
    return std::nullopt;
}
}  // namespace

std::optional<std::string> PreferencesStore::string(const std::string &key) const
{
    return valueOf<std::string>(object(key));
}

std::optional<std::vector<std::string>> PreferencesStore::stringArray(const std::string &key) const
{
    return valueOf<std::vector<std::string>>(object(key));
}

bool PreferencesStore::boolean(const std::string &key) const
{
    return valueOf<bool>(object(key)).value_or(false);
}

int64_t PreferencesStore::integer(const std::string &key) const
{
    const auto value = object(key);
    if (!value) {
        return 0;
    }
    if (const auto *whole = std::get_if<int64_t>(&*value)) {
        return *whole;
    }
    if (const auto *real = std::get_if<double>(&*value)) {
        // Out-of-range and non-finite numbers have no integer reading.
        return std::isfinite(*real) && std::fabs(*real) < 9.2e18 ? static_cast<int64_t>(*real) : 0;
    }
    return 0;
}

std::optional<PreferenceData> PreferencesStore::data(const std::string &key) const
{
    return valueOf<PreferenceData>(object(key));
}

std::optional<PreferenceDate> PreferencesStore::date(const std::string &key) const
{
    return valueOf<PreferenceDate>(object(key));
}

}  // namespace tarnwick
