#pragma once

#include "app/AnalyticsClient.h"
#include "app/AnalyticsEvent.h"
#include "app/AppRecords.h"
#include "app/AppSettings.h"
#include "app/BackgroundRun.h"
#include "app/CleanupHistoryEntry.h"
#include "app/CleanupStats.h"
#include "app/PreferencesStore.h"
#include "app/ReviewList.h"
#include "app/ReviewOptions.h"
#include "app/RunOutcome.h"
#include "app/UpdateChecker.h"
#include "core/SuperCleanCompletionReport.h"
#include "engine/CleanupAction.h"
#include "engine/CleanupFailure.h"
#include "engine/CleanupPreset.h"
#include "engine/DeleteProgress.h"
#include "engine/DeleteResult.h"
#include "engine/ScanProgress.h"

#include <QObject>
#include <QUrl>

#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

class QNetworkAccessManager;

namespace tarnwick {

class DesktopShell;
class PutBackController;
class SuperCleanCoordinator;

// What the application state takes from the build and the machine. Tests replace any of it.
struct AppEnvironment {
    std::string version;            // the running version; empty when unknown
    std::string analyticsEndpoint;  // where opted-in events go; empty for none
    QUrl updateFeedURL;
    QUrl downloadPageURL;
    std::string homeFolder;
    DesktopShell *desktopShell = nullptr;

    // The build's settings and this user's home folder.
    static AppEnvironment standard();
};

// The one controller of the main window. It owns the settings, the scan roots, the results, the
// selection, the cleanup runs, the statistics and the history, and keeps what must survive a
// restart in the preferences store. It lives on the main thread; every change happens there and is
// announced by the signal named after the property.
//
// A facade over its parts: the stored settings (AppSettings), the review list (ReviewList) and one
// BackgroundRun per kind of work. Destroying it stops all work: a scan is cancelled, a running tool
// is terminated, and a cleanup finishes the folder in progress and is recorded, as a cancelled
// run, in the history and the statistics before the destructor returns.
class AppState : public QObject {
    Q_OBJECT
public:
    explicit AppState(PreferencesStore &defaults, AppEnvironment environment = AppEnvironment::standard(),
                      QObject *parent = nullptr);
    ~AppState() override;

    // Persisted settings.
    const std::vector<std::string> &roots() const { return m_settings.roots; }
    const std::set<std::string> &enabledRuleKeys() const { return m_settings.enabledRuleKeys; }
    bool includeAggressive() const { return m_settings.includeAggressive; }
    CleanupPreset cleanupPreset() const { return m_settings.cleanupPreset; }
    CleanupAction cleanupAction() const { return m_settings.cleanupAction; }
    SizePreset minimumSizePreset() const { return m_settings.minimumSizePreset; }
    CandidateSortMode sortMode() const { return m_review.sortMode(); }
    const CleanupStats &cleanupStats() const { return m_settings.cleanupStats; }
    const std::vector<CleanupHistoryEntry> &cleanupHistory() const { return m_settings.cleanupHistory; }
    const std::set<std::string> &excludedPaths() const { return m_settings.excludedPaths; }
    bool analyticsOptIn() const { return m_settings.analyticsOptIn; }
    bool automaticUpdateChecksEnabled() const { return m_settings.automaticUpdateChecksEnabled; }

    // Each setter saves the preferences: the store takes the values at once and writes its file
    // once per turn of the event loop, off the main thread.
    void setRoots(std::vector<std::string> roots);
    void setEnabledRuleKeys(std::set<std::string> keys);
    void setIncludeAggressive(bool include);
    void setCleanupPreset(CleanupPreset preset);
    void setCleanupAction(CleanupAction action);
    void setMinimumSizePreset(SizePreset preset);
    void setSortMode(CandidateSortMode mode);
    void setCleanupStats(CleanupStats stats);
    void setCleanupHistory(std::vector<CleanupHistoryEntry> history);
    void setExcludedPaths(std::set<std::string> paths);
    void setAnalyticsOptIn(bool optIn);
    void setAutomaticUpdateChecksEnabled(bool enabled);

