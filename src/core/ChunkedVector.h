#pragma once

#include <cassert>
#include <compare>
#include <cstddef>
#include <iterator>
#include <type_traits>
#include <utility>
#include <vector>

namespace tarnwick {

// A sequence with the parts of std::vector's interface a list needs (indexing, random-access
// iteration, appending, shrinking), that grows without ever moving what it holds. A vector that
// outgrows its capacity moves every element into a new block at once: for a hundred thousand
// scan results that is one stall of tens of milliseconds, most of it the first touch of the new
// pages. This one appends blocks of kChunkSize instead.
//
// The first block may be of any size (reserve() on an empty sequence makes it exactly that big),
// so a sequence built at a known size is one contiguous block; isContiguous() says whether it is,
// and compact() makes it so.
template <typename T> class ChunkedVector {
    template <bool Const> class Iterator;

public:
    static constexpr std::size_t kChunkSize = 4096;

    using value_type = T;
    using size_type = std::size_t;
    using difference_type = std::ptrdiff_t;
    using reference = T &;
    using const_reference = const T &;
    using iterator = Iterator<false>;
    using const_iterator = Iterator<true>;

    ChunkedVector() = default;
    // Takes the elements of `block` over, as the first block, without moving any of them.
    explicit ChunkedVector(std::vector<T> block) : m_size(block.size())
    {
        if (!block.empty()) {
            m_chunks.push_back(std::move(block));
        }
    }

    std::size_t size() const { return m_size; }
    bool empty() const { return m_size == 0; }

    T &operator[](std::size_t index) { return locate(*this, index); }
    const T &operator[](std::size_t index) const { return locate(*this, index); }
    T &front() { return (*this)[0]; }
    const T &front() const { return (*this)[0]; }
    T &back() { return (*this)[m_size - 1]; }
    const T &back() const { return (*this)[m_size - 1]; }

    iterator begin() { return iterator(this, 0); }
    iterator end() { return iterator(this, m_size); }
    const_iterator begin() const { return const_iterator(this, 0); }
    const_iterator end() const { return const_iterator(this, m_size); }

    // On an empty sequence: room for `count` elements in one block.
    void reserve(std::size_t count)
    {
        if (m_chunks.empty() && count > 0) {
            m_chunks.emplace_back().reserve(count);
        }
    }

    void push_back(T value)
    {
        if (m_chunks.empty() || isFull(m_chunks.size() - 1)) {
            m_chunks.emplace_back().reserve(kChunkSize);
        }
        m_chunks.back().push_back(std::move(value));
        ++m_size;
    }

    // Drops the elements from `count` on.
    void truncate(std::size_t count)
    {
        while (m_size > count) {
            m_chunks.back().pop_back();
            --m_size;
            if (m_chunks.back().empty()) {
                m_chunks.pop_back();
            }
        }
    }

    void clear()
    {
        m_chunks.clear();
        m_size = 0;
    }

    bool isContiguous() const { return m_chunks.size() <= 1; }
    // The one block's elements; only while isContiguous().
    const T *data() const
    {
        assert(isContiguous());
        return m_chunks.empty() ? nullptr : m_chunks.front().data();
    }
    // Moves everything into one block.
    void compact()
    {
        if (isContiguous()) {
            return;
        }
        std::vector<T> whole;
        whole.reserve(m_size);
        for (auto &chunk : m_chunks) {
            std::move(chunk.begin(), chunk.end(), std::back_inserter(whole));
        }
        m_chunks.clear();
        m_chunks.push_back(std::move(whole));
    }

private:
    // Every block but the last is full: the first at its capacity, the others at kChunkSize. So an
    // index past the first block falls in block 1 + (index - first) / kChunkSize.
    bool isFull(std::size_t chunk) const
    {
        const auto &block = m_chunks[chunk];
        return chunk == 0 ? block.size() == block.capacity() : block.size() == kChunkSize;
    }

    template <typename Self> static auto &locate(Self &self, std::size_t index)
    {
        assert(index < self.m_size);
        const std::size_t first = self.m_chunks.front().size();
        if (index < first) {
            return self.m_chunks.front()[index];
        }
        const std::size_t rest = index - first;
        return self.m_chunks[1 + rest / kChunkSize][rest % kChunkSize];
    }

    template <bool Const> class Iterator {
    public:
        using iterator_category = std::random_access_iterator_tag;
        using iterator_concept = std::random_access_iterator_tag;
        using value_type = T;
        using difference_type = std::ptrdiff_t;
        using reference = std::conditional_t<Const, const T &, T &>;
        using pointer = std::conditional_t<Const, const T *, T *>;
        using Container = std::conditional_t<Const, const ChunkedVector, ChunkedVector>;

        Iterator() = default;
        Iterator(Container *container, std::size_t index) : m_container(container), m_index(index) {}
        // An iterator converts to a const_iterator, as a vector's does.
        operator Iterator<true>() const { return Iterator<true>(m_container, m_index); }

        reference operator*() const { return (*m_container)[m_index]; }
        pointer operator->() const { return &**this; }
        reference operator[](difference_type offset) const { return *(*this + offset); }

        Iterator &operator++()
        {
            ++m_index;
            return *this;
        }
        Iterator operator++(int)
        {
            Iterator before = *this;
            ++m_index;
            return before;
        }
        Iterator &operator--()
        {
            --m_index;
            return *this;
        }
        Iterator operator--(int)
        {
            Iterator before = *this;
            --m_index;
            return before;
        }
        Iterator &operator+=(difference_type offset)
        {
            m_index = static_cast<std::size_t>(static_cast<difference_type>(m_index) + offset);
            return *this;
        }
        Iterator &operator-=(difference_type offset) { return *this += -offset; }
        friend Iterator operator+(Iterator it, difference_type offset) { return it += offset; }
        friend Iterator operator+(difference_type offset, Iterator it) { return it += offset; }
        friend Iterator operator-(Iterator it, difference_type offset) { return it -= offset; }
        friend difference_type operator-(const Iterator &a, const Iterator &b)
        {
            return static_cast<difference_type>(a.m_index) - static_cast<difference_type>(b.m_index);
        }
        friend bool operator==(const Iterator &a, const Iterator &b) { return a.m_index == b.m_index; }
        friend std::strong_ordering operator<=>(const Iterator &a, const Iterator &b) { return a.m_index <=> b.m_index; }

    private:
        Container *m_container = nullptr;
        std::size_t m_index = 0;
    };

    std::vector<std::vector<T>> m_chunks;
    std::size_t m_size = 0;
};

}  // namespace tarnwick
