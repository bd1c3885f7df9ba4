#pragma once

#include "app/AppState.h"
#include "app/DesktopShell.h"

#include <QUrl>

#include <string>
#include <vector>

namespace tarnwick::testing {

// Records what the application state asks of the desktop.
class FakeDesktopShell : public DesktopShell {
public:
    void openURL(const QUrl &url) override { openedURLs.push_back(url); }
    void revealInFileManager(const std::string &path) override { revealed.push_back(path); }
    void copyToClipboard(const std::string &text) override { clipboard = text; }
    std::vector<std::string> chooseFolders() override { return nextChosenFolders; }

    std::vector<QUrl> openedURLs;
    std::vector<std::string> revealed;
    std::string clipboard;
    std::vector<std::string> nextChosenFolders;
};

// An environment that reaches nothing outside this machine: the feed points at a port nobody
// listens on and there is no analytics endpoint, unless a test sets them.
inline AppEnvironment isolatedEnvironment(const std::string &home, DesktopShell *shell = nullptr)
{
    AppEnvironment environment;
    environment.version = "1.2.0";
    environment.updateFeedURL = QUrl("http://127.0.0.1:9/releases/latest.json");
    environment.downloadPageURL = QUrl("https://tarnwick.test/#download");
    environment.homeFolder = home;
    environment.desktopShell = shell;
    return environment;
}

}  // namespace tarnwick::testing
