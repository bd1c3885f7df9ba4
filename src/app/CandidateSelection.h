#pragma once

#include "core/ChunkedVector.h"
#include "engine/CleanupCandidate.h"

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

namespace tarnwick {

// The review list's candidates: a scan appends a hundred thousand of them one at a time while the
// window reads them, so the list grows without moving what it holds.
using ReviewCandidates = ChunkedVector<CleanupCandidate>;

// The selected candidate ids. A set of ids, held as one flag per candidate of the review list it
// belongs to plus the ids that name no candidate (an id may be selected before, or without, its
// candidate). Selecting everything, one checkbox and a "selected" filter then cost a flag each,
// with no hashing of ids; contains() costs one lookup of the id's position.
class CandidateSelection {
public:
    bool contains(const std::string &id) const;
    bool empty() const { return m_flagged == 0 && m_strays.empty(); }
    std::size_t size() const { return m_flagged + m_strays.size(); }
    // The ids as a set, in the set's order; a copy, for callers that keep it.
    std::set<std::string> ids() const;
    bool operator==(const std::set<std::string> &ids) const { return this->ids() == ids; }

    // By position in the list's candidates.
    bool isSelectedAt(std::size_t position) const { return m_flags[position] != 0; }
    // How many candidates (not stray ids) are selected.
    std::size_t candidateCount() const { return m_flagged; }

private:
    friend class ReviewList;
    CandidateSelection(const ReviewCandidates &candidates,
                       const std::unordered_map<std::string, std::size_t> &positions)
        : m_candidates(candidates), m_positions(positions)
    {
    }

    const ReviewCandidates &m_candidates;
    const std::unordered_map<std::string, std::size_t> &m_positions;
    std::vector<uint8_t> m_flags;  // parallel to the candidates
    std::size_t m_flagged = 0;
    std::set<std::string> m_strays;
};

}  // namespace tarnwick
