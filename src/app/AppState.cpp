#include "app/AppState.h"

#include "app/BuildSettings.h"
#include "app/DesktopShell.h"
#include "app/PutBackController.h"
#include "app/SuperCleanCoordinator.h"
#include "platform/UserFolders.h"

#include <QNetworkAccessManager>
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
    : QObject(parent), m_defaults(defaults), m_environment(std::move(environment)),
      m_settings(AppSettings::load(defaults, m_environment.homeFolder)), m_statusMessage("Ready"),
      m_superCleanCoordinator(new SuperCleanCoordinator(m_environment.homeFolder, this)),
      m_putBack(new PutBackController(this)),
      m_network(new QNetworkAccessManager(this)), m_analyticsClient(std::make_unique<NoOpAnalyticsClient>()),
      m_updateChecker(std::make_unique<UpdateChecker>(m_environment.updateFeedURL, m_network))
{
    m_scanProgress.phase = OperationPhase::idle;
    m_scanProgress.message = "Ready";
    m_deleteProgress.phase = OperationPhase::idle;
    m_deleteProgress.message = "Ready";
    m_review.setSortMode(m_settings.sortMode);
    m_statusMessage = m_settings.roots.empty() ? "Choose a folder to scan." : "Ready to scan.";
    m_isOnboardingPresented = !m_settings.hasSeenOnboarding;

    connect(m_superCleanCoordinator, &SuperCleanCoordinator::resultChanged, m_putBack, [this] {
        if (m_superCleanCoordinator->result()) {
            m_putBack->cleanupFinished();
        }
    });

    rebuildAnalyticsClient();
    track(AnalyticsEvent::appOpened);
    if (m_settings.automaticUpdateChecksEnabled) {
        checkForUpdates(false);
    }
}

AppState::~AppState()
{
    // A cleanup stops after the folder in progress, and what it did is recorded like any cancelled
    // run, while everything it records into still exists. A scan or a tool run has nothing to
    // record: their runs cancel (the tool is terminated) and wait when they are destroyed below.
    m_cleanupRun.cancelAndDrain();
    m_defaults.flush();
}

std::vector<std::string> AppState::savedRoots(const PreferencesStore &defaults, const std::string &home)
{
    return AppSettings::load(defaults, home).roots;
}

std::vector<std::string> AppState::defaultRoots(const std::string &home)
{
    return AppSettings::defaultRoots(home);
}

std::set<std::string> AppState::savedRuleKeys(const PreferencesStore &defaults, CleanupPreset fallbackPreset)
{
    return AppSettings::load(defaults, {}, fallbackPreset).enabledRuleKeys;
}

CleanupStats AppState::savedCleanupStats(const PreferencesStore &defaults)
{
    return AppSettings::load(defaults, {}).cleanupStats;
}

std::vector<CleanupHistoryEntry> AppState::savedCleanupHistory(const PreferencesStore &defaults)
{
    return AppSettings::load(defaults, {}).cleanupHistory;
}

int64_t AppState::int64(const PreferencesStore &defaults, const std::string &key)
{
    // Only a stored number counts; a string of digits is not one.
    return defaults.integer(key);
}

void AppState::completeOnboarding()
{
    m_settings.hasSeenOnboarding = true;
    m_settings.saveOnboarding(m_defaults);
    setIsOnboardingPresented(false);
}

void AppState::savePreferences()
{
    m_settings.sortMode = m_review.sortMode();
    m_settings.save(m_defaults);
}

// Persisted setters: store, announce a change, save.
#define TARNWICK_PERSISTED_SETTER(Name, member, Type, signal)                                                          \
    void AppState::Name(Type value)                                                                                    \
    {                                                                                                                  \
        const bool changed = !(m_settings.member == value);                                                            \
        m_settings.member = std::move(value);                                                                          \
        if (changed) {                                                                                                 \
            emit signal();                                                                                             \
        }                                                                                                              \
        savePreferences();                                                                                             \
    }

TARNWICK_PERSISTED_SETTER(setRoots, roots, std::vector<std::string>, rootsChanged)
TARNWICK_PERSISTED_SETTER(setEnabledRuleKeys, enabledRuleKeys, std::set<std::string>, enabledRuleKeysChanged)
TARNWICK_PERSISTED_SETTER(setCleanupPreset, cleanupPreset, CleanupPreset, cleanupPresetChanged)
TARNWICK_PERSISTED_SETTER(setMinimumSizePreset, minimumSizePreset, SizePreset, minimumSizePresetChanged)
TARNWICK_PERSISTED_SETTER(setCleanupStats, cleanupStats, CleanupStats, cleanupStatsChanged)
TARNWICK_PERSISTED_SETTER(setCleanupHistory, cleanupHistory, std::vector<CleanupHistoryEntry>, cleanupHistoryChanged)
TARNWICK_PERSISTED_SETTER(setExcludedPaths, excludedPaths, std::set<std::string>, excludedPathsChanged)
TARNWICK_PERSISTED_SETTER(setAutomaticUpdateChecksEnabled, automaticUpdateChecksEnabled, bool,
                          automaticUpdateChecksEnabledChanged)
#undef TARNWICK_PERSISTED_SETTER

void AppState::setSortMode(CandidateSortMode mode)
{
    if (m_review.setSortMode(mode)) {
        emit sortModeChanged();
    }
    savePreferences();
}

void AppState::setIncludeAggressive(bool include)
{
    const bool changed = m_settings.includeAggressive != include;
    m_settings.includeAggressive = include;
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
    const bool changed = m_settings.cleanupAction != action;
    m_settings.cleanupAction = action;
    if (changed) {
        emit cleanupActionChanged();
    }
    savePreferences();
    track(AnalyticsEvent::cleanupMethodChanged, {{"cleanup_method", methodValue(action)}});
}

void AppState::setAnalyticsOptIn(bool optIn)
{
    const bool changed = m_settings.analyticsOptIn != optIn;
    m_settings.analyticsOptIn = optIn;
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
    if (!m_settings.analyticsOptIn) {
        return;
    }
    properties["app_version"] = m_environment.version.empty() ? "unknown" : m_environment.version;
    properties["macos_major_version"] = operatingSystemMajorVersion();
    m_analyticsClient->track(event, properties);
}

void AppState::rebuildAnalyticsClient()
{
    m_analyticsClient = makeAnalyticsClient(m_settings.analyticsOptIn, m_environment.analyticsEndpoint, m_network);
}

void AppState::setStatusMessage(std::string message)
{
    setStatusMessage(std::move(message), RunOutcome::none);
}

void AppState::setStatusMessage(std::string message, RunOutcome outcome)
{
    if (m_statusMessage != message) {
        m_statusMessage = std::move(message);
        emit statusMessageChanged();
    }
    if (m_lastOutcome != outcome) {
        m_lastOutcome = outcome;
        emit lastOutcomeChanged();
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
    // The checker answers later on this thread; the run drops the answer if a newer check began
    // meanwhile or this object is gone.
    m_updateChecker->check(version, [run = m_updateRun.begin(), manual](UpdateCheckState result) {
        run.post(std::move(result), [manual](AppState &state, UpdateCheckState state_) {
            state.finishUpdateCheck(std::move(state_), manual);
        });
    });
}

void AppState::finishUpdateCheck(UpdateCheckState result, bool manual)
{
    setUpdateCheckState(result);
    track(AnalyticsEvent::updateCheckCompleted,
          {{"result", std::string(rawValue(result.phase))}, {"manual", manual ? "true" : "false"}});
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
