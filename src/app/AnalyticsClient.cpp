#include "app/AnalyticsClient.h"

#include "core/Iso8601.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <nlohmann/json.hpp>

namespace tarnwick {

namespace {

// QUrl lower-cases the scheme it parses, so the case-sensitive test has to look at the text the
// build was given, and QUrl only confirms that the whole string is a URL with that scheme.
std::optional<QUrl> httpsEndpoint(const std::string &setting)
{
    const auto colon = setting.find(':');
    if (colon == std::string::npos || setting.compare(0, colon, "https") != 0) {
        return std::nullopt;
    }
    QUrl url(QString::fromStdString(setting), QUrl::StrictMode);
    if (!url.isValid() || url.scheme() != QLatin1String("https")) {
        return std::nullopt;
    }
    return url;
}

}  // namespace

EndpointAnalyticsClient::EndpointAnalyticsClient(QUrl endpoint, QNetworkAccessManager *session)
    : m_endpoint(std::move(endpoint)), m_session(session)
{
}

std::optional<QByteArray> EndpointAnalyticsClient::requestBody(AnalyticsEvent event,
                                                               const AnalyticsProperties &properties,
                                                               std::chrono::system_clock::time_point sentAt)
{
    const nlohmann::json object{
        {"event", std::string(rawValue(event))},
        {"properties", properties},
        {"sentAt", formatIso8601(sentAt)},
    };
    try {
        const std::string text = object.dump(-1, ' ', false, nlohmann::json::error_handler_t::strict);
        return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
    } catch (const nlohmann::json::exception &) {
        return std::nullopt;
    }
}

void EndpointAnalyticsClient::track(AnalyticsEvent event, const AnalyticsProperties &properties)
{
    if (!m_session) {
        return;
    }
    const auto body = requestBody(event, properties, std::chrono::system_clock::now());
    if (!body) {
        return;
    }
    QNetworkRequest request(m_endpoint);
    request.setRawHeader("Content-Type", "application/json");
    request.setTransferTimeout(kTimeoutMilliseconds);
    QNetworkReply *reply = m_session->post(request, *body);
    // Errors and the response are of no interest; the reply only has to go once it is done, or
    // every event would keep one alive until the session is destroyed.
    QObject::connect(reply, &QNetworkReply::finished, reply, &QObject::deleteLater);
}

std::unique_ptr<AnalyticsClient> makeAnalyticsClient(bool optIn, const std::string &endpointSetting,
                                                     QNetworkAccessManager *session)
{
    if (!optIn || session == nullptr) {
        return std::make_unique<NoOpAnalyticsClient>();
    }
    auto endpoint = httpsEndpoint(endpointSetting);
    if (!endpoint) {
        return std::make_unique<NoOpAnalyticsClient>();
    }
    return std::make_unique<EndpointAnalyticsClient>(std::move(*endpoint), session);
}

}  // namespace tarnwick
