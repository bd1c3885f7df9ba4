#pragma once

#include "app/CandidateOrdering.h"
#include "app/CandidateSelection.h"
#include "app/ReviewOptions.h"
#include "engine/CleanupCandidate.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

namespace tarnwick {

// How many candidates are selected and their total size; ids that name no candidate do not count.
struct SelectionTotals {
    int64_t count = 0;
    int64_t bytes = 0;
    bool operator==(const SelectionTotals &) const = default;
};

// What a change of the review list changed, so its owner can announce exactly that.
struct ReviewChanges {
    bool candidates = false;
    bool selection = false;
    bool focus = false;
};

// The review list of a classic scan: the candidates, the selection, the focus, and the rows shown
// for a filter, a search text and a sort order. Plain C++, single-threaded; the application state
// owns one and announces its changes.
//
// The rows are a definition kept in a cache: every change of an input drops it, and it is made
// again on the next read. So are the selection's totals and the path collation keys, which are
// made once per path (mostly on the scan's thread, see finishedScan) so that sorting 100,000
// candidates again in another order costs byte comparisons only.
class ReviewList {
public:
    ReviewList();
    ReviewList(const ReviewList &) = delete;
    ReviewList &operator=(const ReviewList &) = delete;

    const ReviewCandidates &candidates() const { return m_candidates; }
    const CandidateSelection &selection() const { return m_selection; }
    const std::optional<std::string> &focusedID() const { return m_focusedID; }
    ReviewFilter filter() const { return m_filter; }
    const std::string &searchText() const { return m_searchText; }
    CandidateSortMode sortMode() const { return m_sortMode; }
    bool isScanning() const { return m_scanning; }

    // The rows shown: the candidates the filter and the search keep, in the sort order, or in the
    // order found while a scan runs. The pointers and the reference stay valid until the next change.
    const std::vector<const CleanupCandidate *> &rows() const;
    // The same rows as copies, for callers that keep the list.
    const std::vector<CleanupCandidate> &rowCopies() const;
    // The focused candidate; else the only selected one; else the first row.
    std::optional<CleanupCandidate> focusedCandidate() const;
    SelectionTotals selectionTotals() const;
    int64_t totalSize() const;
    // In list order.
    std::vector<CleanupCandidate> selectedCandidates() const;
    const CleanupCandidate *find(const std::string &id) const;

    // Each returns whether the value changed.
    bool setFilter(ReviewFilter filter);
    bool setSearchText(std::string text);
    bool setSortMode(CandidateSortMode mode);
    bool setFocusedID(std::optional<std::string> id);
    bool setScanning(bool scanning);

    // Selection; each returns whether the selection changed. The id is not checked against the
    // candidates.
    bool setSelected(const std::string &id, bool selected);
    bool selectAll();
    bool clearSelection();

    // A new scan: no candidates, nothing selected; the focus stays.
    ReviewChanges clear();
    // One candidate found while scanning, selected at once; false for a repeat.
    bool addLive(CleanupCandidate candidate);

    // What the scan's thread prepares from the scanner's final list, so that the main thread only
    // swaps it in: the list itself with each id's position, the final order as positions in the
    // live list (which holds the same candidates; it carries the selection's flags over), the path
    // keys and, by position in the final order, pointers to them. Building any of it on the main
    // thread stalled the window for hundreds of milliseconds at the end of a large scan.
    struct FinishedScan {
        // The list in its final order, allocated in that order (so every pass over it reads memory
        // in order), and each id's position in it. Empty when the live list cannot be matched.
        ReviewCandidates candidates;
        std::unordered_map<std::string, std::size_t> positions;
        std::vector<uint32_t> liveOrder;
        std::optional<std::string> largest;  // the scanner's first, found first among equals
        PathSortKeys pathSortKeys;
        std::vector<const std::string *> sortKeys;
    };
    // On the scan's thread. `livePosition` gives each id's position in the live list.
    static FinishedScan finishedScan(std::vector<CleanupCandidate> result,
                                     const std::unordered_map<std::string, uint32_t> &livePosition);
    // The end of a scan: the final list in place of the live one, every candidate selected. The
    // live list and its positions are left in `finished`, for the caller to free where freeing a
    // hundred thousand candidates does not hold up the window.
    ReviewChanges finishScan(FinishedScan &finished);

    // Takes these candidates off the list and out of the selection; a focus on one of them moves
    // to the first row left, or to none.
    ReviewChanges remove(const std::set<std::string> &ids);

private:
    void dropRows();
    void dropTotals() { m_totals.reset(); }
    void rebuildPositions();
    void selectFlag(std::size_t position, bool selected);

    // In one block whenever no scan is running (see setScanning), so a sort can find a row's
    // position from its address.
    ReviewCandidates m_candidates;
    // The position of each id in m_candidates: repeats and candidates by id in constant time.
    std::unordered_map<std::string, std::size_t> m_positions;
    CandidateSelection m_selection;
    std::optional<std::string> m_focusedID;
    ReviewFilter m_filter = ReviewFilter::all;
    std::string m_searchText;
    CandidateSortMode m_sortMode = CandidateSortMode::largest;
    bool m_scanning = false;
    // Whether the selection was changed by hand while a scan added to it.
    bool m_selectionEditedWhileScanning = false;
    // Set when m_candidates is known to be in this order already, so a read after the scan need
    // not sort again what the scan's thread sorted.
    std::optional<CandidateSortMode> m_candidatesOrder;

    // Caches, each made again on the next read after a change that could alter it.
    mutable std::optional<SelectionTotals> m_totals;
    mutable std::vector<const CleanupCandidate *> m_rows;
    mutable bool m_rowsValid = false;
    mutable std::vector<CleanupCandidate> m_rowCopies;
    mutable bool m_rowCopiesValid = false;
    mutable PathSortKeys m_pathSortKeys;
    // The keys by position in m_candidates, so a sort finds them without hashing.
    mutable std::vector<const std::string *> m_sortKeys;
    mutable bool m_sortKeysValid = false;
};

}  // namespace tarnwick
