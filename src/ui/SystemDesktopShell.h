#pragma once

#include "app/DesktopShell.h"

#include <QPointer>
#include <QWidget>

namespace tarnwick {

// The desktop behind the application state: the file manager over D-Bus, the default browser, the
// clipboard and the folder chooser.
class SystemDesktopShell : public DesktopShell {
public:
    void openURL(const QUrl &url) override;
    // Asks the file manager to select the item; without one on the session bus, opens the folder
    // that holds it.
    void revealInFileManager(const std::string &path) override;
    // The desktop's trash:/// location through the file manager; without one on the session bus,
    // the home trash's own files folder.
    void openTrash() override;
    void copyToClipboard(const std::string &text) override;
    // The desktop's chooser through its portal, else Qt's: directories only, several at once,
    // confirmed with "Add Folder"; window-modal over the dialog parent when one is set.
    std::vector<std::string> chooseFolders() override;

    void setDialogParent(QWidget *parent) { m_dialogParent = parent; }

private:
    QPointer<QWidget> m_dialogParent;
};

}  // namespace tarnwick
