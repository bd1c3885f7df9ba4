#pragma once

#include "app/AnalyticsEvent.h"

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QPointer>
#include <QUrl>
#include <chrono>
#include <memory>
#include <optional>
#include <string>

namespace tarnwick {

// Where usage events go. The application state holds exactly one and replaces it whenever the
// opt-in changes; callers never learn whether an event was delivered.
class AnalyticsClient {
public:
    virtual ~AnalyticsClient() = default;
    virtual void track(AnalyticsEvent event, const AnalyticsProperties &properties) = 0;
};

// The sink of every build without an endpoint and of every user who has not opted in.
class NoOpAnalyticsClient final : public AnalyticsClient {
public:
    void track(AnalyticsEvent, const AnalyticsProperties &) override {}
};

// Sends one POST per event and forgets it: no queue, no retry, the response is never read, so an
// event that cannot be delivered is simply lost. Must be used on the thread that owns the session.
class EndpointAnalyticsClient final : public AnalyticsClient {
public:
    static constexpr int kTimeoutMilliseconds = 60 * 1000;

    EndpointAnalyticsClient(QUrl endpoint, QNetworkAccessManager *session);

    const QUrl &endpoint() const { return m_endpoint; }
    QNetworkAccessManager *session() const { return m_session; }

    void track(AnalyticsEvent event, const AnalyticsProperties &properties) override;

    // The compact JSON body of one event: exactly "event", "properties" and "sentAt". Nothing when
    // it cannot be written as JSON (a property that is not valid UTF-8), in which case the event
    // is dropped rather than sent altered.
    static std::optional<QByteArray> requestBody(AnalyticsEvent event, const AnalyticsProperties &properties,
                                                 std::chrono::system_clock::time_point sentAt);

private:
    QUrl m_endpoint;
    // Weak, so an event tracked while the application shuts down is dropped instead of crashing.
    QPointer<QNetworkAccessManager> m_session;
};

// Chooses the sink: events are sent only when the user opted in and the build's endpoint setting is
// a URL whose scheme is written exactly "https" (case-sensitive, so "HTTPS://..." is refused too).
// Every other combination gives the no-op sink, silently.
std::unique_ptr<AnalyticsClient> makeAnalyticsClient(bool optIn, const std::string &endpointSetting,
                                                     QNetworkAccessManager *session);

}  // namespace tarnwick
