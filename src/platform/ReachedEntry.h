#pragma once

#include "platform/FileDescriptor.h"
#include "platform/FileIdentity.h"

#include <optional>
#include <string>
#include <sys/stat.h>

namespace tarnwick {

// An entry found again, for a cleanup, from the folder its scan started at. Everything a cleanup
// does to the entry goes through `parent` and `name`, never through its path again, so nothing
// that changes on the way between the decision and the act can steer it elsewhere.
struct ReachedEntry {
    enum class Outcome {
        reached, // parent, name and status describe the entry
        missing, // nothing is there any more (the entry, or a folder on the way to it)
        changed, // the way there is not what was scanned: a link, another root, a mount swap
        failed,  // the system refused; `error` says why
    };

    Outcome outcome = Outcome::failed;
    int error = 0;
    FileDescriptor parent;     // the folder holding the entry
    std::string name;          // the entry's name in it
    std::string canonicalPath; // the entry's path with links resolved; empty when it cannot be told
    struct stat status {};     // the entry itself, a link not followed

    bool reached() const { return outcome == Outcome::reached; }
};

// How a folder below an open root is opened: the kernel's resolver that refuses links and escapes
// (openat2 with RESOLVE_BENEATH | RESOLVE_NO_SYMLINKS), or one O_NOFOLLOW step per component.
// `automatic` uses the resolver and steps where the kernel lacks it or the path is too long for it.
enum class BeneathResolution { automatic, componentSteps };

// Reaches `path` from the scan root `root` (both absolute). The root is opened by its path, since
// the user chose it (a link there is followed) and, with `rootIdentity`, must still be the folder
// the scan walked. Every folder below it is opened without following a link, at any depth. A path
// equal to the root is reached through the root's parent, which the user chose too.
ReachedEntry reachEntry(const std::string &root, const std::optional<FileIdentity> &rootIdentity,
                        const std::string &path, BeneathResolution resolution = BeneathResolution::automatic);

} // namespace tarnwick
