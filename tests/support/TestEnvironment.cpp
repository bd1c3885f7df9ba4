#include "TestEnvironment.h"

#include "FixtureTree.h"

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <stdexcept>

namespace tarnwick::testing {

namespace {
constexpr const char *kUnset = "\x01";
const char *const kVariables[] = {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME"};
}  // namespace

ScopedHome::ScopedHome()
{
    char pattern[] = "/tmp/tarnwick-home-XXXXXX";
    if (::mkdtemp(pattern) == nullptr) {
        throw std::runtime_error("mkdtemp failed");
    }
    m_home = pattern;
    for (const char *name : kVariables) {
        const char *value = std::getenv(name);
        m_saved.emplace_back(name, value != nullptr ? value : kUnset);
    }
    ::setenv("HOME", m_home.c_str(), 1);
    ::setenv("XDG_DATA_HOME", (m_home + "/.local/share").c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (m_home + "/.config").c_str(), 1);
    ::setenv("XDG_CACHE_HOME", (m_home + "/.cache").c_str(), 1);
}

ScopedHome::~ScopedHome()
{
    for (const auto &[name, value] : m_saved) {
        if (value == kUnset) {
            ::unsetenv(name.c_str());
        } else {
            ::setenv(name.c_str(), value.c_str(), 1);
        }
    }
    runCommand("chmod -R u+rwx " + shellQuote(m_home) + " 2>/dev/null; rm -rf " + shellQuote(m_home));
}

std::string runUnprivileged(const std::string &label, const std::function<void(int writeFd)> &work, bool &ran)
{
    ran = false;
    const passwd *nobody = ::getpwnam("nobody");
    if (::geteuid() != 0 || nobody == nullptr) {
        return {};
    }
    int fds[2];
    if (::pipe(fds) != 0) {
        return {};
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(fds[0]);
        if (::setgroups(0, nullptr) != 0 || ::setgid(nobody->pw_gid) != 0 || ::setuid(nobody->pw_uid) != 0) {
            ::_exit(99);
        }
        work(fds[1]);
        ::close(fds[1]);
        ::_exit(0);
    }
    ::close(fds[1]);
    std::string output;
    char buffer[4096];
    ssize_t count;
    while ((count = ::read(fds[0], buffer, sizeof buffer)) > 0) {
        output.append(buffer, static_cast<std::size_t>(count));
    }
    ::close(fds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        throw std::runtime_error(label + ": unprivileged child failed with status " + std::to_string(status));
    }
    ran = true;
    return output;
}

bool returnsInChild(const std::function<void()> &work, unsigned seconds)
{
    const pid_t child = ::fork();
    if (child < 0) {
        throw std::runtime_error("fork failed");
    }
    if (child == 0) {
        ::alarm(seconds);  // the default action of SIGALRM ends the child
        work();
        ::_exit(0);
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace tarnwick::testing
