#pragma once

#include "app/BackgroundRun.h"
#include "app/SuperCleanLiveList.h"
#include "core/SuperCleanCompletionReport.h"
#include "core/SuperCleanPhase.h"
#include "core/SuperCleanScopeGroup.h"
#include "engine/DeleteProgress.h"
#include "engine/DeleteResult.h"
#include "engine/ScanProgress.h"
#include "engine/SuperCleanAnalysis.h"
#include "engine/SuperCleanItem.h"
#include "engine/SuperCleanResult.h"

#include <QObject>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace tarnwick {

// The controller of the guided cleanup: the locations to analyze, the scan that finds, judges and
// lists folders while it runs, the review, and the cleaning that moves the selected items to the
// Trash after checking that each is still the folder that was reviewed.
//
// It lives on the main thread. Its properties are plain values with a getter and one signal each,
// named after the property; every change happens on the main thread and is announced at once. Its
// long operations run on the background runs' pool and exclude one another: while isBusy(), every
// operation that changes the scopes, the items or the selection does nothing. Destroying it cancels
// them and waits for their workers; a cleaning's moves are journaled on its own thread, so what it
// moved is on record even then.
class SuperCleanCoordinator : public QObject {
    Q_OBJECT
public:
    using CompletionHandler = std::function<void(const SuperCleanCompletionReport &)>;

    // `homeFolder` is where the standard locations are looked for and whose volume's free space is
    // measured around a cleaning.
    explicit SuperCleanCoordinator(std::string homeFolder, QObject *parent = nullptr);
    ~SuperCleanCoordinator() override;

    // Published state.
    SuperCleanPhase phase() const { return m_phase; }
    const std::vector<SuperCleanScopeGroup> &scopeGroups() const { return m_scopeGroups; }
    // In review order: recommended, review, advanced; larger first; then by path. Kept in that order
    // while a scan adds items.
    const std::vector<SuperCleanItem> &items() const { return m_items.items(); }
    // What a view of a running scan needs without reading the whole list: how many items there
    // are and the first few in review order.
    std::size_t itemCount() const { return m_analyzed ? m_analyzed->count : m_items.size(); }
    const std::vector<SuperCleanItem> &leadingItems() const
    {
        return m_analyzed ? m_analyzed->leading : m_items.leading();
    }
    const std::set<std::string> &selectedItemIDs() const { return m_selectedItemIDs; }
    const std::optional<std::string> &focusedItemID() const { return m_focusedItemID; }
    const ScanProgress &scanProgress() const { return m_scanProgress; }
    const DeleteProgress &deleteProgress() const { return m_deleteProgress; }
    const std::optional<SuperCleanResult> &result() const { return m_result; }
    bool isConfirmationPresented() const { return m_isConfirmationPresented; }
    const std::string &statusMessage() const { return m_statusMessage; }
    // The Always Keep paths the next scan leaves out and marks.
    const std::set<std::string> &excludedPaths() const { return m_excludedPaths; }

    // Derived from the published state on every call.
    bool isBusy() const;
    std::vector<SuperCleanItem> selectedItems() const;  // in list order
    std::optional<SuperCleanItem> focusedItem() const;
    int64_t foundBytes() const;                         // all listed items
    int64_t selectedBytes() const;
    int64_t recommendedCount() const;
    int64_t reviewCount() const;
    int64_t advancedCount() const;

    // Starts a guided session afresh: cancels running work, takes the Always Keep paths, clears the
    // items, the selection and the result, and offers the default locations: `existingRoots` (the
    // application's scan roots, whether or not they exist) and the standard developer locations.
    void prepare(const std::vector<std::string> &existingRoots, std::set<std::string> excludedPaths);
    // Asks the running scan or cleaning to stop after its current folder; it reports its own end.
    void cancel();

    // Scopes.
    void toggleRoot(const std::string &id);
    // Folders the user picked; only existing folders are added, each location once.
    void addManualRoots(const std::vector<std::string> &paths);

    // Scans the selected existing locations with every rule. Items appear, judged and sorted, while
    // the scan runs; at its end only recommended items are selected.
    void startScan();

    // Review.
    void setItem(const std::string &id, bool selected);
    void setFocusedItemID(std::optional<std::string> id);
    void setConfirmationPresented(bool presented);
    // Leaves the item alone from now on: its path joins the Always Keep paths and it leaves the list.
    // The window adds the path to the application's own Always Keep list too (AppState::exclude).
    void markAlwaysKeep(const SuperCleanItem &item);

    // Moves the selected items to the Trash, each re-validated against its snapshot right before.
    // At the end the journal has a line per moved item, `result` is published, the completion
    // handler is called (before moved and vanished items leave the list), and the status line
    // carries the report's summary.
    void cleanSelected();

    // Called on the main thread with the report of every cleaning that ends.
    void setOnCompleted(CompletionHandler handler) { m_onCompleted = std::move(handler); }


signals:
    void phaseChanged();
    void scopeGroupsChanged();
    void itemsChanged();
    void selectedItemIDsChanged();
    void focusedItemIDChanged();
    void scanProgressChanged();
    void deleteProgressChanged();
    void resultChanged();
    void isConfirmationPresentedChanged();
    void statusMessageChanged();

private:
    template <typename Value>
    void publish(Value &member, Value value, void (SuperCleanCoordinator::*changed)());
    void setPhase(SuperCleanPhase phase);
    void setScopeGroups(std::vector<SuperCleanScopeGroup> groups);
    void setItems(std::vector<SuperCleanItem> items);
    void setSelectedItemIDs(std::set<std::string> ids);
    void setScanProgress(ScanProgress progress);
    void setDeleteProgress(DeleteProgress progress);
    void setResult(std::optional<SuperCleanResult> result);
    void setStatusMessage(std::string message);
    int64_t countOf(SuperCleanTier tier) const;
    // Keeps the focus on a listed item: the first one when the focused item has left the list.
    void refocus();

    std::vector<SuperCleanScopeGroup> defaultScopeGroups(const std::vector<std::string> &existingRoots) const;

    void addLiveItem(SuperCleanItem item);
    struct FinishedScan;
    void finishScan(FinishedScan finished);
    void finishAnalysis(std::vector<SuperCleanItem> items);
    struct ScanEnd;
    void endScan(ScanEnd end);
    struct FinishedCleaning;
    void finishCleaning(FinishedCleaning finished);

    const std::string m_homeFolder;

    SuperCleanPhase m_phase = SuperCleanPhase::idle;
    std::vector<SuperCleanScopeGroup> m_scopeGroups;
    SuperCleanLiveList m_items;
    // While the finished scan's items are put in order on the pool: what the scan's view showed.
    struct AnalyzedSoFar {
        std::size_t count = 0;
        std::vector<SuperCleanItem> leading;
    };
    std::optional<AnalyzedSoFar> m_analyzed;
    std::set<std::string> m_selectedItemIDs;
    std::optional<std::string> m_focusedItemID;
    ScanProgress m_scanProgress;
    DeleteProgress m_deleteProgress;
    std::optional<SuperCleanResult> m_result;
    bool m_isConfirmationPresented = false;
    std::string m_statusMessage = "Ready";

    std::set<std::string> m_excludedPaths;
    CompletionHandler m_onCompleted;

    // Last, so that they are destroyed first. prepare replaces both: reports of work it cancelled
    // are dropped instead of landing in the next session's list.
    BackgroundRun<SuperCleanCoordinator> m_scanRun{this, "superCleanScan"};
    BackgroundRun<SuperCleanCoordinator> m_cleaningRun{this, "superCleanCleaning"};
};

}  // namespace tarnwick
