#include "app/CandidateOrdering.h"

#include "core/NaturalOrder.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <numeric>
#include <string_view>
#include <thread>
#include <unordered_map>

namespace tarnwick {

bool candidateOrderedBefore(const CleanupCandidate &a, const CleanupCandidate &b, CandidateSortMode mode)
{
    const auto pathBefore = [&] { return naturalCompare(a.path, b.path) < 0; };
    switch (mode) {
    case CandidateSortMode::largest:
        return a.size != b.size ? a.size > b.size : pathBefore();
    case CandidateSortMode::smallest:
        return a.size != b.size ? a.size < b.size : pathBefore();
    case CandidateSortMode::target:
        return a.key == b.key ? pathBefore() : naturalCompare(a.key, b.key) < 0;
    case CandidateSortMode::lastModified:
        if (a.modifiedAt && b.modifiedAt && *a.modifiedAt != *b.modifiedAt) {
            return *a.modifiedAt < *b.modifiedAt;
        }
        if (a.modifiedAt.has_value() != b.modifiedAt.has_value()) {
            return a.modifiedAt.has_value();
        }
        return pathBefore();
    case CandidateSortMode::path:
        return pathBefore();
    }
    return false;
}

namespace {

// Collation dominates the cost of sorting a long list, and each key stands alone, so the keys are
// made on all cores; the threads write disjoint elements and are joined before any key is read.
void makePathKeys(const std::vector<const CleanupCandidate *> &items, const std::vector<std::size_t> &wanted,
                  std::vector<std::string> &keys)
{
    constexpr std::size_t kLeastPerThread = 2048;
    const std::size_t cores = std::clamp<std::size_t>(std::thread::hardware_concurrency(), 1, 8);
    const std::size_t parts = std::min(cores, wanted.size() / kLeastPerThread + 1);
    // Only keys made together are comparable: they all leave out the same shared root.
    std::vector<std::string_view> paths;
    paths.reserve(wanted.size());
    for (const std::size_t i : wanted) {
        paths.push_back(items[i]->path);
    }
    const std::size_t shared = naturalOrderSharedPrefix(paths);
    const auto makePart = [&](std::size_t part) {
        const std::size_t end = wanted.size() * (part + 1) / parts;
        for (std::size_t k = wanted.size() * part / parts; k < end; ++k) {
            keys[wanted[k]] = naturalSortKey(paths[k].substr(shared));
        }
    };
    std::vector<std::jthread> helpers;  // joined when this returns, also if it throws
    for (std::size_t part = 1; part < parts; ++part) {
        helpers.emplace_back(makePart, part);
    }
    makePart(0);
}

// candidateOrderedBefore over positions in a list, with each string collated once. Paths are only
// compared between candidates whose first criterion ties, so only those get a path key: a size
// order with few ties needs almost none. Rule keys are ranked up front; a scan has few of them.
class KeyedOrder {
public:
    KeyedOrder(const std::vector<const CleanupCandidate *> &items, CandidateSortMode mode)
        : m_items(items), m_mode(mode), m_pathKeys(items.size())
    {
        if (mode == CandidateSortMode::target) {
            rankRuleKeys();
        }
        makePathKeys(items, tiedPositions(), m_pathKeys);
    }

    bool before(std::size_t i, std::size_t j) const
    {
        const CleanupCandidate &a = *m_items[i];
        const CleanupCandidate &b = *m_items[j];
        switch (m_mode) {
        case CandidateSortMode::largest:
            return a.size != b.size ? a.size > b.size : pathBefore(i, j);
        case CandidateSortMode::smallest:
            return a.size != b.size ? a.size < b.size : pathBefore(i, j);
        case CandidateSortMode::target:
            // Ranks are equal exactly when the keys are, since the natural order is total.
            return m_ruleKeyRanks[i] != m_ruleKeyRanks[j] ? m_ruleKeyRanks[i] < m_ruleKeyRanks[j] : pathBefore(i, j);
        case CandidateSortMode::lastModified:
            if (a.modifiedAt && b.modifiedAt && *a.modifiedAt != *b.modifiedAt) {
                return *a.modifiedAt < *b.modifiedAt;
            }
            if (a.modifiedAt.has_value() != b.modifiedAt.has_value()) {
                return a.modifiedAt.has_value();
            }
            return pathBefore(i, j);
        case CandidateSortMode::path:
            return pathBefore(i, j);
        }
        return false;
    }

private:
    bool pathBefore(std::size_t i, std::size_t j) const { return m_pathKeys[i] < m_pathKeys[j]; }

