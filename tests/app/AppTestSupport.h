#pragma once

#include "app/AppState.h"
#include "app/BackgroundRun.h"
#include "app/DesktopShell.h"

#include <QNetworkReply>
#include <QTest>
#include <QUrl>

#include <algorithm>
#include <atomic>
#include <functional>
#include <memory>
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

// Runs the event loop until every request `owner` has sent (analytics events, update checks) has
// been answered. What a local server recorded by then is everything it will ever get for what has
// happened so far: an event that was not sent by now will not be.
inline bool waitUntilAnswered(const QObject &owner)
{
    return QTest::qWaitFor(
        [&owner] {
            const auto replies = owner.findChildren<QNetworkReply *>();
            return std::all_of(replies.begin(), replies.end(), [](const QNetworkReply *reply) { return reply->isFinished(); });
        },
        30000);
}

// Holds a background run right after the first report `at` picks, so a test can look at, cancel or
// destroy what runs there without depending on how fast anything is. The run goes on at release(),
// when it is cancelled, or when the hold is destroyed.
class RunHold {
public:
    explicit RunHold(std::function<bool(const RunEvent &)> at)
        : m_probe([at = std::move(at), taken = std::make_shared<std::atomic<bool>>(false)](const RunEvent &event) {
              return !taken->load() && at(event) && !taken->exchange(true);
          })
    {
    }

    // Spins the event loop until the run is held, so the reports before it are delivered meanwhile.
    bool waitUntilHolding() { return QTest::qWaitFor([this] { return m_probe.isHolding(); }, 60000); }
    bool isHolding() const { return m_probe.isHolding(); }
    void release() { m_probe.release(); }

    // The first report of `run` whose value is a T and satisfies `test`.
    template <typename T>
    static std::function<bool(const RunEvent &)> at(std::string run, std::function<bool(const T &)> test)
    {
        return [run = std::move(run), test = std::move(test)](const RunEvent &event) {
            const T *value = event.get<T>();
            return event.run == run && value != nullptr && test(*value);
        };
    }

    // Right after the `count`-th report of `run` whose value is a T.
    template <typename T> static std::function<bool(const RunEvent &)> afterNth(std::string run, int count)
    {
        return [run = std::move(run), count, seen = std::make_shared<std::atomic<int>>(0)](const RunEvent &event) {
            return event.run == run && event.get<T>() != nullptr && ++*seen == count;
        };
    }

private:
    RunProbe m_probe;
};

}  // namespace tarnwick::testing

#include "FixtureTree.h"
#include "LocalHttpServer.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>
#include <gtest/gtest.h>

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
    // connections, so that need not be the order they were sent in), once every request `sender`
    // has made is answered.
    std::vector<std::string> events(const QObject &sender) const
    {
        EXPECT_TRUE(waitUntilAnswered(sender));
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
