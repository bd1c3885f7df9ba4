#pragma once

#include "app/PreferencesStore.h"

#include <condition_variable>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace tarnwick {

using PreferenceMap = std::map<std::string, PreferenceValue>;

// Writes the preferences file on a thread of its own, so that the main thread never waits for a
// disk. Writes happen one at a time in the order asked for; a write asked for while another runs
// replaces any that is still waiting, since each holds every value and only the newest matters.
//
// The file is replaced atomically: a temporary file in the same folder, fsync, rename, fsync of
// the folder. When the path is a symbolic link (a preferences file kept with the user's dotfiles,
// say), the file it leads to is the one replaced, so the link stays a link.
class PreferencesWriter {
public:
    explicit PreferencesWriter(std::string filePath);
    // Finishes what was asked for.
    ~PreferencesWriter();
    PreferencesWriter(const PreferencesWriter &) = delete;
    PreferencesWriter &operator=(const PreferencesWriter &) = delete;

    void write(PreferenceMap values);
    // Returns once nothing is waiting or being written.
    void wait();
    // Whether the last write that ended reached the disk.
    bool lastSucceeded() const;

    // The write itself, on the calling thread: 0, or the errno of what failed.
    static int writeFile(const std::string &filePath, const PreferenceMap &values);

private:
    void run();

    const std::string m_filePath;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    std::optional<PreferenceMap> m_waiting;
    bool m_writing = false;
    bool m_stopping = false;
    bool m_lastSucceeded = true;
    // Started with the first write, so a store that never changes costs no thread.
    std::thread m_thread;
};

}  // namespace tarnwick
