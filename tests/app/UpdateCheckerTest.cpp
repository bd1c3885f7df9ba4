#include "app/UpdateChecker.h"

#include "LocalHttpServer.h"
#include "TestNames.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QTcpServer>
#include <QTimer>
#include <cctype>
#include <gtest/gtest.h>
#include <memory>

namespace tarnwick {

// Found by argument-dependent lookup, so it has to live beside the type rather than in the file's
// anonymous namespace.
void PrintTo(const UpdateCheckState &s, std::ostream *out)
{
    *out << rawValue(s.phase) << " \"" << s.message << "\" latest \"" << s.latestVersion << "\" url "
         << s.downloadURL.value_or("(none)");
}

namespace {

using testing::labelTestName;
using testing::CannedResponse;
using testing::LocalHttpServer;

const std::string kDownload = "https://tarnwick.example/download/latest";

QByteArray feed(const std::string &version)
{
    return QByteArray::fromStdString(R"({"version":")" + version + R"(","download_url":")" + kDownload +
                                     R"(","release_notes_url":"https://tarnwick.example/notes"})");
}

// A feed announcing 2.0, padded with trailing white space (still valid JSON) to `bytes`.
QByteArray paddedFeed(int bytes)
{
    QByteArray body = feed("2.0");
    return body + QByteArray(bytes - body.size(), ' ');
}

QByteArray feedLinkingTo(const std::string &downloadURL)
{
    return QByteArray::fromStdString(R"({"version":"2.0","download_url":")" + downloadURL + R"("})");
}

UpdateCheckState available(const std::string &version)
{
    return {UpdateCheckPhase::updateAvailable, "Tarnwick " + version + " is available", version, kDownload};
}

UpdateCheckState upToDate(const std::string &version)
{
    return {UpdateCheckPhase::upToDate, "Tarnwick is up to date", version, kDownload};
}

UpdateCheckState failed(const std::string &message)
{
    return {UpdateCheckPhase::failed, message, "", std::nullopt};
}

class UpdateCheckTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.isListening());
        session.setProxy(QNetworkProxy::NoProxy);
    }

    // Runs one check to its end and insists that the completion came later, and only once.
    UpdateCheckState run(const QUrl &feedURL, const std::string &running)
    {
        UpdateChecker checker(feedURL, &session);
        std::vector<UpdateCheckState> results;
        QEventLoop loop;
        checker.check(running, [&](UpdateCheckState state) {
            results.push_back(std::move(state));
            loop.quit();
        });
        EXPECT_TRUE(results.empty()) << "completion ran inside check()";
        QTimer::singleShot(15000, &loop, &QEventLoop::quit);
        loop.exec();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(session.findChildren<QNetworkReply *>().isEmpty());
        EXPECT_EQ(results.size(), 1u);
        return results.empty() ? UpdateCheckState::idle() : results.front();
    }

    LocalHttpServer server;
    QNetworkAccessManager session;
};

struct FeedCase {
    const char *label;
    int status;
    QByteArray body;
    std::string running;
    UpdateCheckState expected;
};

void PrintTo(const FeedCase &c, std::ostream *out)
{
    *out << c.label;
}

class UpdateFeedTest : public UpdateCheckTest, public ::testing::WithParamInterface<FeedCase> {};

