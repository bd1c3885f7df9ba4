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

// Runs make(k) for every k below count, spread over the cores. Collation dominates the cost of
// sorting a long list and each key stands alone, so keys are made in parallel; the threads write
// disjoint elements and are joined before any key is read.
template <typename Make>
void inParallel(std::size_t count, const Make &make)
{
    constexpr std::size_t kLeastPerThread = 2048;
    const std::size_t cores = std::clamp<std::size_t>(std::thread::hardware_concurrency(), 1, 8);
    const std::size_t parts = std::min(cores, count / kLeastPerThread + 1);
    const auto makePart = [&](std::size_t part) {
        const std::size_t end = count * (part + 1) / parts;
        for (std::size_t k = count * part / parts; k < end; ++k) {
            make(k);
        }
    };
    std::vector<std::jthread> helpers;  // joined when this returns, also if it throws
    for (std::size_t part = 1; part < parts; ++part) {
        helpers.emplace_back(makePart, part);
    }
    makePart(0);
}

// Keys for one sort only: they all leave out the shared root of the paths, so they are shorter and
// quicker to make, but only comparable with each other.
void makePathKeys(const std::vector<const CleanupCandidate *> &items, const std::vector<std::size_t> &wanted,
                  std::vector<std::string> &keys)
{
    std::vector<std::string_view> paths;
    paths.reserve(wanted.size());
    for (const std::size_t i : wanted) {
        paths.push_back(items[i]->path);
    }
    const std::size_t shared = naturalOrderSharedPrefix(paths);
    inParallel(wanted.size(), [&](std::size_t k) { keys[wanted[k]] = naturalSortKey(paths[k].substr(shared)); });
}

// One position of the list as the sort sees it, in one contiguous array: the criterion the mode
// compares first, then the path key. Paths are only compared between candidates whose first
// criterion ties, so only those get a key; and since the keys of one list share a long head (the
// scan's root), the eight bytes after that head are kept inline and decide most comparisons
// without touching the key itself.
struct SortEntry {
    int64_t first = 0;
    uint64_t keyHead = 0;
    const std::string *key = nullptr;
    uint32_t position = 0;
};

class SortEntries {
public:
    // Keys come from `keyOf` when given, else from `cache` (made where missing), else are made
    // for this sort only.
    SortEntries(const std::vector<const CleanupCandidate *> &items, CandidateSortMode mode, PathSortKeys *cache,
                const PathKeyLookup *keyOf)
        : m_items(items), m_mode(mode)
    {
        if (mode == CandidateSortMode::target) {
            rankRuleKeys();
        }
        m_entries.resize(items.size());
        for (std::size_t i = 0; i < items.size(); ++i) {
            m_entries[i].first = firstCriterion(i);
            m_entries[i].position = static_cast<uint32_t>(i);
        }
        attachKeys(tiedPositions(), cache, keyOf);
    }

