#include "app/ReviewList.h"

#include "core/NaturalOrder.h"
#include "core/SaturatingAdd.h"

#include <algorithm>
#include <limits>
#include <string_view>
#include <unicode/uchar.h>
#include <unicode/utf8.h>
#include <unordered_set>
#include <utility>

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

// A total held at a limit no longer undoes exactly when the same folder is unselected again.
bool atLimit(int64_t bytes)
{
    return bytes == std::numeric_limits<int64_t>::max() || bytes == std::numeric_limits<int64_t>::min();
}

}  // namespace

bool CandidateSelection::contains(const std::string &id) const
{
    const auto found = m_positions.find(id);
    return found != m_positions.end() ? m_flags[found->second] != 0 : m_strays.contains(id);
}

std::set<std::string> CandidateSelection::ids() const
{
    std::set<std::string> ids = m_strays;
    for (std::size_t i = 0; i < m_flags.size(); ++i) {
        if (m_flags[i] != 0) {
            ids.insert(m_candidates[i].id);
        }
    }
    return ids;
}

ReviewList::ReviewList() : m_selection(m_candidates, m_positions) {}

const std::vector<const CleanupCandidate *> &ReviewList::rows() const
{
    if (m_rowsValid) {
        return m_rows;
    }
    const std::string_view trimmed = trimmedQuery(m_searchText);
    const auto query = trimmed.empty() ? std::nullopt : std::optional<CaselessNeedle>(trimmed);
    const bool keepSelected = m_filter == ReviewFilter::selected;
    m_rows.clear();
    m_rows.reserve(m_candidates.size());
    for (std::size_t i = 0; i < m_candidates.size(); ++i) {
        const bool filterKeeps = m_filter == ReviewFilter::all || m_selection.isSelectedAt(i) == keepSelected;
        if (filterKeeps && matchesQuery(m_candidates[i], query)) {
            m_rows.push_back(&m_candidates[i]);
        }
    }
    // While scanning, rows stay in the order found so the list does not jump under the user. A
    // filtered list keeps the candidates' relative order, so one already in order needs no sort.
    if (!m_scanning && m_candidatesOrder != m_sortMode) {
        if (!m_sortKeysValid) {
            std::vector<const CleanupCandidate *> all;
            all.reserve(m_candidates.size());
            for (const auto &candidate : m_candidates) {
                all.push_back(&candidate);
            }
            m_pathSortKeys.addMissing(all);
            m_sortKeys.clear();
            for (const auto &candidate : m_candidates) {
                m_sortKeys.push_back(m_pathSortKeys.find(candidate.id));
            }
            m_sortKeysValid = true;
        }
        const CleanupCandidate *first = m_candidates.data();
        sortCandidates(m_rows, m_sortMode, [this, first](const CleanupCandidate &candidate) -> const std::string & {
            return *m_sortKeys[static_cast<std::size_t>(&candidate - first)];
        });
    }
    m_rowsValid = true;
    return m_rows;
}

const std::vector<CleanupCandidate> &ReviewList::rowCopies() const
{
    if (m_rowCopiesValid) {
        return m_rowCopies;
    }
    const auto &shown = rows();
    // Assigning over the previous rows reuses their strings' storage: far fewer allocations than
    // building the list afresh, which matters at 100,000 rows.
    m_rowCopies.resize(shown.size());
    for (std::size_t i = 0; i < shown.size(); ++i) {
        m_rowCopies[i] = *shown[i];
    }
    m_rowCopiesValid = true;
    return m_rowCopies;
}

std::optional<CleanupCandidate> ReviewList::focusedCandidate() const
{
    if (m_focusedID) {
        if (const CleanupCandidate *focused = find(*m_focusedID)) {
            return *focused;
        }
    }
    if (m_selection.candidateCount() == 1) {
        const auto &flags = m_selection.m_flags;
        const auto only = std::find(flags.begin(), flags.end(), uint8_t{1});
        return m_candidates[static_cast<std::size_t>(only - flags.begin())];
    }
    const auto &shown = rows();
    if (shown.empty()) {
        return std::nullopt;
    }
    return *shown.front();
}

SelectionTotals ReviewList::selectionTotals() const
{
    if (m_totals) {
        return *m_totals;
    }
    SelectionTotals totals;
    for (std::size_t i = 0; i < m_candidates.size(); ++i) {
        if (m_selection.isSelectedAt(i)) {
            ++totals.count;
            totals.bytes = saturatingAdd(totals.bytes, m_candidates[i].size);
        }
    }
    m_totals = totals;
    return totals;
}

int64_t ReviewList::totalSize() const
{
    int64_t total = 0;
    for (const auto &candidate : m_candidates) {
        total = saturatingAdd(total, candidate.size);
    }
    return total;
}

std::vector<CleanupCandidate> ReviewList::selectedCandidates() const
{
    std::vector<CleanupCandidate> selected;
    for (std::size_t i = 0; i < m_candidates.size(); ++i) {
        if (m_selection.isSelectedAt(i)) {
            selected.push_back(m_candidates[i]);
        }
    }
    return selected;
}

