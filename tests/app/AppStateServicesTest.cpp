#include "AppTestSupport.h"
#include "FixtureTree.h"
#include "LocalHttpServer.h"
#include "app/InMemoryPreferencesStore.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>
#include <gtest/gtest.h>
#include <map>

namespace tarnwick {
namespace {

using testing::FixtureTree;
using testing::LocalHttpServer;

// Analytics only ever go to an https endpoint, so these tests run a real TLS server on 127.0.0.1
// with a certificate made for the run.
class AppStateAnalytics : public ::testing::Test {
protected:
    void SetUp() override
    {
        tls = testing::trustedLocalIdentity(certificates.root());
        if (!tls) {
            GTEST_SKIP() << "openssl is not available to make a test certificate";
        }
        server = std::make_unique<LocalHttpServer>(tls);
        ASSERT_TRUE(server->isListening());
    }

    std::unique_ptr<AppState> make()
    {
        auto environment = testing::isolatedEnvironment(home.root());
        environment.analyticsEndpoint = server->url("/events").toString().toStdString();
        store.set("automaticUpdateChecksEnabled", false);
        return std::make_unique<AppState>(store, environment);
    }

    QJsonObject body(std::size_t index) const
    {
        return QJsonDocument::fromJson(server->requests().at(index).body).object();
    }

