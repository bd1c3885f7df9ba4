#pragma once

#include "platform/FileDescriptor.h"

#include <sys/types.h>

#include <optional>
#include <string>

namespace tarnwick {

// One trash folder of the freedesktop.org Trash layout, opened for a move: its files/ and info/
// folders exist (created 0700 when missing) and stay open, so the move works relative to them and
// nothing inside the trash is reached through a symbolic link.
class TrashDirectory {
public:
    // The trash that takes items from the folder `canonicalParent` (absolute, without links) on
    // `device`. That is the home trash, $XDG_DATA_HOME/Trash, when the folder lies on the same
    // volume as the data home; otherwise $topdir/.Trash/$uid when the volume's top folder holds a
    // sticky, non-link .Trash, else $topdir/.Trash-$uid. Returns nullopt with `error` set to an
    // errno value when no trash on the item's volume can be used; nothing is moved then.
    static std::optional<TrashDirectory> forFolder(const std::string &canonicalParent, dev_t device, int &error);

    // The trash folder's path as this process reaches it; .../files/NAME is where items land.
    const std::string &path() const { return m_path; }
    int fd() const { return m_fd.get(); }
    int filesFd() const { return m_files.get(); }
    int infoFd() const { return m_info.get(); }
    bool isHomeTrash() const { return m_topFolder.empty(); }

    // The original location to record for an item: its path as given in the home trash, else its
    // canonical path relative to the volume's top folder, so the entry stays valid wherever the
    // volume is mounted next time.
    std::string originalPath(const std::string &itemPath, const std::string &canonicalItemPath) const;

private:
    TrashDirectory() = default;

    static std::optional<TrashDirectory> openHome(const std::string &dataHome, dev_t device, int &error);
    static std::optional<TrashDirectory> openOnVolume(const std::string &topFolder, dev_t device, int &error);
    // Opens files/ and info/ inside m_fd and checks they lie on `device`.
    bool openContents(dev_t device, int &error);

    std::string m_path;
    std::string m_topFolder;  // empty for the home trash
    FileDescriptor m_fd;
    FileDescriptor m_files;
    FileDescriptor m_info;
};

}  // namespace tarnwick
