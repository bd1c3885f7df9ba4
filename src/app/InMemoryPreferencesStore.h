#pragma once

#include "app/PreferencesStore.h"

#include <map>

namespace tarnwick {

// A store that lives only as long as the object; for tests and for a session whose settings
// cannot be kept.
class InMemoryPreferencesStore : public PreferencesStore {
public:
    std::optional<PreferenceValue> object(const std::string &key) const override;
    void set(const std::string &key, PreferenceValue value) override;
    void remove(const std::string &key) override;

    const std::map<std::string, PreferenceValue> &values() const { return m_values; }

private:
    std::map<std::string, PreferenceValue> m_values;
};

}  // namespace tarnwick
