#pragma once

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
std::string runUnprivileged(const std::string &label, void (*work)(int writeFd, void *context), void *context,
                            bool &ran);

}  // namespace tarnwick::testing