    // Session state.
    ReviewFilter reviewFilter() const { return m_review.filter(); }
    const std::string &searchText() const { return m_review.searchText(); }
    const ReviewCandidates &candidates() const { return m_review.candidates(); }
    const CandidateSelection &selectedCandidateIDs() const { return m_review.selection(); }
    const std::optional<std::string> &focusedCandidateID() const { return m_review.focusedID(); }
    const ScanProgress &scanProgress() const { return m_scanProgress; }
    const DeleteProgress &deleteProgress() const { return m_deleteProgress; }
    const std::vector<CleanupFailure> &failures() const { return m_failures; }
    const std::string &statusMessage() const { return m_statusMessage; }
    // What the status line reports when it tells how the last scan or cleanup ended; none once any
    // other text has replaced it. Views decide what to show from this, never from the text.
    RunOutcome lastOutcome() const { return m_lastOutcome; }
    bool isScanning() const { return m_isScanning; }
    bool isDeleting() const { return m_isDeleting; }
    bool isDeleteConfirmationPresented() const { return m_isDeleteConfirmationPresented; }
    const std::optional<CleanupSummary> &cleanupSummary() const { return m_cleanupSummary; }
    const std::optional<StandardFolderNotice> &standardFolderNotice() const { return m_standardFolderNotice; }
    bool isOnboardingPresented() const { return m_isOnboardingPresented; }
    const UpdateCheckState &updateCheckState() const { return m_updateCheckState; }
    const std::optional<MaintenanceReport> &maintenanceReport() const { return m_maintenanceReport; }
    bool isRunningMaintenance() const { return m_isRunningMaintenance; }
    bool isSuperCleanPresented() const { return m_isSuperCleanPresented; }

    SuperCleanCoordinator &superCleanCoordinator() { return *m_superCleanCoordinator; }
    // Whether the last cleanup can be put back from the Trash, and its outcome when it was.
    PutBackController &putBack() { return *m_putBack; }
    // Puts the last cleanup back and says how that went in the status line.
    void putBackLastCleanup();

    // Hands every persisted property to the store, which writes its file once at the end of the
    // turn, whatever else the turn changed.
    void savePreferences();

    // Update checks: `manual` only tells the analytics event whether the user asked.
    void checkForUpdates(bool manual);
    void openLatestDownload();

    // Scan roots and the standard-folder actions.
    void addRoots(const std::vector<std::string> &paths);
    void removeRoot(const std::string &path);
    void addProjectRoots();
    void addXcodeRoot();
    void addPackageCacheRoots();
    void addHomebrewRoots();
    void addDockerRoots();
    void addRecommendedRoots();
    void dismissStandardFolderNotice();

    // The first-run guide's buttons: remembers that it was seen and hides it. Closing it any other
    // way only hides it (setIsOnboardingPresented), so it shows again at the next start.
    void completeOnboarding();

    // The scan run. Results arrive live on the main thread while it runs.
    void scan();
    void cancelScan();
    int64_t totalSize() const { return m_review.totalSize(); }
    std::vector<CleanupCandidate> selectedCandidates() const { return m_review.selectedCandidates(); }
    // How many candidates are selected and their total size, without copying them; ids in the
    // selection that are not candidates do not count.
    using SelectionTotals = tarnwick::SelectionTotals;
    SelectionTotals selectionTotals() const { return m_review.selectionTotals(); }

