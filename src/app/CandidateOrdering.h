#pragma once

#include "app/ReviewOptions.h"
#include "engine/CleanupCandidate.h"

#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

// The orders of the review list. Paths and rule keys compare in the one natural order
// (core/NaturalOrder): case ignored, runs of digits by value.
namespace tarnwick {

// Whether `a` goes before `b` under `mode`; a strict weak order, meant for a stable sort:
// - largest / smallest: by size, equal sizes by path;
// - target: equal rule keys (exactly equal) by path, otherwise by rule key;
// - lastModified: older first, undated after every dated one, equal dates or two undated by path;
// - path: by path.
bool candidateOrderedBefore(const CleanupCandidate &a, const CleanupCandidate &b, CandidateSortMode mode);

// Natural-order keys of candidate paths, kept by id (which is the path, so a key never goes
// stale). Making a key is what costs in a sort; a list that is sorted again and again, one sort mode
// after another, pays for each path once. Keys can be made on a worker thread and handed over.
class PathSortKeys {
public:
    // Makes the keys of the candidates that have none yet, on all cores.
    void addMissing(const std::vector<const CleanupCandidate *> &candidates);
    const std::string *find(const std::string &id) const;
    std::size_t size() const { return m_keys.size(); }
    void clear() { m_keys.clear(); }

private:
    std::unordered_map<std::string, std::string> m_keys;
};

// Stable-sorts into the order of candidateOrderedBefore. Paths and rule keys are collated once each
// rather than once per comparison, which is what makes a list of 100,000 quick to sort.
void sortCandidates(std::vector<const CleanupCandidate *> &candidates, CandidateSortMode mode);
void sortCandidates(std::vector<CleanupCandidate> &candidates, CandidateSortMode mode);
// The same, taking path keys from `keys` and adding those it lacks.
void sortCandidates(std::vector<CleanupCandidate> &candidates, CandidateSortMode mode, PathSortKeys &keys);
// The same with every key already made: `keyOf` gives the key of any candidate of the list (a
// caller that keeps keys beside its list finds them without hashing 100,000 paths per sort).
using PathKeyLookup = std::function<const std::string &(const CleanupCandidate &)>;
void sortCandidates(std::vector<const CleanupCandidate *> &candidates, CandidateSortMode mode,
                    const PathKeyLookup &keyOf);

}  // namespace tarnwick
