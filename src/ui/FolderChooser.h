#pragma once

#include <QString>
#include <optional>
#include <string>
#include <vector>

class QFileDialog;
class QWidget;

namespace tarnwick {

// The folder chooser of every "Choose Folder" and "Add Project Folder": directories only, several at
// once, no way to make new folders, confirmed with "Add Folder", opening in the home folder.
//
// Where the desktop runs a portal with a file chooser on the session bus, its own chooser is asked
// for directly over D-Bus (Qt's portal dialog cannot pick several folders, and its platform theme
// is often not installed). Elsewhere Qt's own dialog is set up to meet every point.
class FolderChooser {
public:
    // Empty when the user cancels.
    static std::vector<std::string> choose(QWidget *parent);

    static bool isPortalAvailable();
    // Nothing when the portal could not be asked (it went away, or refused the request); an empty
    // list when the user cancelled.
    static std::optional<std::vector<std::string>> chooseThroughPortal(QWidget *parent);
    // Qt's own dialog, configured and not yet shown; the caller owns it.
    static QFileDialog *makeDialog(QWidget *parent, const QString &startFolder);
};

}  // namespace tarnwick
