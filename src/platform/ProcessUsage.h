#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tarnwick {

// A running process that uses a folder.
struct ProcessUser {
    int pid = 0;
    std::string name;  // its command name

    bool operator==(const ProcessUser &) const = default;
};

// What the current user's running processes hold on to, read once from /proc: each one's working
// folder, the files it has open and the files it maps. A folder holding any of these is in use: a
// dev server's node_modules, a virtual environment a shell works in, a build folder a tool writes.
// Processes that cannot be read (they ended, or belong to someone else) are left out.
class ProcessUsage {
public:
    static ProcessUsage current();

    // Built from (path, process) pairs, for tests; paths absolute, links resolved.
    explicit ProcessUsage(std::vector<std::pair<std::string, ProcessUser>> uses = {});

    // The first process that uses `canonicalFolder` (absolute, links resolved) or anything below it.
    std::optional<ProcessUser> userOf(const std::string &canonicalFolder) const;

    bool empty() const { return m_uses.empty(); }

private:
    std::vector<std::pair<std::string, ProcessUser>> m_uses;  // sorted by path
};

// "In use by node (pid 4242)".
std::string inUseText(const ProcessUser &user);
inline constexpr std::string_view kInUseTextStart = "In use by ";

}  // namespace tarnwick
