#pragma once

#include <QNetworkAccessManager>
#include <QPointer>
#include <QUrl>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

enum class UpdateCheckPhase { idle, checking, upToDate, updateAvailable, failed };

inline constexpr std::array<UpdateCheckPhase, 5> allUpdateCheckPhases{
    UpdateCheckPhase::idle, UpdateCheckPhase::checking, UpdateCheckPhase::upToDate, UpdateCheckPhase::updateAvailable,
    UpdateCheckPhase::failed};

std::string_view rawValue(UpdateCheckPhase phase);
std::optional<UpdateCheckPhase> updateCheckPhaseFromRaw(std::string_view raw);

// The outcome of the last update check, as the settings window shows it.
struct UpdateCheckState {
    UpdateCheckPhase phase = UpdateCheckPhase::idle;
    std::string message;
    // What the feed announced; empty when no feed was read.
    std::string latestVersion;
    std::optional<std::string> downloadURL;

    // Before any check has run: "Updates ready".
    static UpdateCheckState idle();

    bool operator==(const UpdateCheckState &) const = default;
};

// Reads the release feed and compares its version with the running one. It only reports; nothing
// is downloaded or installed.
class UpdateChecker {
public:
    UpdateChecker(QUrl feedURL, QNetworkAccessManager *session);

    const QUrl &feedURL() const { return m_feedURL; }

    // Starts one GET of the feed and returns at once. `completion` runs exactly once, later, on the
    // thread that owns the session (never inside this call): with updateAvailable or upToDate when
    // the feed was read, otherwise with failed and the transport's own description of the error,
    // "No update response" for an empty body or "Could not read update feed" (also for a body past
    // 1 MiB, whose transfer is stopped there). The HTTP status is not looked at: an error page
    // fails because it is not a feed. The checker may be destroyed while the request is in flight;
    // the completion still runs.
    void check(const std::string &currentVersion, std::function<void(UpdateCheckState)> completion);

    // One number per non-empty "."-separated component: its leading run of numeric characters read
    // as a decimal number, 0 when the run is empty, holds a numeric character that is not an ASCII
    // digit (so "1½" and fullwidth digits give 0) or overflows. Text after the run is ignored.
    static std::vector<int64_t> versionParts(std::string_view version);

    // Compares part by part, a missing part counting as 0, so 1.2 and 1.2.0 are the same version
    // and neither is newer than the other.
    static bool isVersion(std::string_view a, std::string_view newerThan);

private:
    QUrl m_feedURL;
    QPointer<QNetworkAccessManager> m_session;
};

}  // namespace tarnwick
