#pragma once

#include <functional>
#include <string>
#include <vector>

namespace tarnwick::testing {

// Points HOME and the XDG folders at a private temporary folder for the life of the object, so no
// test touches the real home, Trash or preferences. Restores the previous values afterwards.
class ScopedHome {
public:
    ScopedHome();
    ~ScopedHome();
    ScopedHome(const ScopedHome &) = delete;
    ScopedHome &operator=(const ScopedHome &) = delete;

    const std::string &home() const { return m_home; }

private:
    std::string m_home;
    std::vector<std::pair<std::string, std::string>> m_saved;  // name, value ("\x01" when unset)
};

// Runs `work` in a child process that has dropped root privileges to `nobody`, and returns what the
// child wrote to the pipe handed to it. Sets `ran` false (and returns "") when privileges cannot be
// dropped here, so the caller can skip with a message.
std::string runUnprivileged(const std::string &label, const std::function<void(int writeFd)> &work, bool &ran);

// Runs `work` in a forked child that is killed if it has not returned after `seconds`, and says
// whether it returned. For calls that used to wait forever: the test fails instead of hanging the
// run. The limit is a guard, not a measurement; keep it far above what the work needs.
bool returnsInChild(const std::function<void()> &work, unsigned seconds = 60);

}  // namespace tarnwick::testing
