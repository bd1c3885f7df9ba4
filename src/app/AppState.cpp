#include "app/AppState.h"

#include "app/BuildSettings.h"
#include "app/DesktopShell.h"
#include "app/PutBackController.h"
#include "app/SuperCleanCoordinator.h"
#include "core/PathRules.h"
#include "engine/CancellationToken.h"
#include "engine/CleanupRules.h"
#include "platform/FileTests.h"
#include "platform/UserFolders.h"

#include <QCoreApplication>
#include <QNetworkAccessManager>
#include <QPointer>
#include <algorithm>
#include <sys/utsname.h>

namespace tarnwick {

namespace {

// The kernel's major release number: the wire format keeps the key "macos_major_version" for the
// operating system's major version, which on Linux is the kernel's.
std::string operatingSystemMajorVersion()
{
    struct utsname name {};
    if (::uname(&name) != 0) {
        return "0";
    }
    const std::string release = name.release;
    const auto end = release.find_first_not_of("0123456789");
    const std::string major = release.substr(0, end);
    return major.empty() ? "0" : major;
}

std::string methodValue(CleanupAction action)
{
    return action == CleanupAction::moveToTrash ? "trash" : "permanent";
}

} // namespace

AppEnvironment AppEnvironment::standard()
{
    AppEnvironment environment;
    environment.version = BuildSettings::kVersion;
    environment.analyticsEndpoint = BuildSettings::kAnalyticsEndpoint;
    const QString host = QString::fromUtf8(BuildSettings::kSiteHost);
    environment.updateFeedURL = QUrl(QStringLiteral("https://%1/releases/latest.json").arg(host));
    environment.downloadPageURL = QUrl(QStringLiteral("https://%1/#download").arg(host));
    environment.homeFolder = tarnwick::homeFolder();
    return environment;
}

AppState::AppState(PreferencesStore &defaults, AppEnvironment environment, QObject *parent)
    : QObject(parent), m_defaults(defaults), m_environment(std::move(environment)), m_statusMessage("Ready"),
      m_superCleanCoordinator(new SuperCleanCoordinator(m_environment.homeFolder, this)),
      m_putBack(new PutBackController(this)),
      m_network(new QNetworkAccessManager(this)), m_analyticsClient(std::make_unique<NoOpAnalyticsClient>()),
      m_updateChecker(std::make_unique<UpdateChecker>(m_environment.updateFeedURL, m_network))
{
    m_scanProgress.phase = OperationPhase::idle;
    m_scanProgress.message = "Ready";
    m_deleteProgress.phase = OperationPhase::idle;
    m_deleteProgress.message = "Ready";

    const CleanupPreset preset =
        cleanupPresetFromRaw(defaults.string("cleanupPreset").value_or("")).value_or(CleanupPreset::safe);
    m_cleanupPreset = preset;
    m_roots = savedRoots(defaults, m_environment.homeFolder);
    m_enabledRuleKeys = savedRuleKeys(defaults, preset);
    const auto aggressive = defaults.object("includeAggressive");
    m_includeAggressive = aggressive && std::holds_alternative<bool>(*aggressive)
                              ? std::get<bool>(*aggressive)
                              : CleanupRules::includesAggressive(preset);
    m_cleanupAction = defaults.string("cleanupAction").value_or("") == "deletePermanently"
                          ? CleanupAction::deletePermanently
                          : CleanupAction::moveToTrash;
    m_minimumSizePreset =
        sizePresetFromRaw(defaults.string("minimumSizePreset").value_or("")).value_or(SizePreset::any);
    m_sortMode =
        candidateSortModeFromRaw(defaults.string("sortMode").value_or("")).value_or(CandidateSortMode::largest);
    m_cleanupStats = savedCleanupStats(defaults);
    m_cleanupHistory = savedCleanupHistory(defaults);
    if (const auto excluded = defaults.stringArray("excludedPaths")) {
        m_excludedPaths.insert(excluded->begin(), excluded->end());
    }
    m_analyticsOptIn = defaults.boolean("analyticsOptIn");
    const auto automatic = defaults.object("automaticUpdateChecksEnabled");
    m_automaticUpdateChecksEnabled =
        automatic && std::holds_alternative<bool>(*automatic) ? std::get<bool>(*automatic) : true;
    m_statusMessage = m_roots.empty() ? "Choose a folder to scan." : "Ready to scan.";
    m_isOnboardingPresented = !defaults.boolean("hasSeenOnboarding");

    connect(m_superCleanCoordinator, &SuperCleanCoordinator::resultChanged, m_putBack, [this] {
        if (m_superCleanCoordinator->result()) {
            m_putBack->cleanupFinished();
        }
    });

    rebuildAnalyticsClient();
    track(AnalyticsEvent::appOpened);
    if (m_automaticUpdateChecksEnabled) {
        checkForUpdates(false);
    }
}

AppState::~AppState() = default;

std::vector<std::string> AppState::savedRoots(const PreferencesStore &defaults, const std::string &home)
{
    const auto stored = defaults.stringArray("roots");
    if (!stored) {
        return defaultRoots(home);
    }
    std::vector<std::string> roots;
    for (const auto &path : *stored) {
        const std::string standardized = normalizedPath(path);
        if (!path.empty() && isDirectory(standardized)) {
            roots.push_back(standardized);
        }
    }
    return roots;
}

std::vector<std::string> AppState::defaultRoots(const std::string &home)
{
    for (const char *name : {"Developer", "Code", "Projects", "Workspace"}) {
        const std::string candidate = normalizedPath(joinPath(home, name));
        if (isDirectory(candidate)) {
            return {candidate};
        }
    }
    return {};
}

std::set<std::string> AppState::savedRuleKeys(const PreferencesStore &defaults, CleanupPreset fallbackPreset)
{
    if (const auto stored = defaults.stringArray("enabledRuleKeys")) {
        const auto known = CleanupRules::allKeys();
        std::set<std::string> keys;
        for (const auto &key : *stored) {
            if (known.contains(key)) {
                keys.insert(key);
            }
        }
        if (!keys.empty()) {
            return keys;
        }
    }
    return CleanupRules::keys(fallbackPreset);
}

CleanupStats AppState::savedCleanupStats(const PreferencesStore &defaults)
{
    CleanupStats stats;
    const auto startedAt = defaults.date("statsStartedAt");
    if (!startedAt) {
        stats.startedAt = std::chrono::system_clock::now();
        return stats;
    }
    stats.startedAt = *startedAt;
    // A total can never be negative: a stored one that is (a hand-edited file, or a total that wrapped
    // in an older build) is not a usable figure, just like a string or a number too large for 64 bits.
    const auto total = [](int64_t stored) { return stored >= 0 ? stored : 0; };
    stats.cleanedBytes = total(int64(defaults, "statsCleanedBytes"));
    stats.movedToTrashBytes = total(int64(defaults, "statsMovedToTrashBytes"));
    stats.permanentlyDeletedBytes = total(int64(defaults, "statsPermanentlyDeletedBytes"));
    stats.cleanedFolders = total(defaults.integer("statsCleanedFolders"));
    stats.cleanupRuns = total(defaults.integer("statsCleanupRuns"));
    stats.lastCleanupAt = defaults.date("statsLastCleanupAt");
    return stats;
}

std::vector<CleanupHistoryEntry> AppState::savedCleanupHistory(const PreferencesStore &defaults)
{
    const auto data = defaults.data("cleanupHistory");
    if (!data) {
        return {};
    }
    auto entries = decodeCleanupHistory(data->bytes).value_or(std::vector<CleanupHistoryEntry>{});
    if (entries.size() > kCleanupHistoryLimit) {
        entries.resize(kCleanupHistoryLimit);
    }
    return entries;
}

int64_t AppState::int64(const PreferencesStore &defaults, const std::string &key)
{
    // Only a stored number counts; a string of digits is not one.
    return defaults.integer(key);
}

void AppState::completeOnboarding()
{
    m_defaults.set("hasSeenOnboarding", true);
    setIsOnboardingPresented(false);
}

void AppState::savePreferences()
{
    const PreferencesBatch batch(m_defaults);
    m_defaults.set("roots", m_roots);
    m_defaults.set("enabledRuleKeys", std::vector<std::string>(m_enabledRuleKeys.begin(), m_enabledRuleKeys.end()));
    m_defaults.set("includeAggressive", m_includeAggressive);
    m_defaults.set("cleanupPreset", std::string(rawValue(m_cleanupPreset)));
    m_defaults.set("cleanupAction", std::string(rawValue(m_cleanupAction)));
    m_defaults.set("minimumSizePreset", std::string(rawValue(m_minimumSizePreset)));
    m_defaults.set("sortMode", std::string(rawValue(m_sortMode)));
    m_defaults.set("excludedPaths", std::vector<std::string>(m_excludedPaths.begin(), m_excludedPaths.end()));
    m_defaults.set("analyticsOptIn", m_analyticsOptIn);
    m_defaults.set("automaticUpdateChecksEnabled", m_automaticUpdateChecksEnabled);
    m_defaults.set("cleanupHistory", PreferenceData{encodeCleanupHistory(m_cleanupHistory)});
    m_defaults.set("statsStartedAt", m_cleanupStats.startedAt);
    m_defaults.set("statsCleanedBytes", m_cleanupStats.cleanedBytes);
    m_defaults.set("statsCleanedFolders", m_cleanupStats.cleanedFolders);
    m_defaults.set("statsMovedToTrashBytes", m_cleanupStats.movedToTrashBytes);
    m_defaults.set("statsPermanentlyDeletedBytes", m_cleanupStats.permanentlyDeletedBytes);
    m_defaults.set("statsCleanupRuns", m_cleanupStats.cleanupRuns);
    if (m_cleanupStats.lastCleanupAt) {
        m_defaults.set("statsLastCleanupAt", *m_cleanupStats.lastCleanupAt);
    } else {
        m_defaults.remove("statsLastCleanupAt");
    }
}

// Persisted setters: store, announce a change, save at once.
#define TARNWICK_PERSISTED_SETTER(Name, member, Type, signal)                                                          \
    void AppState::Name(Type value)                                                                                    \
    {                                                                                                                  \
        const bool changed = !(member == value);                                                                       \
        member = std::move(value);                                                                                     \
        if (changed) {                                                                                                 \
            emit signal();                                                                                             \
        }                                                                                                              \
        savePreferences();                                                                                             \
    }

TARNWICK_PERSISTED_SETTER(setRoots, m_roots, std::vector<std::string>, rootsChanged)
TARNWICK_PERSISTED_SETTER(setEnabledRuleKeys, m_enabledRuleKeys, std::set<std::string>, enabledRuleKeysChanged)
TARNWICK_PERSISTED_SETTER(setCleanupPreset, m_cleanupPreset, CleanupPreset, cleanupPresetChanged)
TARNWICK_PERSISTED_SETTER(setMinimumSizePreset, m_minimumSizePreset, SizePreset, minimumSizePresetChanged)
TARNWICK_PERSISTED_SETTER(setCleanupStats, m_cleanupStats, CleanupStats, cleanupStatsChanged)
TARNWICK_PERSISTED_SETTER(setCleanupHistory, m_cleanupHistory, std::vector<CleanupHistoryEntry>, cleanupHistoryChanged)
TARNWICK_PERSISTED_SETTER(setExcludedPaths, m_excludedPaths, std::set<std::string>, excludedPathsChanged)
TARNWICK_PERSISTED_SETTER(setAutomaticUpdateChecksEnabled, m_automaticUpdateChecksEnabled, bool,
                          automaticUpdateChecksEnabledChanged)
#undef TARNWICK_PERSISTED_SETTER

void AppState::setSortMode(CandidateSortMode mode)
{
    const bool changed = m_sortMode != mode;
    m_sortMode = mode;
    if (changed) {
        invalidateDisplayedCandidates();
        emit sortModeChanged();
    }
    savePreferences();
}

void AppState::setIncludeAggressive(bool include)
{
    const bool changed = m_includeAggressive != include;
    m_includeAggressive = include;
    if (changed) {
        emit includeAggressiveChanged();
    }
    savePreferences();
    if (include) {
        track(AnalyticsEvent::extraFolderTypesEnabled);
    }
}

void AppState::setCleanupAction(CleanupAction action)
{
    const bool changed = m_cleanupAction != action;
    m_cleanupAction = action;
    if (changed) {
        emit cleanupActionChanged();
    }
    savePreferences();
    track(AnalyticsEvent::cleanupMethodChanged, {{"cleanup_method", methodValue(action)}});
}

void AppState::setAnalyticsOptIn(bool optIn)
{
    const bool changed = m_analyticsOptIn != optIn;
    m_analyticsOptIn = optIn;
    if (changed) {
        emit analyticsOptInChanged();
    }
    savePreferences();
    rebuildAnalyticsClient();
    if (optIn) {
        track(AnalyticsEvent::analyticsEnabled);
    }
}

void AppState::track(AnalyticsEvent event, AnalyticsProperties properties)
{
    if (!m_analyticsOptIn) {
        return;
    }
    properties["app_version"] = m_environment.version.empty() ? "unknown" : m_environment.version;
    properties["macos_major_version"] = operatingSystemMajorVersion();
    m_analyticsClient->track(event, properties);
}

void AppState::rebuildAnalyticsClient()
{
    m_analyticsClient = makeAnalyticsClient(m_analyticsOptIn, m_environment.analyticsEndpoint, m_network);
}

void AppState::setStatusMessage(std::string message)
{
    if (m_statusMessage != message) {
        m_statusMessage = std::move(message);
        emit statusMessageChanged();
    }
}

void AppState::setUpdateCheckState(UpdateCheckState state)
{
    if (!(m_updateCheckState == state)) {
        m_updateCheckState = std::move(state);
        emit updateCheckStateChanged();
    }
}

void AppState::checkForUpdates(bool manual)
{
    const std::string version = m_environment.version.empty() ? "0.0.0" : m_environment.version;
    setUpdateCheckState({UpdateCheckPhase::checking, "Checking for updates", "", std::nullopt});
    QPointer<AppState> self(this);
    m_updateChecker->check(version, [self, manual](UpdateCheckState result) {
        // Hop through the event loop so the result always arrives as its own main-thread event, and
        // is dropped if the state has gone away by then.
        QMetaObject::invokeMethod(
            qApp,
            [self, manual, result = std::move(result)] {
                if (!self) {
                    return;
                }
                self->setUpdateCheckState(result);
                self->track(AnalyticsEvent::updateCheckCompleted,
                            {{"result", std::string(rawValue(result.phase))}, {"manual", manual ? "true" : "false"}});
            },
            Qt::QueuedConnection);
    });
}

void AppState::openLatestDownload()
{
    if (m_environment.desktopShell == nullptr) {
        return;
    }
    if (m_updateCheckState.downloadURL) {
        m_environment.desktopShell->openURL(QUrl(QString::fromStdString(*m_updateCheckState.downloadURL)));
    } else {
        m_environment.desktopShell->openURL(m_environment.downloadPageURL);
    }
}

} // namespace tarnwick
