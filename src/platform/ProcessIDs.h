#pragma once

namespace tarnwick {

// Whether a name of /proc is a process: digits only.
inline bool isProcessID(const char *name)
{
    if (*name == '\0') {
        return false;
    }
    for (; *name != '\0'; ++name) {
        if (*name < '0' || *name > '9') {
            return false;
        }
    }
    return true;
}

}  // namespace tarnwick