TEST_P(UpdateFeedTest, ReportsWhatTheFeedSays)
{
    const auto &c = GetParam();
    server.respondWith({c.status, c.status == 200 ? "OK" : "Error", {{"Content-Type", "application/json"}}, c.body});
    EXPECT_EQ(run(server.url("/releases/latest.json"), c.running), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Feeds, UpdateFeedTest,
    ::testing::Values(
        FeedCase{"numeric not lexical", 200, feed("1.10"), "1.9", available("1.10")},
        FeedCase{"missing parts are zero", 200, feed("1.2"), "1.2.0", upToDate("1.2")},
        FeedCase{"older feed", 200, feed("1.9"), "2.0", upToDate("1.9")},
        FeedCase{"letter prefix counts as zero", 200, feed("V2.0"), "1.0", upToDate("V2.0")},
        FeedCase{"suffix ignored", 200, feed("1.3-beta"), "1.2", available("1.3-beta")},
        FeedCase{"null notes and unknown keys", 200,
                 R"({"version":"2.0","download_url":"https://tarnwick.example/download/latest",)"
                 R"("release_notes_url":null,"channel":{"beta":true}})",
                 "1.0", available("2.0")},
        FeedCase{"no notes", 200, R"({"version":"1.0","download_url":"https://tarnwick.example/download/latest"})",
                 "1.0", upToDate("1.0")},
        FeedCase{"status is not examined", 500, feed("3.0"), "1.0", available("3.0")},
        FeedCase{"empty body", 200, "", "1.0", failed("No update response")},
        FeedCase{"error page", 500, "<html><body><h1>500 Internal Server Error</h1></body></html>", "1.0",
                 failed("Could not read update feed")},
        FeedCase{"no download URL", 200, R"({"version":"2.0"})", "1.0", failed("Could not read update feed")},
        FeedCase{"download URL not a string", 200, R"({"version":"2.0","download_url":42})", "1.0",
                 failed("Could not read update feed")},
        FeedCase{"download URL does not parse", 200, R"({"version":"2.0","download_url":"http://exa mple/"})", "1.0",
                 failed("Could not read update feed")},
        FeedCase{"download URL over plain http", 200, feedLinkingTo("http://tarnwick.example/download"), "1.0",
                 failed("Could not read update feed")},
        FeedCase{"download URL of a local file", 200, feedLinkingTo("file:///usr/bin/env"), "1.0",
                 failed("Could not read update feed")},
        FeedCase{"download URL for another handler", 200, feedLinkingTo("vscode://open?cmd=x"), "1.0",
                 failed("Could not read update feed")},
        FeedCase{"download URL without a host", 200, feedLinkingTo("https:/download"), "1.0",
                 failed("Could not read update feed")},
        FeedCase{"a feed of exactly 1 MiB", 200, paddedFeed(1024 * 1024), "1.0", available("2.0")},
        FeedCase{"a feed past 1 MiB", 200, paddedFeed(1024 * 1024 + 1), "1.0", failed("Could not read update feed")},
        FeedCase{"a body of 16 MiB", 200, paddedFeed(16 * 1024 * 1024), "1.0", failed("Could not read update feed")},
        FeedCase{"notes URL does not parse", 200,
                 R"({"version":"2.0","download_url":"https://a.example/","release_notes_url":"no scheme"})", "1.0",
                 failed("Could not read update feed")},
        FeedCase{"version not a string", 200, R"({"version":2,"download_url":"https://a.example/"})", "1.0",
                 failed("Could not read update feed")},
        FeedCase{"not an object", 200, R"(["2.0"])", "1.0", failed("Could not read update feed")}),
    labelTestName<FeedCase>);

TEST_F(UpdateCheckTest, AsksWithAPlainGetOfTheFeed)
{
    server.respondWith({200, "OK", {}, feed("1.0")});
    run(server.url("/releases/latest.json"), "1.0");
    ASSERT_EQ(server.requests().size(), 1u);
    const auto &request = server.requests().front();
    EXPECT_EQ(request.method, "GET");
    EXPECT_EQ(request.path, "/releases/latest.json");
    EXPECT_TRUE(request.body.isEmpty());
    // Qt's own headers and nothing else.
    const QList<QByteArray> qtDefaults{"accept-encoding", "accept-language", "connection", "host", "user-agent"};
    EXPECT_EQ(request.headerNames(), qtDefaults);
}

TEST_F(UpdateCheckTest, TransportFailuresCarryTheTransportsOwnDescription)
{
    EXPECT_EQ(run(LocalHttpServer::refusingUrl("/releases/latest.json"), "1.0"), failed("Connection refused"));

    server.closeWithoutAnswering();
    const auto closed = run(server.url("/releases/latest.json"), "1.0");
    EXPECT_EQ(closed.phase, UpdateCheckPhase::failed);
    EXPECT_FALSE(closed.message.empty());
    EXPECT_NE(closed.message, "No update response");
    EXPECT_NE(closed.message, "Could not read update feed");
}

TEST_F(UpdateCheckTest, CompletionRunsOnceEvenWhenTheSessionGoesFirst)
{
    // Accepts connections (the kernel completes them) but never answers, so the request stays open.
    QTcpServer silent;
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost, 0));
    auto doomed = std::make_unique<QNetworkAccessManager>();
    doomed->setProxy(QNetworkProxy::NoProxy);
    std::vector<UpdateCheckState> results;
    {
        UpdateChecker checker(QUrl(QStringLiteral("http://127.0.0.1:%1/releases/latest.json").arg(silent.serverPort())),
                              doomed.get());
        checker.check("1.0", [&](UpdateCheckState state) { results.push_back(std::move(state)); });
    }
    QCoreApplication::processEvents();
    EXPECT_TRUE(results.empty());
    doomed.reset();
    QCoreApplication::processEvents();
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results.front().phase, UpdateCheckPhase::failed);
    EXPECT_FALSE(results.front().message.empty());
}

