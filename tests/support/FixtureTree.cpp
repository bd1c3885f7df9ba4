#include "FixtureTree.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <array>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <sys/wait.h>

namespace tarnwick::testing {

namespace {

void check(bool ok, const std::string &what)
{
    if (!ok) {
        throw std::runtime_error(what + ": " + std::strerror(errno));
    }
}

void makeParents(const std::string &path)
{
    for (std::size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1)) {
        const std::string prefix = path.substr(0, slash);
        if (::mkdir(prefix.c_str(), 0755) != 0 && errno != EEXIST) {
            check(false, "mkdir " + prefix);
        }
    }
}

}  // namespace

FixtureTree::FixtureTree()
{
    const char *tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp != nullptr && tmp[0] == '/' ? tmp : "/tmp") + "/tarnwick-test-XXXXXX";
    check(::mkdtemp(pattern.data()) != nullptr, "mkdtemp");
    char resolved[PATH_MAX];
    check(::realpath(pattern.c_str(), resolved) != nullptr, "realpath");
    m_root = resolved;
}

FixtureTree::~FixtureTree()
{
    runCommand("chmod -R u+rwx " + shellQuote(m_root) + " 2>/dev/null; rm -rf " + shellQuote(m_root));
}

std::string FixtureTree::path(const std::string &relative) const
{
    return relative.empty() ? m_root : m_root + "/" + relative;
}

std::string FixtureTree::folder(const std::string &relative, mode_t mode)
{
    const std::string full = path(relative);
    makeParents(full);
    if (::mkdir(full.c_str(), mode) != 0 && errno != EEXIST) {
        check(false, "mkdir " + full);
    }
    ::chmod(full.c_str(), mode);
    return full;
}

std::string FixtureTree::file(const std::string &relative, int64_t bytes, char fill)
{
    const std::string full = path(relative);
    makeParents(full);
    const int fd = ::open(full.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    check(fd >= 0, "create " + full);
    std::array<char, 65536> block;
    block.fill(fill);
    for (int64_t written = 0; written < bytes;) {
        const auto chunk = static_cast<std::size_t>(std::min<int64_t>(bytes - written, block.size()));
        const ssize_t count = ::write(fd, block.data(), chunk);
        check(count > 0, "write " + full);
        written += count;
    }
    ::close(fd);
    return full;
}

std::string FixtureTree::sparseFile(const std::string &relative, int64_t logicalBytes)
{
    const std::string full = path(relative);
    makeParents(full);
    const int fd = ::open(full.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    check(fd >= 0 && ::ftruncate(fd, logicalBytes) == 0, "sparse " + full);
    ::close(fd);
    return full;
}

std::string FixtureTree::symlink(const std::string &relative, const std::string &target)
{
    const std::string full = path(relative);
    makeParents(full);
    check(::symlink(target.c_str(), full.c_str()) == 0, "symlink " + full);
    return full;
}

std::string FixtureTree::hardlink(const std::string &relative, const std::string &existingRelative)
{
    const std::string full = path(relative);
    makeParents(full);
    check(::link(path(existingRelative).c_str(), full.c_str()) == 0, "link " + full);
    return full;
}

std::string FixtureTree::fifo(const std::string &relative)
{
    const std::string full = path(relative);
    makeParents(full);
    check(::mkfifo(full.c_str(), 0644) == 0, "mkfifo " + full);
    return full;
}

std::string FixtureTree::socket(const std::string &relative)
{
    const std::string full = path(relative);
    makeParents(full);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    check(fd >= 0, "socket");
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    check(full.size() < sizeof address.sun_path, "socket path too long " + full);
    std::memcpy(address.sun_path, full.c_str(), full.size() + 1);
    check(::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0, "bind " + full);
    ::close(fd);
    return full;
}

void FixtureTree::chmod(const std::string &relative, mode_t mode)
{
    check(::chmod(path(relative).c_str(), mode) == 0, "chmod " + relative);
}

void FixtureTree::setModified(const std::string &relative, std::chrono::system_clock::time_point time)
{
    const auto since = time.time_since_epoch();
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(since);
    const auto nanoseconds = std::chrono::duration_cast<std::chrono::nanoseconds>(since - seconds);
    const timespec times[2] = {{seconds.count(), nanoseconds.count()}, {seconds.count(), nanoseconds.count()}};
    check(::utimensat(AT_FDCWD, path(relative).c_str(), times, AT_SYMLINK_NOFOLLOW) == 0, "utimensat " + relative);
}

void FixtureTree::age(const std::string &relative, int days)
{
    setModified(relative, std::chrono::system_clock::now() - std::chrono::hours(24) * days);
}

void FixtureTree::openToEveryone()
{
    ::chmod(m_root.c_str(), 0755);
}

std::string runCommand(const std::string &command, int *status)
{
    std::string output;
    FILE *pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) {
        if (status != nullptr) {
            *status = -1;
        }
        return output;
    }
    std::array<char, 4096> buffer;
    std::size_t count;
    while ((count = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) {
        output.append(buffer.data(), count);
    }
    const int raw = ::pclose(pipe);
    if (status != nullptr) {
        *status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    }
    return output;
}

std::string shellQuote(const std::string &text)
{
    std::string quoted = "'";
    for (const char c : text) {
        if (c == '\'') {
            quoted += "'\\''";
        } else {
            quoted += c;
        }
    }
    return quoted + "'";
}

int64_t referenceSize(const std::string &path)
{
    const std::string du = runCommand("du -s -l -B1 " + shellQuote(path) + " | cut -f1");
    // find's %b is in 512-byte blocks; entries with none count their logical length.
    const std::string zeroBlock = runCommand("find " + shellQuote(path) +
                                             " -printf '%b %s\\n' | awk '$1 == 0 { s += $2 } END { print s + 0 }'");
    return std::stoll(du) + std::stoll(zeroBlock);
}

}  // namespace tarnwick::testing