const CleanupCandidate *ReviewList::find(const std::string &id) const
{
    const auto found = m_positions.find(id);
    return found == m_positions.end() ? nullptr : &m_candidates[found->second];
}

bool ReviewList::setFilter(ReviewFilter filter)
{
    if (m_filter == filter) {
        return false;
    }
    m_filter = filter;
    dropRows();
    return true;
}

bool ReviewList::setSearchText(std::string text)
{
    if (m_searchText == text) {
        return false;
    }
    m_searchText = std::move(text);
    dropRows();
    return true;
}

bool ReviewList::setSortMode(CandidateSortMode mode)
{
    if (m_sortMode == mode) {
        return false;
    }
    m_sortMode = mode;
    dropRows();
    return true;
}

bool ReviewList::setFocusedID(std::optional<std::string> id)
{
    if (m_focusedID == id) {
        return false;
    }
    m_focusedID = std::move(id);
    return true;
}

bool ReviewList::setScanning(bool scanning)
{
    if (m_scanning == scanning) {
        return false;
    }
    m_scanning = scanning;
    if (!scanning) {
        // A finished scan has made the list afresh in one block already; a cancelled or failed one
        // leaves the blocks it grew in.
        m_candidates.compact();
    }
    dropRows();  // the list is unsorted while scanning
    return true;
}

bool ReviewList::setSelected(const std::string &id, bool selected)
{
    const auto found = m_positions.find(id);
    if (found == m_positions.end()) {
        return selected ? m_selection.m_strays.insert(id).second : m_selection.m_strays.erase(id) > 0;
    }
    if (m_selection.isSelectedAt(found->second) == selected) {
        return false;
    }
    m_selectionEditedWhileScanning = m_selectionEditedWhileScanning || m_scanning;
    selectFlag(found->second, selected);
    return true;
}

bool ReviewList::selectAll()
{
    const bool changed = m_selection.m_flagged != m_candidates.size() || !m_selection.m_strays.empty();
    if (!changed) {
        return false;
    }
    m_selectionEditedWhileScanning = m_selectionEditedWhileScanning || m_scanning;
    std::fill(m_selection.m_flags.begin(), m_selection.m_flags.end(), uint8_t{1});
    m_selection.m_flagged = m_candidates.size();
    m_selection.m_strays.clear();
    m_totals = SelectionTotals{static_cast<int64_t>(m_candidates.size()), totalSize()};
    if (m_filter != ReviewFilter::all) {
        dropRows();
    }
    return true;
}

bool ReviewList::clearSelection()
{
    if (m_selection.empty()) {
        return false;
    }
    m_selectionEditedWhileScanning = m_selectionEditedWhileScanning || m_scanning;
    std::fill(m_selection.m_flags.begin(), m_selection.m_flags.end(), uint8_t{0});
    m_selection.m_flagged = 0;
    m_selection.m_strays.clear();
    m_totals = SelectionTotals{};
    if (m_filter != ReviewFilter::all) {
        dropRows();
    }
    return true;
}

ReviewChanges ReviewList::clear()
{
    ReviewChanges changes;
    changes.candidates = !m_candidates.empty();
    changes.selection = !m_selection.empty();
    m_candidates.clear();
    m_positions.clear();
    m_selection.m_flags.clear();
    m_selection.m_flagged = 0;
    m_selection.m_strays.clear();
    m_selectionEditedWhileScanning = false;
    m_candidatesOrder.reset();
    m_pathSortKeys.clear();
    m_sortKeysValid = false;
    m_totals = SelectionTotals{};
    dropRows();
    return changes;
}

bool ReviewList::addLive(CleanupCandidate candidate)
{
    if (!m_scanning || !m_positions.emplace(candidate.id, m_candidates.size()).second) {
        return false;
    }
    // An id selected ahead of its candidate becomes the candidate's flag.
    m_selection.m_strays.erase(candidate.id);
    // In place: copying the list or the selection per candidate would make a long scan quadratic.
    m_candidates.push_back(std::move(candidate));
    m_selection.m_flags.push_back(0);
    m_sortKeysValid = false;
    m_candidatesOrder.reset();
    selectFlag(m_candidates.size() - 1, true);
    dropRows();
    return true;
}

