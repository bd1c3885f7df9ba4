#include "app/UpdateChecker.h"

#include "app/LogCategories.h"
#include "app/TarnwickReleaseInfo.h"
#include "core/EnumRawValue.h"

#include <QCoreApplication>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <algorithm>
#include <charconv>
#include <climits>
#include <memory>
#include <unicode/uchar.h>
#include <unicode/utf8.h>

namespace tarnwick {

namespace {

// The platform's usual request time-out, used unless the session sets its own; without one a feed
// server that accepts and never answers would leave the check in progress for good.
constexpr int kDefaultTimeoutMilliseconds = 60 * 1000;

UpdateCheckState failed(std::string message)
{
    return {UpdateCheckPhase::failed, std::move(message), {}, std::nullopt};
}

// Qt's own wording for a request that ended before it could finish.
std::string cancelledDescription()
{
    return QCoreApplication::translate("QNetworkReply", "Operation canceled").toStdString();
}

// Qt turns an HTTP error status into a reply error, but an error page is still a response whose
// body has to be judged like any other. Only failures to get a response count as transport errors.
bool isTransportError(const QNetworkReply &reply)
{
    const auto error = reply.error();
    if (error == QNetworkReply::NoError) {
        return false;
    }
    if (!reply.attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid()) {
        return true;
    }
    const bool fromStatus =
        (error >= QNetworkReply::ContentAccessDenied && error <= QNetworkReply::UnknownContentError &&
         error != QNetworkReply::ContentReSendError) ||
        error == QNetworkReply::ProtocolInvalidOperationError ||
        (error >= QNetworkReply::InternalServerError && error <= QNetworkReply::UnknownServerError);
    return !fromStatus;
}

// A feed is a few hundred bytes; a body past this is not one, and reading on would let a server
// that never stops sending fill the application's memory.
constexpr qint64 kMaximumFeedBytes = 1024 * 1024;

const char *const kUnreadableFeed = "Could not read update feed";

// The body as it arrives, held by the reply's handlers.
struct FeedBody {
    QByteArray bytes;
    bool tooLarge = false;

    // Takes what the reply has buffered; past the limit it stops the transfer.
    void take(QNetworkReply &reply)
    {
        if (tooLarge) {
            return;
        }
        bytes += reply.read(kMaximumFeedBytes + 1 - bytes.size());
        if (bytes.size() > kMaximumFeedBytes) {
            tooLarge = true;
            bytes.clear();
            reply.abort();
        }
    }
};

UpdateCheckState stateForReply(QNetworkReply &reply, FeedBody &feed, const std::string &currentVersion)
{
    if (feed.tooLarge) {
        return failed(kUnreadableFeed);
    }
    if (isTransportError(reply)) {
        return failed(reply.errorString().toStdString());
    }
    feed.take(reply);
    if (feed.tooLarge) {
        return failed(kUnreadableFeed);
    }
    const QByteArray &body = feed.bytes;
    if (body.isEmpty()) {
        return failed("No update response");
    }
    const auto info = TarnwickReleaseInfo::decode(std::string_view(body.constData(), static_cast<size_t>(body.size())));
    if (!info) {
        return failed(kUnreadableFeed);
    }
    if (UpdateChecker::isVersion(info->version, currentVersion)) {
        return {UpdateCheckPhase::updateAvailable, "Tarnwick " + info->version + " is available", info->version,
                info->downloadURL};
    }
    return {UpdateCheckPhase::upToDate, "Tarnwick is up to date", info->version, info->downloadURL};
}

// Held by both ways a request can end (it finishes, or the session is destroyed with the reply
// still pending), so whichever comes first delivers and the other finds nothing left to call.
class PendingCheck {
public:
    explicit PendingCheck(std::function<void(UpdateCheckState)> completion) : m_completion(std::move(completion)) {}

