// The review list: what is shown, in which order, what is selected and kept.

#include "app/AppState.h"
#include "app/CandidateOrdering.h"
#include "app/DesktopShell.h"
#include "core/NaturalOrder.h"
#include "core/SaturatingAdd.h"
#include "engine/CleanupRules.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string_view>
#include <unicode/uchar.h>
#include <unicode/utf8.h>

namespace tarnwick {

namespace {

// The search text without the white space and line breaks around it (Unicode White_Space, so a
// pasted no-break space counts too). Ill-formed bytes are kept as text.
std::string_view trimmedQuery(std::string_view text)
{
    const auto length = static_cast<int32_t>(std::min<std::size_t>(text.size(), INT32_MAX));
    int32_t first = -1;
    int32_t end = 0;
    for (int32_t i = 0; i < length;) {
        const int32_t start = i;
        UChar32 c = 0;
        U8_NEXT(text.data(), i, length, c);
        if (c < 0 || !u_isUWhiteSpace(c)) {
            if (first < 0) {
                first = start;
            }
            end = i;
        }
    }
    if (first < 0) {
        return {};
    }
    return text.substr(static_cast<std::size_t>(first), static_cast<std::size_t>(end - first));
}

bool matchesQuery(const CleanupCandidate &candidate, const std::optional<CaselessNeedle> &query)
{
    return !query || query->foundIn(candidate.path) || query->foundIn(candidate.key) ||
           query->foundIn(candidate.category) || query->foundIn(candidate.description);
}

// The selection as a flat hash table of views, made per read. Looking 100,000 ids up in the
// ordered set costs a chain of string comparisons and cache misses each; this costs one probe and
// no allocation per id, which more than pays for building it.
class IDLookup {
public:
    IDLookup() = default;
    explicit IDLookup(const std::set<std::string> &ids)
    {
        std::size_t capacity = 16;
        while (capacity < ids.size() * 2) {
            capacity *= 2;
        }
        m_mask = capacity - 1;
        m_slots.resize(capacity);  // an empty slot has no data pointer; an empty id does
        for (const auto &id : ids) {
            std::size_t slot = home(id);
            while (m_slots[slot].data() != nullptr) {
                slot = (slot + 1) & m_mask;
            }
            m_slots[slot] = id;
        }
    }

    bool contains(std::string_view id) const
    {
        for (std::size_t slot = home(id);; slot = (slot + 1) & m_mask) {
            if (m_slots[slot].data() == nullptr) {
                return false;
            }
            if (m_slots[slot] == id) {
                return true;
            }
        }
    }

private:
    std::size_t home(std::string_view id) const { return std::hash<std::string_view>{}(id) & m_mask; }

    std::vector<std::string_view> m_slots = std::vector<std::string_view>(1);
    std::size_t m_mask = 0;
};

}  // namespace

void AppState::invalidateDisplayedCandidates()
{
    m_displayedRowsValid = false;
    m_displayedValid = false;
}

// Kept until an input changes: the filter, the search text, the sort mode, whether a scan runs, the
// candidates, and the selection while the filter looks at it. Each of their setters invalidates.
const std::vector<const CleanupCandidate *> &AppState::displayedRows() const
{
    if (m_displayedRowsValid) {
        return m_displayedRows;
    }
    const std::string_view trimmed = trimmedQuery(m_searchText);
    const auto query = trimmed.empty() ? std::nullopt : std::optional<CaselessNeedle>(trimmed);
    IDLookup selected;
    if (m_reviewFilter != ReviewFilter::all) {
        selected = IDLookup(m_selectedCandidateIDs);
    }
    const bool keepSelected = m_reviewFilter == ReviewFilter::selected;
    m_displayedRows.clear();
    m_displayedRows.reserve(m_candidates.size());
    for (const auto &candidate : m_candidates) {
        const bool filterKeeps =
            m_reviewFilter == ReviewFilter::all || selected.contains(candidate.id) == keepSelected;
        if (filterKeeps && matchesQuery(candidate, query)) {
            m_displayedRows.push_back(&candidate);
        }
    }
    // While scanning, rows stay in the order found so the list does not jump under the user. A
    // filtered list keeps the candidates' relative order, so one already in order needs no sort.
    if (!m_isScanning && m_candidatesOrder != m_sortMode) {
        if (!m_candidateSortKeysValid) {
            std::vector<const CleanupCandidate *> all;
            all.reserve(m_candidates.size());
            for (const auto &candidate : m_candidates) {
                all.push_back(&candidate);
            }
            m_pathSortKeys.addMissing(all);
            m_candidateSortKeys.clear();
            for (const auto &candidate : m_candidates) {
                m_candidateSortKeys.push_back(m_pathSortKeys.find(candidate.id));
            }
            m_candidateSortKeysValid = true;
        }
        const CleanupCandidate *first = m_candidates.data();
        sortCandidates(m_displayedRows, m_sortMode, [this, first](const CleanupCandidate &candidate) -> const std::string & {
            return *m_candidateSortKeys[static_cast<std::size_t>(&candidate - first)];
        });
    }
    m_displayedRowsValid = true;
    return m_displayedRows;
}

const std::vector<CleanupCandidate> &AppState::displayedCandidates() const
{
    if (m_displayedValid) {
        return m_displayed;
    }
    const auto &rows = displayedRows();
    // Assigning over the previous rows reuses their strings' storage: far fewer allocations than
    // building the list afresh, which matters at 100,000 rows.
    m_displayed.resize(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        m_displayed[i] = *rows[i];
    }
    m_displayedValid = true;
    return m_displayed;
}

AppState::SelectionTotals AppState::selectionTotals() const
{
    if (m_selectionTotals) {
        return *m_selectionTotals;
    }
    SelectionTotals totals;
    if (!m_selectedCandidateIDs.empty()) {
        const IDLookup selected(m_selectedCandidateIDs);
        for (const auto &candidate : m_candidates) {
            if (selected.contains(candidate.id)) {
                ++totals.count;
                totals.bytes = saturatingAdd(totals.bytes, candidate.size);
            }
        }
    }
    m_selectionTotals = totals;
    return totals;
}

std::optional<CleanupCandidate> AppState::focusedCandidate() const
{
    if (m_focusedCandidateID) {
        if (const auto found = m_candidateIndex.find(*m_focusedCandidateID); found != m_candidateIndex.end()) {
            return m_candidates[found->second];
        }
    }
    // Exactly one selected candidate: ids in the selection that are not candidates do not count.
    const CleanupCandidate *onlySelected = nullptr;
    for (const auto &id : m_selectedCandidateIDs) {
        if (const auto found = m_candidateIndex.find(id); found != m_candidateIndex.end()) {
            if (onlySelected != nullptr) {
                onlySelected = nullptr;
                break;
            }
            onlySelected = &m_candidates[found->second];
        }
    }
    if (onlySelected != nullptr) {
        return *onlySelected;
    }
    const auto &shown = displayedRows();
    if (shown.empty()) {
        return std::nullopt;
    }
    return *shown.front();
}

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
    auto keys = m_enabledRuleKeys;
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
    // In place: copying a selection of 100,000 ids for one click would stall the window.
    const bool changed = selected ? m_selectedCandidateIDs.insert(id).second : m_selectedCandidateIDs.erase(id) > 0;
    if (!changed) {
        return;
    }
    m_selectionEditedWhileScanning = m_selectionEditedWhileScanning || m_isScanning;
    const auto found = m_candidateIndex.find(id);
    const int64_t size = found == m_candidateIndex.end() ? 0 : m_candidates[found->second].size;
    const int64_t count = found == m_candidateIndex.end() ? 0 : 1;
    selectionEdited(selected ? SelectionTotals{count, size} : SelectionTotals{-count, -size});
}