    std::vector<std::size_t> stableOrder()
    {
        const bool descending = m_mode == CandidateSortMode::largest;
        std::stable_sort(m_entries.begin(), m_entries.end(), [descending](const SortEntry &a, const SortEntry &b) {
            if (a.first != b.first) {
                return descending ? a.first > b.first : a.first < b.first;
            }
            if (a.keyHead != b.keyHead) {
                return a.keyHead < b.keyHead;
            }
            return a.key && b.key && *a.key < *b.key;
        });
        std::vector<std::size_t> order;
        order.reserve(m_entries.size());
        for (const auto &entry : m_entries) {
            order.push_back(entry.position);
        }
        return order;
    }

private:
    // The value the mode compares before the path; equal values mean the path decides. Undated
    // candidates share a value after every date, so they follow the dated ones.
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
                                        : std::numeric_limits<int64_t>::max();
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
        for (const auto &entry : m_entries) {
            ++counts[entry.first];
        }
        std::vector<std::size_t> tied;
        for (std::size_t i = 0; i < m_entries.size(); ++i) {
            if (counts[m_entries[i].first] > 1) {
                tied.push_back(i);
            }
        }
        return tied;
    }

    void attachKeys(const std::vector<std::size_t> &tied, PathSortKeys *cache, const PathKeyLookup *keyOf)
    {
        if (tied.empty()) {
            return;
        }
        if (keyOf) {
            for (const std::size_t i : tied) {
                m_entries[i].key = &(*keyOf)(*m_items[i]);
            }
        } else if (cache) {
            std::vector<const CleanupCandidate *> tiedItems;
            tiedItems.reserve(tied.size());
            for (const std::size_t i : tied) {
                tiedItems.push_back(m_items[i]);
            }
            cache->addMissing(tiedItems);
            for (const std::size_t i : tied) {
                m_entries[i].key = cache->find(m_items[i]->id);
            }
        } else {
            m_ownKeys.resize(m_items.size());
            makePathKeys(m_items, tied, m_ownKeys);
            for (const std::size_t i : tied) {
                m_entries[i].key = &m_ownKeys[i];
            }
        }
        std::string_view shared = *m_entries[tied.front()].key;
        for (const std::size_t i : tied) {
            const std::string &key = *m_entries[i].key;
            const auto end = std::mismatch(shared.begin(), shared.end(), key.begin(), key.end()).first;
            shared = shared.substr(0, static_cast<std::size_t>(end - shared.begin()));
        }
        for (const std::size_t i : tied) {
            const std::string &key = *m_entries[i].key;
            uint64_t head = 0;
            for (std::size_t k = 0; k < 8; ++k) {
                const std::size_t at = shared.size() + k;
                head = head << 8 | (at < key.size() ? static_cast<uint8_t>(key[at]) : 0u);
            }
            m_entries[i].keyHead = head;
        }
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
    std::vector<SortEntry> m_entries;
    std::vector<std::string> m_ownKeys;
    std::vector<uint32_t> m_ruleKeyRanks;
};

// The positions of `items` in sorted order.
std::vector<std::size_t> stableOrder(const std::vector<const CleanupCandidate *> &items, CandidateSortMode mode,
                                     PathSortKeys *cache = nullptr, const PathKeyLookup *keyOf = nullptr)
{
    return SortEntries(items, mode, cache, keyOf).stableOrder();
}

// Applies a sorted order to a list of candidates or of pointers to them.
template <typename Item>
void applyOrder(std::vector<Item> &list, const std::vector<std::size_t> &order)
{
    std::vector<Item> sorted;
    sorted.reserve(list.size());
    for (const std::size_t i : order) {
        sorted.push_back(std::move(list[i]));
    }
    list = std::move(sorted);
}

std::vector<const CleanupCandidate *> pointersTo(const std::vector<CleanupCandidate> &candidates)
{
    std::vector<const CleanupCandidate *> pointers;
    pointers.reserve(candidates.size());
    for (const auto &candidate : candidates) {
        pointers.push_back(&candidate);
    }
    return pointers;
}

}  // namespace

void PathSortKeys::addMissing(const std::vector<const CleanupCandidate *> &candidates)
{
    std::vector<const CleanupCandidate *> missing;
    for (const auto *candidate : candidates) {
        if (!m_keys.contains(candidate->id)) {
            missing.push_back(candidate);
        }
    }
    std::vector<std::string> made(missing.size());
    inParallel(missing.size(), [&](std::size_t k) { made[k] = naturalSortKey(missing[k]->path); });
    m_keys.reserve(m_keys.size() + missing.size());
    for (std::size_t k = 0; k < missing.size(); ++k) {
        m_keys.try_emplace(missing[k]->id, std::move(made[k]));
    }
}

const std::string *PathSortKeys::find(const std::string &id) const
{
    const auto found = m_keys.find(id);
    return found == m_keys.end() ? nullptr : &found->second;
}

void sortCandidates(std::vector<const CleanupCandidate *> &candidates, CandidateSortMode mode)
{
    applyOrder(candidates, stableOrder(candidates, mode, nullptr));
}

void sortCandidates(std::vector<CleanupCandidate> &candidates, CandidateSortMode mode)
{
    applyOrder(candidates, stableOrder(pointersTo(candidates), mode, nullptr));
}

void sortCandidates(std::vector<const CleanupCandidate *> &candidates, CandidateSortMode mode,
                    const PathKeyLookup &keyOf)
{
    applyOrder(candidates, stableOrder(candidates, mode, nullptr, &keyOf));
}

void sortCandidates(std::vector<CleanupCandidate> &candidates, CandidateSortMode mode, PathSortKeys &keys)
{
    applyOrder(candidates, stableOrder(pointersTo(candidates), mode, &keys));
}

}  // namespace tarnwick
