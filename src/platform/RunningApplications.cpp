#include "platform/RunningApplications.h"

#include "platform/FileDescriptor.h"
#include "platform/FileIO.h"
#include "platform/ProcessIDs.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>

namespace tarnwick {

std::vector<std::string> runningApplicationNames(bool everyUser)
{
    std::vector<std::string> names;
    struct CloseDirectory {
        void operator()(DIR *directory) const { ::closedir(directory); }
    };
    const std::unique_ptr<DIR, CloseDirectory> proc(::opendir("/proc"));
    if (!proc) {
        return names;
    }
    const int procFd = ::dirfd(proc.get());
    const uid_t user = ::getuid();
    while (const dirent *entry = ::readdir(proc.get())) {
        if (!isProcessID(entry->d_name)) {
            continue;
        }
        // A process folder belongs to the process's real user.
        struct stat status {};
        if (::fstatat(procFd, entry->d_name, &status, 0) != 0 || (!everyUser && status.st_uid != user)) {
            continue;
        }
        const FileDescriptor comm(::openat(procFd, (std::string(entry->d_name) + "/comm").c_str(), O_RDONLY | O_CLOEXEC));
        std::string name;
        if (!comm.valid() || !readAll(comm.get(), name, 64)) {
            continue;
        }
        while (!name.empty() && name.back() == '\n') {
            name.pop_back();
        }
        if (!name.empty()) {
            names.push_back(std::move(name));
        }
    }
    return names;
}

}  // namespace tarnwick