TEST(UpdateVersions, PartsFollowTheLeadingNumericRunOfEachComponent)
{
    using Parts = std::vector<int64_t>;
    const std::pair<const char *, Parts> cases[] = {
        {"1.10.3", {1, 10, 3}},
        {"1..2", {1, 2}},
        {".1.", {1}},
        {"", {}},
        {"2-beta.rc1", {2, 0}},
        {"-1.+2", {0, 0}},
        {"9223372036854775807", {INT64_MAX}},
        {"9223372036854775808.1", {0, 1}},
        {"\xd9\xa3.4", {0, 4}},        // ARABIC-INDIC DIGIT THREE: numeric, not ASCII
        {"1\xc2\xbd.2", {0, 2}},       // "1½": the run includes ½, so it does not parse
        {"12\xef\xbc\x91.5", {0, 5}},  // a fullwidth digit inside the run spoils it too
        {"3\xff.1", {3, 1}},           // an invalid byte simply ends the run
    };
    for (const auto &[version, parts] : cases) {
        EXPECT_EQ(UpdateChecker::versionParts(version), parts) << version;
    }
}

TEST(UpdateVersions, NewerComparesPartByPart)
{
    EXPECT_TRUE(UpdateChecker::isVersion("1.10", "1.9"));
    EXPECT_TRUE(UpdateChecker::isVersion("2.0", "1.9.9"));
    EXPECT_TRUE(UpdateChecker::isVersion("1.0.1", "1"));
    EXPECT_FALSE(UpdateChecker::isVersion("1", "1.0.1"));
    EXPECT_FALSE(UpdateChecker::isVersion("1.2", "1.2.0"));
    EXPECT_FALSE(UpdateChecker::isVersion("1.2.0", "1.2"));
    EXPECT_FALSE(UpdateChecker::isVersion("", "0.0"));
}

TEST(UpdateCheckStates, StartIdleAndNameThePhasesInCamelCase)
{
    EXPECT_EQ(UpdateCheckState::idle(), (UpdateCheckState{UpdateCheckPhase::idle, "Updates ready", "", std::nullopt}));
    // These names travel as the "result" of the update_check_completed event.
    EXPECT_EQ(rawValue(UpdateCheckPhase::updateAvailable), "updateAvailable");
    EXPECT_EQ(rawValue(UpdateCheckPhase::upToDate), "upToDate");
}

}  // namespace
}  // namespace tarnwick