    // The review list. The rows point into `candidates()` and stay valid until the next change
    // announced by candidatesChanged, selectedCandidateIDsChanged, searchTextChanged,
    // reviewFilterChanged, sortModeChanged or isScanningChanged; read them again after any of those.
    // Views use the rows; the copy is for callers that keep the list.
    const std::vector<const CleanupCandidate *> &displayedRows() const { return m_review.rows(); }
    const std::vector<CleanupCandidate> &displayedCandidates() const { return m_review.rowCopies(); }
    std::optional<CleanupCandidate> focusedCandidate() const { return m_review.focusedCandidate(); }
    void applyPreset(CleanupPreset preset);
    void setRule(const std::string &key, bool enabled);
    // The extra-types switch of the folder-type settings: also makes the preset custom.
    void setIncludeAggressiveByHand(bool include);
    void setCandidate(const std::string &id, bool selected);
    void toggleCandidateSelection(const std::string &id);
    void selectAllCandidates();
    void clearSelection();
    void exclude(const CleanupCandidate &candidate);
    void removeExcludedPath(const std::string &path);
    void copyPath(const CleanupCandidate &candidate);
    void setReviewFilter(ReviewFilter filter);
    void setSearchText(std::string text);
    void setFocusedCandidateID(std::optional<std::string> id);
    // The sheets the interface presents: "Getting Started" shows onboarding again; closing the
    // Super Clean window hides it.
    void setIsOnboardingPresented(bool presented);
    void setIsSuperCleanPresented(bool presented);

    // The cleanup run.
    void requestDeleteConfirmation();
    void dismissDeleteConfirmation();
    void deleteSelected();
    void cancelCleanup();
    void dismissCleanupSummary();
    // "node_modules - ~/Code/app, target - ~/Code/tool +1 more"
    static std::string folderSummary(const std::vector<CleanupCandidate> &candidates, const std::string &home);
    // The path with this user's home folder shown as "~".
    std::string abbreviatingHome(std::string_view path) const;

    // Developer tools, one at a time.
    void previewHomebrewCleanup();
    void runHomebrewCleanup();
    void previewUnavailableSimulators();
    void deleteUnavailableSimulators();
    void previewDockerUsage();
    void previewColimaUsage();
    void runMaintenanceAction(MaintenanceAction action);
    void dismissMaintenanceReport();

    // Super Clean. Opening prepares the coordinator with the roots and the Always Keep list and shows
    // its window; closing the window cancels the coordinator's work. A guided cleaning reports its end
    // with one analytics event and enters neither the statistics nor the history.
    void startSuperClean();
    void closeSuperClean();

    // Class-level readers used while constructing; public so their fallbacks can be checked alone.
    static std::vector<std::string> savedRoots(const PreferencesStore &defaults, const std::string &home);
    static std::vector<std::string> defaultRoots(const std::string &home);
    static std::set<std::string> savedRuleKeys(const PreferencesStore &defaults, CleanupPreset fallbackPreset);
    static CleanupStats savedCleanupStats(const PreferencesStore &defaults);
    static std::vector<CleanupHistoryEntry> savedCleanupHistory(const PreferencesStore &defaults);
    static int64_t int64(const PreferencesStore &defaults, const std::string &key);

signals:
    void rootsChanged();
    void enabledRuleKeysChanged();
    void includeAggressiveChanged();
    void cleanupPresetChanged();
    void cleanupActionChanged();
    void minimumSizePresetChanged();
    void reviewFilterChanged();
    void sortModeChanged();
    void cleanupStatsChanged();
    void cleanupHistoryChanged();
    void excludedPathsChanged();
    void analyticsOptInChanged();
    void automaticUpdateChecksEnabledChanged();
    void searchTextChanged();
    void candidatesChanged();
    void selectedCandidateIDsChanged();
    void focusedCandidateIDChanged();
    void scanProgressChanged();
    void deleteProgressChanged();
    void failuresChanged();
    void statusMessageChanged();
    void lastOutcomeChanged();
    void isScanningChanged();
    void isDeletingChanged();
    void isDeleteConfirmationPresentedChanged();
    void cleanupSummaryChanged();
    void standardFolderNoticeChanged();
    void isOnboardingPresentedChanged();
    void updateCheckStateChanged();
    void maintenanceReportChanged();
    void isRunningMaintenanceChanged();
    void isSuperCleanPresentedChanged();

private:
    // Session-state setters: each stores and announces a change.
    void announce(const ReviewChanges &changes);
    void setScanProgress(ScanProgress progress);
    void setDeleteProgress(DeleteProgress progress);
    void setFailures(std::vector<CleanupFailure> failures);
    void setIsScanning(bool scanning);
    void setIsDeleting(bool deleting);
    void setCleanupSummary(std::optional<CleanupSummary> summary);
    void setStandardFolderNotice(std::optional<StandardFolderNotice> notice);
    void setMaintenanceReport(std::optional<MaintenanceReport> report);
    void setIsRunningMaintenance(bool running);
    void setReadyStatus();
    // A status text that tells how a scan or a cleanup ended, with that outcome.
    void setStatusMessage(std::string message, RunOutcome outcome);

