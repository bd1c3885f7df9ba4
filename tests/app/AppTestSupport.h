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
    void openTrash() override { ++trashOpenings; }
    void copyToClipboard(const std::string &text) override { clipboard = text; }
    std::vector<std::string> chooseFolders() override { return nextChosenFolders; }

    std::vector<QUrl> openedURLs;
    std::vector<std::string> revealed;
    int trashOpenings = 0;
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

#include "FixtureTree.h"
#include "LocalHttpServer.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

#include <memory>
#include <optional>

namespace tarnwick::testing {

// A real HTTPS analytics endpoint on 127.0.0.1 that records the events an application state sends.
class RecordingEndpoint {
public:
    RecordingEndpoint() : m_tls(trustedLocalIdentity(m_certificates.root()))
    {
        if (m_tls) {
            m_server = std::make_unique<LocalHttpServer>(m_tls);
        }
    }
    bool available() const { return m_server && m_server->isListening(); }
    std::string url() const { return m_server->url("/events").toString().toStdString(); }

    // The names of the events received, in order of arrival (requests travel on parallel
    // connections, so that need not be the order they were sent in). Waits for at least `expected`
    // to arrive, then a moment longer for any that should not.
    std::vector<std::string> events(std::size_t expected = 0) const
    {
        m_server->waitForRequests(expected);
        QTest::qWait(200);
        std::vector<std::string> names;
        for (const auto &request : m_server->requests()) {
            names.push_back(QJsonDocument::fromJson(request.body).object()["event"].toString().toStdString());
        }
        return names;
    }
    // The properties of every received event of this name.
    std::vector<QJsonObject> properties(const std::string &event) const
    {
        std::vector<QJsonObject> found;
        for (const auto &request : m_server->requests()) {
            const auto body = QJsonDocument::fromJson(request.body).object();
            if (body["event"].toString().toStdString() == event) {
                found.push_back(body["properties"].toObject());
            }
        }
        return found;
    }

private:
    FixtureTree m_certificates;
    std::optional<TlsIdentity> m_tls;
    std::unique_ptr<LocalHttpServer> m_server;
};

}  // namespace tarnwick::testing
