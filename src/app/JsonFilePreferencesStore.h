#pragma once

#include "app/PreferencesStore.h"
#include "app/PreferencesWriter.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace tarnwick {

// The preferences as one JSON object. Booleans, integers, floating-point numbers, strings and
// string arrays are plain JSON values; the kinds JSON lacks are tagged objects: {"$date": ISO 8601 UTC
// with nanoseconds}, {"$data": base64}, and {"$bytes": base64} for a string that is not valid
// UTF-8 (paths may hold any bytes).
std::string encodePreferences(const PreferenceMap &values);

// Nothing when the text is not such an object; a key whose value has no known kind is dropped.
std::optional<PreferenceMap> decodePreferences(std::string_view text);

// The user's preferences in one JSON file. Values change in memory at once; the file is written
// once per turn of the event loop however many changes that turn made, on a thread of its own,
// in order (PreferencesWriter). A save that fails is not lost: the values stay in memory and the
// next change writes them all again, and so does flush(), which the owner calls before it goes.
// Without an event loop (no application object), every change is written before set() returns.
//
// A file that cannot be read or decoded is renamed aside with a ".corrupt" suffix before anything
// is written over it; when it cannot be moved aside, nothing is written at all, so the user's file
// is never lost.
class JsonFilePreferencesStore : public PreferencesStore {
public:
    explicit JsonFilePreferencesStore(std::string filePath);
    // Flushes.
    ~JsonFilePreferencesStore() override;

    // $XDG_CONFIG_HOME/Tarnwick/preferences.json
    static std::string defaultFilePath();

    std::optional<PreferenceValue> object(const std::string &key) const override;
    void set(const std::string &key, PreferenceValue value) override;
    void remove(const std::string &key) override;
    // Writes what has not been written yet, or failed to be, and waits for it.
    void flush() override;

    const std::string &filePath() const { return m_filePath; }
    // Where an unreadable file was kept, empty when none was.
    const std::string &keptAsidePath() const { return m_keptAsidePath; }
    // Whether the last write that ended reached the disk; call flush() first to know about the
    // latest change.
    bool lastWriteSucceeded() const;

private:
    void load();
    void changed();
    void save();

    std::string m_filePath;
    PreferenceMap m_values;
    std::string m_keptAsidePath;
    bool m_writable = true;
    // Changes not handed to the writer yet, and whether a save at the next turn is asked for.
    bool m_dirty = false;
    bool m_saveScheduled = false;
    // Dropped with the store, so a save asked for at the next turn finds it gone.
    std::shared_ptr<JsonFilePreferencesStore *> m_self;
    std::unique_ptr<PreferencesWriter> m_writer;
};

}  // namespace tarnwick
