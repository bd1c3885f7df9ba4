#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <string>

namespace tarnwick::testing {

// A real folder tree in a fresh temporary folder, removed again (whatever its permissions and
// depth) when the fixture goes away. Paths given to the methods are relative to the root.
class FixtureTree {
public:
    FixtureTree();
    ~FixtureTree();
    FixtureTree(const FixtureTree &) = delete;
    FixtureTree &operator=(const FixtureTree &) = delete;

    const std::string &root() const { return m_root; }
    std::string path(const std::string &relative) const;

    // Each creates missing parent folders and returns the absolute path.
    std::string folder(const std::string &relative, mode_t mode = 0755);
    std::string file(const std::string &relative, int64_t bytes = 0, char fill = 'x');
    std::string sparseFile(const std::string &relative, int64_t logicalBytes);
    std::string symlink(const std::string &relative, const std::string &target);
    std::string hardlink(const std::string &relative, const std::string &existingRelative);
    std::string fifo(const std::string &relative);
    std::string socket(const std::string &relative);

    void chmod(const std::string &relative, mode_t mode);

    // Sets the modification (and access) time of the entry itself, a link included.
    void setModified(const std::string &relative, std::chrono::system_clock::time_point time);
    // The same, `days` whole days (of 24 hours) before now.
    void age(const std::string &relative, int days);

    // Lets another user (the unprivileged child of a privilege-dropping test) reach the tree.
    void openToEveryone();

private:
    std::string m_root;
};

// Runs a shell command and returns its standard output; sets `status` to its exit status.
std::string runCommand(const std::string &command, int *status = nullptr);

// Quotes a string for /bin/sh.
std::string shellQuote(const std::string &text);

// `du -s -l -B1` of a path plus the logical length of every entry below it that has no allocated
// blocks: the size the measurement must report.
int64_t referenceSize(const std::string &path);

}  // namespace tarnwick::testing