ReviewList::FinishedScan ReviewList::finishedScan(std::vector<CleanupCandidate> result,
                                                  const std::unordered_map<std::string, uint32_t> &livePosition)
{
    FinishedScan finished;
    if (!result.empty()) {
        finished.largest = result.front().id;
    }
    std::unordered_set<std::string_view> seen;
    std::erase_if(result, [&seen](const CleanupCandidate &candidate) { return !seen.insert(candidate.id).second; });
    // Every path gets its key here, so no later sort of the list makes one on the main thread.
    std::vector<const CleanupCandidate *> all;
    all.reserve(result.size());
    for (const auto &candidate : result) {
        all.push_back(&candidate);
    }
    finished.pathSortKeys.addMissing(all);
    sortCandidates(result, CandidateSortMode::largest, finished.pathSortKeys);
    finished.liveOrder.reserve(result.size());
    finished.sortKeys.reserve(result.size());
    for (const auto &candidate : result) {
        const auto position = livePosition.find(candidate.id);
        if (position == livePosition.end()) {
            // Not handed over live (never expected); the main thread then sorts what it has.
            finished.liveOrder.clear();
            finished.sortKeys.clear();
            break;
        }
        finished.liveOrder.push_back(position->second);
        finished.sortKeys.push_back(finished.pathSortKeys.find(candidate.id));
    }
    if (finished.liveOrder.empty()) {
        return finished;
    }
    // Copied, not moved: the candidates' strings were allocated as the walk found them, and moving
    // would leave them scattered in the final order. Allocated afresh in list order, every pass
    // over the list (each search, filter and count) reads memory in order; a search of 100,000
    // candidates takes half the time. Made here, so the main thread only swaps the list in.
    finished.candidates.reserve(result.size());
    finished.positions.reserve(result.size());
    for (const auto &candidate : result) {
        finished.positions.emplace(candidate.id, finished.candidates.size());
        finished.candidates.push_back(candidate);
    }
    return finished;
}

ReviewChanges ReviewList::finishScan(FinishedScan &finished)
{
    ReviewChanges changes;
    changes.candidates = true;
    // Every live candidate was taken in and none removed meanwhile, so the order covers the live
    // list exactly; when that does not hold, the live list stays and is sorted when first read.
    if (!finished.liveOrder.empty() && finished.liveOrder.size() == m_candidates.size()) {
        std::vector<uint8_t> flags;
        flags.reserve(finished.liveOrder.size());
        for (const uint32_t position : finished.liveOrder) {
            flags.push_back(m_selection.m_flags[position]);
        }
        // The final list holds the same candidates as the live one (the same ids, each once), so
        // it takes the live one's place with its positions as they were made on the scan's thread.
        std::swap(m_candidates, finished.candidates);
        std::swap(m_positions, finished.positions);
        m_selection.m_flags = std::move(flags);
        m_sortKeys = std::move(finished.sortKeys);
        m_sortKeysValid = true;
        m_candidatesOrder = CandidateSortMode::largest;
    } else {
        m_sortKeysValid = false;
    }
    m_pathSortKeys = std::move(finished.pathSortKeys);
    // Every candidate ends up selected. The live candidates were selected as they came, so unless
    // the selection was edited meanwhile it already is.
    if (m_selectionEditedWhileScanning || !m_selection.m_strays.empty()) {
        changes.selection = selectAll();
        m_selectionEditedWhileScanning = false;
    } else {
        m_totals = SelectionTotals{static_cast<int64_t>(m_candidates.size()), totalSize()};
    }
    dropRows();
    return changes;
}

ReviewChanges ReviewList::remove(const std::set<std::string> &ids)
{
    ReviewChanges changes;
    std::size_t kept = 0;
    for (std::size_t i = 0; i < m_candidates.size(); ++i) {
        if (ids.contains(m_candidates[i].id)) {
            changes.candidates = true;
            if (m_selection.m_flags[i] != 0) {
                changes.selection = true;
                --m_selection.m_flagged;
            }
            continue;
        }
        if (kept != i) {
            m_candidates[kept] = std::move(m_candidates[i]);
            m_selection.m_flags[kept] = m_selection.m_flags[i];
            if (m_sortKeysValid) {
                m_sortKeys[kept] = m_sortKeys[i];
            }
        }
        ++kept;
    }
    for (const auto &id : ids) {
        changes.selection = m_selection.m_strays.erase(id) > 0 || changes.selection;
    }
    if (changes.candidates) {
        // What is left keeps its relative order, so a list that was in some order still is.
        m_candidates.truncate(kept);
        m_selection.m_flags.resize(kept);
        if (m_sortKeysValid) {
            m_sortKeys.resize(kept);
        }
        rebuildPositions();
        dropTotals();
        dropRows();
    }
    if (m_focusedID && ids.contains(*m_focusedID)) {
        const auto &shown = rows();
        m_focusedID = shown.empty() ? std::nullopt : std::optional<std::string>(shown.front()->id);
        changes.focus = true;
    }
    return changes;
}

void ReviewList::dropRows()
{
    m_rowsValid = false;
    m_rowCopiesValid = false;
}

void ReviewList::rebuildPositions()
{
    m_positions.clear();
    m_positions.reserve(m_candidates.size());
    for (std::size_t i = 0; i < m_candidates.size(); ++i) {
        m_positions.emplace(m_candidates[i].id, i);
    }
}

void ReviewList::selectFlag(std::size_t position, bool selected)
{
    m_selection.m_flags[position] = selected ? 1 : 0;
    if (selected) {
        ++m_selection.m_flagged;
    } else {
        --m_selection.m_flagged;
    }
    if (m_totals) {
        const int64_t sign = selected ? 1 : -1;
        m_totals->count = saturatingAdd(m_totals->count, sign);
        m_totals->bytes = saturatingAdd(m_totals->bytes, sign * m_candidates[position].size);
        if (atLimit(m_totals->bytes)) {
            m_totals.reset();  // counted afresh on the next read
        }
    }
    if (m_filter != ReviewFilter::all) {
        dropRows();
    }
}

}  // namespace tarnwick
