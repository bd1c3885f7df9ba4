#pragma once

#include "app/ReviewOptions.h"
#include "engine/CleanupCandidate.h"

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

// Stable-sorts into the order of candidateOrderedBefore. Paths and rule keys are collated once each
// rather than once per comparison, which is what makes a list of 100,000 quick to sort.
void sortCandidates(std::vector<const CleanupCandidate *> &candidates, CandidateSortMode mode);
void sortCandidates(std::vector<CleanupCandidate> &candidates, CandidateSortMode mode);

}  // namespace tarnwick
