#include "app/AnalyticsClient.h"

#include "LocalHttpServer.h"
#include "TestNames.h"
#include "core/Iso8601.h"

#include <QCoreApplication>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QTest>
#include <cctype>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <set>

namespace tarnwick {
namespace {

using testing::labelTestName;
using testing::CannedResponse;
using testing::LocalHttpServer;

// What Qt puts on every request by itself; the client must add nothing beyond Content-Type and the
// body's length.
const QList<QByteArray> kPostHeaders{
    "accept-encoding", "accept-language", "connection", "content-length", "content-type", "host", "user-agent"};

class AnalyticsWireTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.isListening());
        session.setProxy(QNetworkProxy::NoProxy);
        server.respondWith({204, "No Content", {}, {}});
    }

    LocalHttpServer server;
    QNetworkAccessManager session;
};

TEST_F(AnalyticsWireTest, EachEventIsOnePostWithExactlyTheDocumentedBody)
{
    EndpointAnalyticsClient client(server.url("/v1/events?k=1"), &session);
    const AnalyticsProperties properties{
        {"app_version", "1.2.3"}, {"result_count_bucket", "6-20"}, {"note", "quote \" and caf\xc3\xa9"}};
    for (const auto event : allAnalyticsEvents) {
        client.track(event, properties);
    }
    ASSERT_TRUE(server.waitForRequests(allAnalyticsEvents.size()));

    std::multiset<std::string> names;
    for (const auto &request : server.requests()) {
        EXPECT_EQ(request.method, "POST");
        EXPECT_EQ(request.path, "/v1/events?k=1");
        EXPECT_EQ(request.headerNames(), kPostHeaders);
        EXPECT_EQ(request.header("Content-Type"), "application/json");
        EXPECT_FALSE(request.body.contains('\n') || request.body.contains(": ") || request.body.contains(", "))
            << "not compact: " << request.body.constData();

        const auto body = nlohmann::json::parse(request.body.toStdString());
        ASSERT_TRUE(body.is_object());
        EXPECT_EQ(body.size(), 3u) << body.dump();
        EXPECT_EQ(body.at("properties").get<AnalyticsProperties>(), properties);
        const auto sentAt = body.at("sentAt").get<std::string>();
        EXPECT_TRUE(parseIso8601(sentAt).has_value()) << sentAt;
        names.insert(body.at("event").get<std::string>());
    }
    // Requests may arrive in any order, each on its own connection.
    const std::multiset<std::string> expected{"app_opened",
                                              "folder_added",
                                              "scan_started",
                                              "scan_cancelled",
                                              "scan_completed",
                                              "cleanup_started",
                                              "cleanup_cancelled",
                                              "cleanup_completed",
                                              "super_clean_started",
                                              "super_clean_completed",
                                              "extra_folder_types_enabled",
                                              "cleanup_method_changed",
                                              "analytics_enabled",
                                              "update_check_completed"};
    EXPECT_EQ(names, expected);
}

TEST_F(AnalyticsWireTest, RepliesAreReleasedWhateverTheOutcome)
{
    server.respondWith({500, "Internal Server Error", {}, "<html>down</html>"});
    EndpointAnalyticsClient answered(server.url("/e"), &session);
    EndpointAnalyticsClient refused(LocalHttpServer::refusingUrl("/e"), &session);
    answered.track(AnalyticsEvent::appOpened, {});
    refused.track(AnalyticsEvent::appOpened, {});
    ASSERT_TRUE(server.waitForRequests(1));
    // A reply left behind would live as long as the session, that is, the whole application.
    EXPECT_TRUE(QTest::qWaitFor([&] { return session.findChildren<QNetworkReply *>().isEmpty(); }, 10000));
}

TEST(AnalyticsBody, SentAtIsUtcWholeSecondsAndBadTextDropsTheEvent)
{
    using namespace std::chrono;
    const auto time = sys_days{2026y / January / 31} + 12h + 34min + 56s + 789ms;
    const auto body = EndpointAnalyticsClient::requestBody(AnalyticsEvent::scanCompleted, {}, time);
    ASSERT_TRUE(body.has_value());
    EXPECT_EQ(nlohmann::json::parse(body->toStdString()),
              nlohmann::json::parse(R"({"event":"scan_completed","properties":{},"sentAt":"2026-01-31T12:34:56Z"})"));

    EXPECT_FALSE(EndpointAnalyticsClient::requestBody(AnalyticsEvent::appOpened, {{"k", "\xff"}}, time).has_value());
}

struct SinkCase {
    const char *label;
    bool optIn;
    const char *endpoint;
    bool sends;
};

void PrintTo(const SinkCase &c, std::ostream *out)
{
    *out << c.label;
}

class AnalyticsSinkChoice : public ::testing::TestWithParam<SinkCase> {};

TEST_P(AnalyticsSinkChoice, SendsOnlyWhenOptedInToAnHttpsEndpoint)
{
    QNetworkAccessManager session;
    const auto &c = GetParam();
    const auto client = makeAnalyticsClient(c.optIn, c.endpoint, &session);
    const auto *endpoint = dynamic_cast<const EndpointAnalyticsClient *>(client.get());
    if (!c.sends) {
        EXPECT_NE(dynamic_cast<const NoOpAnalyticsClient *>(client.get()), nullptr);
        return;
    }
    ASSERT_NE(endpoint, nullptr);
    EXPECT_EQ(endpoint->endpoint(), QUrl(QString::fromUtf8(c.endpoint)));
    EXPECT_EQ(endpoint->session(), &session);
}

INSTANTIATE_TEST_SUITE_P(
    Endpoints, AnalyticsSinkChoice,
    ::testing::Values(SinkCase{"opted in, https", true, "https://collect.example.com/v1/events", true},
                      SinkCase{"opted in, https with port and query", true, "https://127.0.0.1:8443/e?x=1", true},
                      SinkCase{"opted out", false, "https://collect.example.com/v1/events", false},
                      SinkCase{"no endpoint", true, "", false},
                      SinkCase{"plain http", true, "http://collect.example.com/v1/events", false},
                      SinkCase{"upper-case scheme", true, "HTTPS://collect.example.com/v1/events", false},
                      SinkCase{"mixed-case scheme", true, "Https://collect.example.com/v1/events", false},
                      SinkCase{"leading space", true, " https://collect.example.com/", false},
                      SinkCase{"not a URL", true, "https://exa mple.com/", false},
                      SinkCase{"no scheme", true, "collect.example.com/v1", false},
                      SinkCase{"other scheme", true, "httpsx://collect.example.com/", false}),
    labelTestName<SinkCase>);

TEST(AnalyticsSinkChoice, WithoutASessionNothingIsSent)
{
    const auto client = makeAnalyticsClient(true, "https://collect.example.com/e", nullptr);
    EXPECT_NE(dynamic_cast<const NoOpAnalyticsClient *>(client.get()), nullptr);
}

}  // namespace
}  // namespace tarnwick