void AppState::toggleCandidateSelection(const std::string &id)
{
    setCandidate(id, !m_selectedCandidateIDs.contains(id));
}

void AppState::selectAllCandidates()
{
    // Inserting ids in their set's order, each at the end, costs no search, and the totals of
    // everything are known without a lookup per candidate: both count at 100,000 candidates.
    std::vector<const std::string *> sorted;
    sorted.reserve(m_candidates.size());
    for (const auto &candidate : m_candidates) {
        sorted.push_back(&candidate.id);
    }
    std::sort(sorted.begin(), sorted.end(), [](const std::string *a, const std::string *b) { return *a < *b; });
    std::set<std::string> ids;
    for (const std::string *id : sorted) {
        ids.emplace_hint(ids.end(), *id);
    }
    setSelectedCandidateIDs(std::move(ids), SelectionTotals{static_cast<int64_t>(m_candidates.size()), totalSize()});
}

void AppState::clearSelection()
{
    setSelectedCandidateIDs({}, SelectionTotals{});
}

void AppState::exclude(const CleanupCandidate &candidate)
{
    // The caller may hand in a row of the displayed list or of the candidates, both of which change
    // below; take what is needed first.
    const std::string id = candidate.id;
    const std::string path = candidate.path;
    auto excluded = m_excludedPaths;
    excluded.insert(path);
    setExcludedPaths(std::move(excluded));

    auto remaining = std::move(m_candidates);
    std::erase_if(remaining, [&id](const CleanupCandidate &each) { return each.id == id; });
    setCandidates(std::move(remaining));
    auto selection = m_selectedCandidateIDs;
    selection.erase(id);
    setSelectedCandidateIDs(std::move(selection));

    if (m_focusedCandidateID == id) {
        const auto &shown = displayedRows();
        setFocusedCandidateID(shown.empty() ? std::nullopt : std::optional<std::string>(shown.front()->id));
    }
    setStatusMessage("Added to Always Keep.");
}

void AppState::removeExcludedPath(const std::string &path)
{
    auto excluded = m_excludedPaths;
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
    if (m_reviewFilter == filter) {
        return;
    }
    m_reviewFilter = filter;
    invalidateDisplayedCandidates();
    emit reviewFilterChanged();
}

void AppState::setSearchText(std::string text)
{
    if (m_searchText == text) {
        return;
    }
    m_searchText = std::move(text);
    invalidateDisplayedCandidates();
    emit searchTextChanged();
}

void AppState::setFocusedCandidateID(std::optional<std::string> id)
{
    if (m_focusedCandidateID == id) {
        return;
    }
    m_focusedCandidateID = std::move(id);
    emit focusedCandidateIDChanged();
}

}  // namespace tarnwick
