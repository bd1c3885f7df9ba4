#include "app/InMemoryPreferencesStore.h"

namespace tarnwick {

std::optional<PreferenceValue> InMemoryPreferencesStore::object(const std::string &key) const
{
    const auto it = m_values.find(key);
    if (it == m_values.end()) {
        return std::nullopt;
    }
    return it->second;
}

void InMemoryPreferencesStore::set(const std::string &key, PreferenceValue value)
{
    m_values[key] = std::move(value);
}

void InMemoryPreferencesStore::remove(const std::string &key)
{
    m_values.erase(key);
}

}  // namespace tarnwick