    void deliver(UpdateCheckState state)
    {
        if (!m_completion) {
            return;
        }
        auto completion = std::move(m_completion);
        m_completion = nullptr;
        completion(std::move(state));
    }

private:
    std::function<void(UpdateCheckState)> m_completion;
};

int64_t componentValue(std::string_view component)
{
    const char *bytes = component.data();
    const auto length = static_cast<int32_t>(std::min<size_t>(component.size(), INT32_MAX));
    int32_t runEnd = 0;
    while (runEnd < length) {
        int32_t next = runEnd;
        UChar32 character = 0;
        U8_NEXT(bytes, next, length, character);
        if (character < 0 || u_getIntPropertyValue(character, UCHAR_NUMERIC_TYPE) == U_NT_NONE) {
            break;
        }
        runEnd = next;
    }
    // The whole run has to parse, so a run holding any numeric character other than an ASCII digit
    // gives 0 rather than the digits before it.
    int64_t value = 0;
    const auto [end, error] = std::from_chars(bytes, bytes + runEnd, value);
    if (error != std::errc() || end != bytes + runEnd) {
        return 0;
    }
    return value;
}

}  // namespace

std::string_view rawValue(UpdateCheckPhase phase)
{
    switch (phase) {
    case UpdateCheckPhase::idle:
        return "idle";
    case UpdateCheckPhase::checking:
        return "checking";
    case UpdateCheckPhase::upToDate:
        return "upToDate";
    case UpdateCheckPhase::updateAvailable:
        return "updateAvailable";
    case UpdateCheckPhase::failed:
        return "failed";
    }
    return "idle";
}

std::optional<UpdateCheckPhase> updateCheckPhaseFromRaw(std::string_view raw)
{
    return enumFromRawValue(allUpdateCheckPhases, raw);
}

UpdateCheckState UpdateCheckState::idle()
{
    return {UpdateCheckPhase::idle, "Updates ready", {}, std::nullopt};
}

UpdateChecker::UpdateChecker(QUrl feedURL, QNetworkAccessManager *session)
    : m_feedURL(std::move(feedURL)), m_session(session)
{
}

void UpdateChecker::check(const std::string &currentVersion, std::function<void(UpdateCheckState)> completion)
{
    auto pending = std::make_shared<PendingCheck>(std::move(completion));
    if (!m_session) {
        QTimer::singleShot(0, [pending] { pending->deliver(failed(cancelledDescription())); });
        return;
    }
    QNetworkRequest request(m_feedURL);
    if (m_session->transferTimeout() <= 0) {
        request.setTransferTimeout(kDefaultTimeoutMilliseconds);
    }
    QNetworkReply *reply = m_session->get(request);
    auto feed = std::make_shared<FeedBody>();
    QObject::connect(reply, &QNetworkReply::readyRead, reply, [reply, feed] { feed->take(*reply); });
    QObject::connect(reply, &QNetworkReply::finished, reply, [reply, feed, pending, currentVersion] {
        reply->deleteLater();
        UpdateCheckState state = stateForReply(*reply, *feed, currentVersion);
        if (state.phase == UpdateCheckPhase::failed) {
            qCWarning(lcUpdates).noquote() << QStringLiteral("Update check of %1 failed: %2")
                                                  .arg(reply->url().toString(), QString::fromStdString(state.message));
        }
        pending->deliver(std::move(state));
    });
    QObject::connect(reply, &QObject::destroyed, [pending] { pending->deliver(failed(cancelledDescription())); });
}

std::vector<int64_t> UpdateChecker::versionParts(std::string_view version)
{
    std::vector<int64_t> parts;
    size_t start = 0;
    while (start <= version.size()) {
        size_t end = version.find('.', start);
        if (end == std::string_view::npos) {
            end = version.size();
        }
        if (end > start) {
            parts.push_back(componentValue(version.substr(start, end - start)));
        }
        start = end + 1;
    }
    return parts;
}

bool UpdateChecker::isVersion(std::string_view a, std::string_view newerThan)
{
    const auto left = versionParts(a);
    const auto right = versionParts(newerThan);
    const size_t count = std::max(left.size(), right.size());
    for (size_t i = 0; i < count; ++i) {
        const int64_t x = i < left.size() ? left[i] : 0;
        const int64_t y = i < right.size() ? right[i] : 0;
        if (x != y) {
            return x > y;
        }
    }
    return false;
}

}  // namespace tarnwick
