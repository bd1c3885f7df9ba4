// The review list's operations: the folder types, the selection, Always Keep and the list's view
// settings. The list itself, with its order, search and caches, is the ReviewList.

#include "app/AppState.h"
#include "app/DesktopShell.h"
#include "engine/CleanupRules.h"

namespace tarnwick {

void AppState::applyPreset(CleanupPreset preset)
{
    setCleanupPreset(preset);
    if (preset == CleanupPreset::custom) {
        setStatusMessage("Custom folder type selection.");
        return;
    }
    setEnabledRuleKeys(CleanupRules::keys(preset));
    setIncludeAggressive(CleanupRules::includesAggressive(preset));
    setStatusMessage(std::string(title(preset)) + " preset selected.");
}

void AppState::setRule(const std::string &key, bool enabled)
{
    auto keys = m_settings.enabledRuleKeys;
    if (enabled) {
        keys.insert(key);
    } else {
        keys.erase(key);
    }
    setEnabledRuleKeys(std::move(keys));
    setCleanupPreset(CleanupPreset::custom);
}

void AppState::setIncludeAggressiveByHand(bool include)
{
    setIncludeAggressive(include);
    setCleanupPreset(CleanupPreset::custom);
}

void AppState::setCandidate(const std::string &id, bool selected)
{
    if (m_review.setSelected(id, selected)) {
        emit selectedCandidateIDsChanged();
    }
}

void AppState::toggleCandidateSelection(const std::string &id)
{
    setCandidate(id, !m_review.selection().contains(id));
}

void AppState::selectAllCandidates()
{
    if (m_review.selectAll()) {
        emit selectedCandidateIDsChanged();
    }
}

void AppState::clearSelection()
{
    if (m_review.clearSelection()) {
        emit selectedCandidateIDsChanged();
    }
}

void AppState::exclude(const CleanupCandidate &candidate)
{
    // The caller may hand in a row of the displayed list or of the candidates, both of which change
    // below; take what is needed first.
    const std::string id = candidate.id;
    auto excluded = m_settings.excludedPaths;
    excluded.insert(candidate.path);
    setExcludedPaths(std::move(excluded));
    announce(m_review.remove({id}));
    setStatusMessage("Added to Always Keep.");
}

void AppState::removeExcludedPath(const std::string &path)
{
    auto excluded = m_settings.excludedPaths;
    excluded.erase(path);
    setExcludedPaths(std::move(excluded));
    setStatusMessage("Removed from Always Keep.");
}

void AppState::copyPath(const CleanupCandidate &candidate)
{
    // Without a desktop there is no clipboard, and claiming a copy would be untrue.
    if (m_environment.desktopShell == nullptr) {
        return;
    }
    m_environment.desktopShell->copyToClipboard(candidate.path);
    setStatusMessage("Copied path.");
}

void AppState::setReviewFilter(ReviewFilter filter)
{
    if (m_review.setFilter(filter)) {
        emit reviewFilterChanged();
    }
}

void AppState::setSearchText(std::string text)
{
    if (m_review.setSearchText(std::move(text))) {
        emit searchTextChanged();
    }
}

void AppState::setFocusedCandidateID(std::optional<std::string> id)
{
    if (m_review.setFocusedID(std::move(id))) {
        emit focusedCandidateIDChanged();
    }
}

}  // namespace tarnwick
