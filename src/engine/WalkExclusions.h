#pragma once

#include "platform/FileIdentity.h"

#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tarnwick {

// Folders a walk leaves out by who they are rather than by the path it reached them through:
// the trash folders (what lies there is on its way out already; cleaning it again would fail on
// every run, or delete it and orphan its info files), and excluded folders met through another
// path than the one written, as below a root given through a link. Set up once per walk.
class WalkExclusions {
public:
    WalkExclusions(const std::vector<std::string> &roots, const std::set<std::string> &excludedPaths);

    // Whether the folder `name` inside the folder open at parentFd is left out. Costs a stat only
    // when there are excluded folders or the name could be a trash's.
    bool excludes(int parentFd, std::string_view name) const;

    // The same for a root, a link there followed.
    bool excludesRoot(const std::string &rootPath) const;

private:
    bool isExcluded(const FileIdentity &identity) const;
    bool isTrash(const FileIdentity &identity) const;

    using Key = std::pair<dev_t, ino_t>;
    std::set<Key> m_trash;
    std::set<Key> m_excluded; // an Always Keep list may name hundreds
};

} // namespace tarnwick