    FixtureTree home;
    FixtureTree certificates;
    std::optional<testing::TlsIdentity> tls;
    std::unique_ptr<LocalHttpServer> server;
    InMemoryPreferencesStore store;
};

TEST_F(AppStateAnalytics, NothingLeavesWithoutTheOptIn)
{
    auto state = make();
    state->setIncludeAggressive(true);
    state->setCleanupAction(CleanupAction::deletePermanently);
    state->setAnalyticsOptIn(false);
    ASSERT_TRUE(testing::waitUntilAnswered(*state));
    EXPECT_TRUE(server->requests().empty()) << "not even app_opened";
}

TEST_F(AppStateAnalytics, OptingInSendsOneEventThenEveryTrackedEvent)
{
    auto state = make();
    state->setAnalyticsOptIn(true);
    ASSERT_TRUE(testing::waitUntilAnswered(*state));
    ASSERT_EQ(server->requests().size(), 1u);
    const auto &request = server->requests()[0];
    EXPECT_EQ(request.method, "POST");
    EXPECT_EQ(request.path, "/events");
    EXPECT_EQ(request.header("content-type"), "application/json");
    const auto first = body(0);
    EXPECT_EQ(first.keys(), (QStringList{"event", "properties", "sentAt"}));
    EXPECT_EQ(first["event"].toString(), "analytics_enabled");
    EXPECT_EQ(first["properties"].toObject().keys(), (QStringList{"app_version", "macos_major_version"}));
    EXPECT_EQ(first["properties"].toObject()["app_version"].toString(), "1.2.0");
    EXPECT_TRUE(first["sentAt"].toString().endsWith('Z'));

    state->setIncludeAggressive(false);  // sends nothing
    state->setIncludeAggressive(true);
    state->setCleanupAction(CleanupAction::deletePermanently);
    ASSERT_TRUE(testing::waitUntilAnswered(*state));
    ASSERT_EQ(server->requests().size(), 3u);
    // Sent in one turn, the two travel on parallel connections: in either order.
    std::map<QString, QJsonObject> sent;
    for (std::size_t i = 1; i < 3; ++i) {
        sent[body(i)["event"].toString()] = body(i)["properties"].toObject();
    }
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_TRUE(sent.contains("extra_folder_types_enabled"));
    ASSERT_TRUE(sent.contains("cleanup_method_changed"));
    EXPECT_EQ(sent["cleanup_method_changed"]["cleanup_method"].toString(), "permanent");

    state->setAnalyticsOptIn(false);
    state->setCleanupAction(CleanupAction::moveToTrash);
    ASSERT_TRUE(testing::waitUntilAnswered(*state));
    EXPECT_EQ(server->requests().size(), 3u) << "switching off sends nothing, and nothing after";

    // a stored opt-in sends app_opened at the next launch
    store.set("analyticsOptIn", true);
    state = make();
    ASSERT_TRUE(testing::waitUntilAnswered(*state));
    ASSERT_EQ(server->requests().size(), 4u);
    EXPECT_EQ(body(3)["event"].toString(), "app_opened");
}

TEST_F(AppStateAnalytics, TheAutomaticCheckReportsItsResult)
{
    server->respondWith({200, "OK", {}, R"({"version": "1.2", "download_url": "https://x.test/1.2"})"});
    auto environment = testing::isolatedEnvironment(home.root());
    environment.analyticsEndpoint = server->url("/events").toString().toStdString();
    environment.updateFeedURL = server->url("/releases/latest.json");
    store.set("analyticsOptIn", true);
    AppState state(store, environment);
    ASSERT_TRUE(server->waitForRequests(3));
    std::map<QByteArray, QJsonObject> posted;
    for (const auto &request : server->requests()) {
        if (request.method == "POST") {
            const auto object = QJsonDocument::fromJson(request.body).object();
            posted[object["event"].toString().toUtf8()] = object["properties"].toObject();
        }
    }
    ASSERT_TRUE(posted.contains("app_opened"));
    ASSERT_TRUE(posted.contains("update_check_completed"));
    EXPECT_EQ(posted["update_check_completed"]["result"].toString(), "upToDate");
    EXPECT_EQ(posted["update_check_completed"]["manual"].toString(), "false");
    EXPECT_EQ(state.updateCheckState().message, "Tarnwick is up to date");
}

TEST(AppStateUpdates, ChecksPublishTheirResultAndOpenTheRightPage)
{
    FixtureTree home;
    LocalHttpServer feed;
    feed.respondWith({200, "OK", {{"Content-Type", "application/json"}},
                      R"({"version": "1.10.0", "download_url": "https://downloads.tarnwick.test/1.10.0"})"});
    testing::FakeDesktopShell shell;
    auto environment = testing::isolatedEnvironment(home.root(), &shell);
    environment.updateFeedURL = feed.url("/releases/latest.json");
    InMemoryPreferencesStore store;
    store.set("automaticUpdateChecksEnabled", false);
    AppState state(store, environment);

    state.openLatestDownload();
    ASSERT_EQ(shell.openedURLs.size(), 1u);
    EXPECT_EQ(shell.openedURLs[0], QUrl("https://tarnwick.test/#download"));

    QSignalSpy changes(&state, &AppState::updateCheckStateChanged);
    state.checkForUpdates(true);
    EXPECT_EQ(state.updateCheckState().phase, UpdateCheckPhase::checking);
    EXPECT_EQ(state.updateCheckState().message, "Checking for updates");
    ASSERT_TRUE(QTest::qWaitFor([&] { return state.updateCheckState().phase != UpdateCheckPhase::checking; }));
    EXPECT_EQ(state.updateCheckState().phase, UpdateCheckPhase::updateAvailable);
    EXPECT_EQ(state.updateCheckState().message, "Tarnwick 1.10.0 is available");
    EXPECT_EQ(feed.requests().at(0).path, "/releases/latest.json");

    state.openLatestDownload();
    ASSERT_EQ(shell.openedURLs.size(), 2u);
    EXPECT_EQ(shell.openedURLs[1], QUrl("https://downloads.tarnwick.test/1.10.0"));
}

TEST(AppStateUpdates, AnAnswerThatComesAfterTheStateIsGoneIsDropped)
{
    FixtureTree home;
    // Takes the connection and never answers, so the check is still waiting when the state goes.
    QTcpServer silent;
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost));
    auto environment = testing::isolatedEnvironment(home.root());
    environment.updateFeedURL = QUrl(QStringLiteral("http://127.0.0.1:%1/releases/latest.json").arg(silent.serverPort()));
    InMemoryPreferencesStore store;
    std::vector<bool> answers;  // whether each was still wanted when it came
    RunProbe probe([&answers](const RunEvent &event) {
        if (event.run == "updateCheck") {
            answers.push_back(event.current);
        }
        return false;
    });
    auto state = std::make_unique<AppState>(store, environment);  // the automatic check starts
    ASSERT_TRUE(QTest::qWaitFor([&] { return silent.hasPendingConnections(); }, 20000));
    EXPECT_TRUE(answers.empty());
    state.reset();
    // The check's request is cut short with the state's network session; its answer comes, once,
    // to nobody.
    EXPECT_EQ(answers, std::vector<bool>{false});
}

}  // namespace
}  // namespace tarnwick
