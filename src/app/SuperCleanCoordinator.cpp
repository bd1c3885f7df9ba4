// The guided cleanup's controller: its published state, preparation, cancellation, the review
// operations and the derived values. The scan and the cleaning live in their own files.

#include "app/SuperCleanCoordinator.h"

#include "core/SaturatingAdd.h"

#include <algorithm>
#include <utility>

namespace tarnwick {

namespace {

ScanProgress readyScanProgress()
{
    ScanProgress progress;
    progress.phase = OperationPhase::idle;
    progress.message = "Ready";
    return progress;
}

DeleteProgress readyDeleteProgress()
{
    DeleteProgress progress;
    progress.phase = OperationPhase::idle;
    progress.message = "Ready";
    return progress;
}

}  // namespace

SuperCleanCoordinator::SuperCleanCoordinator(std::string homeFolder, QObject *parent)
    : QObject(parent),
      m_homeFolder(std::move(homeFolder)),
      m_scanProgress(readyScanProgress()),
      m_deleteProgress(readyDeleteProgress())
{
}

// Work still running is cancelled and waited for by the runs; its reports are dropped, so nothing
// is announced from a coordinator being destroyed.
SuperCleanCoordinator::~SuperCleanCoordinator() = default;

void SuperCleanCoordinator::prepare(const std::vector<std::string> &existingRoots, std::set<std::string> excludedPaths)
{
    cancel();
    // The cancelled work's reports belong to the session that ends here.
    m_scanRun.abandon();
    m_cleaningRun.abandon();
    m_excludedPaths = std::move(excludedPaths);
    setResult(std::nullopt);
    setItems({});
    setSelectedItemIDs({});
    setFocusedItemID(std::nullopt);
    setConfirmationPresented(false);
    setScanProgress(readyScanProgress());
    setDeleteProgress(readyDeleteProgress());
    setPhase(SuperCleanPhase::choosingScope);
    setStatusMessage("Choose what Super Clean should analyze.");
    setScopeGroups(defaultScopeGroups(existingRoots));
}

void SuperCleanCoordinator::cancel()
{
    m_scanRun.cancel();
    m_cleaningRun.cancel();
    if (m_phase == SuperCleanPhase::scanning || m_phase == SuperCleanPhase::cleaning) {
        setStatusMessage("Cancelling after the current item...");
    }
}

bool SuperCleanCoordinator::isBusy() const
{
    return m_phase == SuperCleanPhase::scanning || m_phase == SuperCleanPhase::analyzing ||
           m_phase == SuperCleanPhase::cleaning;
}

std::vector<SuperCleanItem> SuperCleanCoordinator::selectedItems() const
{
    std::vector<SuperCleanItem> selected;
    for (const auto &item : items()) {
        if (m_selectedItemIDs.contains(item.id)) {
            selected.push_back(item);
        }
    }
    return selected;
}

std::optional<SuperCleanItem> SuperCleanCoordinator::focusedItem() const
{
    if (!m_focusedItemID) {
        return std::nullopt;
    }
    const SuperCleanItem *found = m_items.find(*m_focusedItemID);
    return found == nullptr ? std::nullopt : std::optional<SuperCleanItem>(*found);
}

int64_t SuperCleanCoordinator::foundBytes() const
{
    int64_t total = 0;
    for (const auto &item : items()) {
        total = saturatingAdd(total, item.candidate.size);
    }
    return total;
}

int64_t SuperCleanCoordinator::selectedBytes() const
{
    int64_t total = 0;
    for (const auto &item : items()) {
        if (m_selectedItemIDs.contains(item.id)) {
            total = saturatingAdd(total, item.candidate.size);
        }
    }
    return total;
}

int64_t SuperCleanCoordinator::recommendedCount() const
{
    return countOf(SuperCleanTier::recommended);
}

int64_t SuperCleanCoordinator::reviewCount() const
{
    return countOf(SuperCleanTier::review);
}

int64_t SuperCleanCoordinator::advancedCount() const
{
    return countOf(SuperCleanTier::advanced);
}

int64_t SuperCleanCoordinator::countOf(SuperCleanTier tier) const
{
    const auto &listed = items();
    return std::count_if(listed.begin(), listed.end(),
                         [tier](const SuperCleanItem &item) { return item.decision.tier == tier; });
}

void SuperCleanCoordinator::setItem(const std::string &id, bool selected)
{
    if (isBusy()) {
        return;
    }
    const bool listed =
        std::any_of(items().begin(), items().end(), [&id](const SuperCleanItem &item) { return item.id == id; });
    if (!listed) {
        return;
    }
    auto ids = m_selectedItemIDs;
    if (selected) {
        ids.insert(id);
    } else {
        ids.erase(id);
    }
    setSelectedItemIDs(std::move(ids));
}

void SuperCleanCoordinator::markAlwaysKeep(const SuperCleanItem &item)
{
    // A running scan judges with the Always Keep paths it started with and would list the item again.
    if (isBusy()) {
        return;
    }
    // Copied first: callers pass a row of the very list this changes.
    const std::string id = item.id;
    m_excludedPaths.insert(item.candidate.path);
    auto kept = items();
    std::erase_if(kept, [&id](const SuperCleanItem &listed) { return listed.id == id; });
    setItems(std::move(kept));
    auto selected = m_selectedItemIDs;
    selected.erase(id);
    setSelectedItemIDs(std::move(selected));
    refocus();
    setStatusMessage("Added to Always Keep.");
}

void SuperCleanCoordinator::refocus()
{
    if (m_focusedItemID && !focusedItem()) {
        setFocusedItemID(m_items.empty() ? std::nullopt : std::optional<std::string>(items().front().id));
    }
}

// Stores a published value and announces it, only when it changed.
template <typename Value>
void SuperCleanCoordinator::publish(Value &member, Value value, void (SuperCleanCoordinator::*changed)())
{
    if (!(member == value)) {
        member = std::move(value);
        emit(this->*changed)();
    }
}

void SuperCleanCoordinator::setPhase(SuperCleanPhase phase)
{
    publish(m_phase, phase, &SuperCleanCoordinator::phaseChanged);
}

void SuperCleanCoordinator::setScopeGroups(std::vector<SuperCleanScopeGroup> groups)
{
    publish(m_scopeGroups, std::move(groups), &SuperCleanCoordinator::scopeGroupsChanged);
}

void SuperCleanCoordinator::setItems(std::vector<SuperCleanItem> items)
{
    // Replacing the list ends any view of a finished scan's items on their way to review order.
    const bool wasAnalyzing = std::exchange(m_analyzed, std::nullopt).has_value();
    if (wasAnalyzing || m_items.items() != items) {
        m_items.replace(std::move(items));
        emit itemsChanged();
    }
}

void SuperCleanCoordinator::setSelectedItemIDs(std::set<std::string> ids)
{
    publish(m_selectedItemIDs, std::move(ids), &SuperCleanCoordinator::selectedItemIDsChanged);
}

void SuperCleanCoordinator::setFocusedItemID(std::optional<std::string> id)
{
    publish(m_focusedItemID, std::move(id), &SuperCleanCoordinator::focusedItemIDChanged);
}

void SuperCleanCoordinator::setConfirmationPresented(bool presented)
{
    publish(m_isConfirmationPresented, presented, &SuperCleanCoordinator::isConfirmationPresentedChanged);
}

void SuperCleanCoordinator::setScanProgress(ScanProgress progress)
{
    publish(m_scanProgress, std::move(progress), &SuperCleanCoordinator::scanProgressChanged);
}

void SuperCleanCoordinator::setDeleteProgress(DeleteProgress progress)
{
    publish(m_deleteProgress, std::move(progress), &SuperCleanCoordinator::deleteProgressChanged);
}

void SuperCleanCoordinator::setResult(std::optional<SuperCleanResult> result)
{
    publish(m_result, std::move(result), &SuperCleanCoordinator::resultChanged);
}

void SuperCleanCoordinator::setStatusMessage(std::string message)
{
    publish(m_statusMessage, std::move(message), &SuperCleanCoordinator::statusMessageChanged);
}

}  // namespace tarnwick