    // The value the mode compares before the path; equal values mean the path decides. An undated
    // candidate gets a value no date has, shared by all undated ones.
    int64_t firstCriterion(std::size_t i) const
    {
        const CleanupCandidate &candidate = *m_items[i];
        switch (m_mode) {
        case CandidateSortMode::largest:
        case CandidateSortMode::smallest:
            return candidate.size;
        case CandidateSortMode::target:
            return m_ruleKeyRanks[i];
        case CandidateSortMode::lastModified:
            return candidate.modifiedAt ? candidate.modifiedAt->time_since_epoch().count()
                                        : std::numeric_limits<int64_t>::min();
        case CandidateSortMode::path:
            break;
        }
        return 0;
    }

    std::vector<std::size_t> tiedPositions() const
    {
        if (m_mode == CandidateSortMode::path) {
            std::vector<std::size_t> all(m_items.size());
            std::iota(all.begin(), all.end(), std::size_t{0});
            return all;
        }
        std::unordered_map<int64_t, std::size_t> counts;
        for (std::size_t i = 0; i < m_items.size(); ++i) {
            ++counts[firstCriterion(i)];
        }
        std::vector<std::size_t> tied;
        for (std::size_t i = 0; i < m_items.size(); ++i) {
            if (counts[firstCriterion(i)] > 1) {
                tied.push_back(i);
            }
        }
        return tied;
    }

    void rankRuleKeys()
    {
        std::unordered_map<std::string_view, uint32_t> ranks;
        for (const auto *candidate : m_items) {
            ranks.emplace(candidate->key, 0);
        }
        std::vector<std::string_view> distinct;
        distinct.reserve(ranks.size());
        for (const auto &entry : ranks) {
            distinct.push_back(entry.first);
        }
        std::sort(distinct.begin(), distinct.end(),
                  [](std::string_view a, std::string_view b) { return naturalCompare(a, b) < 0; });
        for (uint32_t rank = 0; rank < distinct.size(); ++rank) {
            ranks[distinct[rank]] = rank;
        }
        m_ruleKeyRanks.reserve(m_items.size());
        for (const auto *candidate : m_items) {
            m_ruleKeyRanks.push_back(ranks[candidate->key]);
        }
    }

    const std::vector<const CleanupCandidate *> &m_items;
    CandidateSortMode m_mode;
    std::vector<std::string> m_pathKeys;
    std::vector<uint32_t> m_ruleKeyRanks;
};

// The positions of `items` in sorted order.
std::vector<std::size_t> stableOrder(const std::vector<const CleanupCandidate *> &items, CandidateSortMode mode)
{
    std::vector<std::size_t> order(items.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    KeyedOrder keys(items, mode);
    std::stable_sort(order.begin(), order.end(), [&keys](std::size_t i, std::size_t j) { return keys.before(i, j); });
    return order;
}

}  // namespace

void sortCandidates(std::vector<const CleanupCandidate *> &candidates, CandidateSortMode mode)
{
    const std::vector<std::size_t> order = stableOrder(candidates, mode);
    std::vector<const CleanupCandidate *> sorted;
    sorted.reserve(candidates.size());
    for (const std::size_t i : order) {
        sorted.push_back(candidates[i]);
    }
    candidates = std::move(sorted);
}

void sortCandidates(std::vector<CleanupCandidate> &candidates, CandidateSortMode mode)
{
    std::vector<const CleanupCandidate *> pointers;
    pointers.reserve(candidates.size());
    for (const auto &candidate : candidates) {
        pointers.push_back(&candidate);
    }
    const std::vector<std::size_t> order = stableOrder(pointers, mode);
    std::vector<CleanupCandidate> sorted;
    sorted.reserve(candidates.size());
    for (const std::size_t i : order) {
        sorted.push_back(std::move(candidates[i]));
    }
    candidates = std::move(sorted);
}

}  // namespace tarnwick