    void addLiveScanCandidate(CleanupCandidate candidate);
    void finishScan(ReviewList::FinishedScan finished);
    void endScanCancelled();
    void endScanFailed(const std::string &message);
    struct FinishedCleanup;
    void finishCleanup(FinishedCleanup finished);
    void finishMaintenance(MaintenanceReport report);
    void finishUpdateCheck(UpdateCheckState state, bool manual);
    void addExistingStandardRoots(const std::vector<std::string> &homeRelative, const std::string &singular,
                                  const std::string &plural, const std::string &notFoundTitle,
                                  const std::string &notFoundMessage);
    void runMaintenance(const std::string &title, const std::string &tool, const std::vector<std::string> &arguments,
                        std::optional<std::string> primaryActionTitle, std::optional<MaintenanceAction> primaryAction);

    void superCleanCompleted(const SuperCleanCompletionReport &report);

    void track(AnalyticsEvent event, AnalyticsProperties properties = {});
    void rebuildAnalyticsClient();
    void setStatusMessage(std::string message);
    void setUpdateCheckState(UpdateCheckState state);

    PreferencesStore &m_defaults;
    AppEnvironment m_environment;

    AppSettings m_settings;
    ReviewList m_review;
    ScanProgress m_scanProgress;
    DeleteProgress m_deleteProgress;
    std::vector<CleanupFailure> m_failures;
    std::string m_statusMessage;
    RunOutcome m_lastOutcome = RunOutcome::none;
    bool m_isScanning = false;
    bool m_isDeleting = false;
    bool m_isDeleteConfirmationPresented = false;
    std::optional<CleanupSummary> m_cleanupSummary;
    std::optional<StandardFolderNotice> m_standardFolderNotice;
    bool m_isOnboardingPresented = false;
    UpdateCheckState m_updateCheckState = UpdateCheckState::idle();
    std::optional<MaintenanceReport> m_maintenanceReport;
    bool m_isRunningMaintenance = false;
    bool m_isSuperCleanPresented = false;

    SuperCleanCoordinator *m_superCleanCoordinator;
    PutBackController *m_putBack;
    QNetworkAccessManager *m_network;
    std::unique_ptr<AnalyticsClient> m_analyticsClient;
    std::unique_ptr<UpdateChecker> m_updateChecker;
    std::optional<Timestamp> m_scanStartedAt;
    std::optional<Timestamp> m_deleteStartedAt;
    std::optional<Timestamp> m_superCleanStartedAt;

    // Last, so that they are destroyed first: each waits for its worker, which must find nothing
    // of this object gone.
    BackgroundRun<AppState> m_scanRun{this, "scan"};
    BackgroundRun<AppState> m_cleanupRun{this, "cleanup"};
    BackgroundRun<AppState> m_toolRun{this, "maintenance"};
    BackgroundRun<AppState> m_updateRun{this, "updateCheck"};
};

}  // namespace tarnwick
