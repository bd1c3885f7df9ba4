#pragma once

#include "app/PreferencesStore.h"

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace tarnwick {

using PreferenceMap = std::map<std::string, PreferenceValue>;

// The preferences as one JSON object. Booleans, integers, floating-point numbers, strings and
// string arrays are plain JSON values; the kinds JSON lacks are tagged objects: {"$date": ISO 8601 UTC
// with nanoseconds}, {"$data": base64}, and {"$bytes": base64} for a string that is not valid
// UTF-8 (paths may hold any bytes).
std::string encodePreferences(const PreferenceMap &values);

// Nothing when the text is not such an object; a key whose value has no known kind is dropped.
std::optional<PreferenceMap> decodePreferences(std::string_view text);

// The user's preferences in one JSON file, written atomically (temporary file, fsync, rename) after
// every change, or once per batch. A file that cannot be read or decoded is renamed aside with a
// ".corrupt" suffix before anything is written over it; when it cannot be moved aside, nothing is
// written at all, so the user's file is never lost.
class JsonFilePreferencesStore : public PreferencesStore {
public:
    explicit JsonFilePreferencesStore(std::string filePath);

    // $XDG_CONFIG_HOME/Tarnwick/preferences.json
    static std::string defaultFilePath();

    std::optional<PreferenceValue> object(const std::string &key) const override;
    void set(const std::string &key, PreferenceValue value) override;
    void remove(const std::string &key) override;
    void beginBatch() override;
    void endBatch() override;

    const std::string &filePath() const { return m_filePath; }
    // Where an unreadable file was kept, empty when none was.
    const std::string &keptAsidePath() const { return m_keptAsidePath; }
    bool lastWriteSucceeded() const { return m_lastWriteSucceeded; }

private:
    void load();
    void changed();
    bool write();
    int writeFile(); // 0, or errno (-1 when this store must not write)

    std::string m_filePath;
    PreferenceMap m_values;
    std::string m_keptAsidePath;
    int m_batchDepth = 0;
    bool m_dirty = false;
    bool m_writable = true;
    bool m_lastWriteSucceeded = true;
};

}  // namespace tarnwick
