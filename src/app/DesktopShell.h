#pragma once

#include <QUrl>

#include <string>
#include <vector>

namespace tarnwick {

// What the application state asks of the desktop: open a web page, show a folder in the file
// manager, open the Trash, put text on the clipboard, let the user pick folders. The desktop app supplies the real
// one; tests supply a fake that records the requests.
class DesktopShell {
public:
    virtual ~DesktopShell() = default;
    virtual void openURL(const QUrl &url) = 0;
    virtual void revealInFileManager(const std::string &path) = 0;
    // Shows the user's Trash in the file manager, where moved items can be dragged back.
    virtual void openTrash() = 0;
    virtual void copyToClipboard(const std::string &text) = 0;
    // Empty when the user cancels.
    virtual std::vector<std::string> chooseFolders() = 0;
};

}  // namespace tarnwick
