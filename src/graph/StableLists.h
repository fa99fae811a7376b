#pragma once

#include <cstddef>
#include <iterator>
#include <memory>
#include <new>
#include <type_traits>
#include <utility>
#include <vector>

// The graph store's containers. Elements never move once appended, so
// pointers and positions stay valid while the graph grows; appending
// allocates a block now and then, never one per element.

// Random-access iterator over any list with operator[].
template <class List, class T>
class IndexIterator {
public:
    using iterator_category = std::random_access_iterator_tag;
    using value_type = std::remove_const_t<T>;
    using difference_type = std::ptrdiff_t;
    using pointer = T*;
    using reference = T&;

    IndexIterator() = default;
    IndexIterator(List* list, size_t index) : m_list(list), m_index(index) {}
    // A const iterator from a plain one.
    template <class L2, class T2>
    IndexIterator(const IndexIterator<L2, T2>& o) : m_list(o.m_list), m_index(o.m_index) {}

    reference operator*() const { return (*m_list)[m_index]; }
    pointer operator->() const { return &(*m_list)[m_index]; }
    reference operator[](difference_type n) const { return (*m_list)[m_index + n]; }
    IndexIterator& operator++() { ++m_index; return *this; }
    IndexIterator operator++(int) { IndexIterator t = *this; ++m_index; return t; }
    IndexIterator& operator--() { --m_index; return *this; }
    IndexIterator operator--(int) { IndexIterator t = *this; --m_index; return t; }
    IndexIterator& operator+=(difference_type n) { m_index += n; return *this; }
    IndexIterator& operator-=(difference_type n) { m_index -= n; return *this; }
    IndexIterator operator+(difference_type n) const { return IndexIterator(m_list, m_index + n); }
    IndexIterator operator-(difference_type n) const { return IndexIterator(m_list, m_index - n); }
    friend IndexIterator operator+(difference_type n, const IndexIterator& i) { return i + n; }
    difference_type operator-(const IndexIterator& o) const {
        return static_cast<difference_type>(m_index) - static_cast<difference_type>(o.m_index);
    }
    bool operator==(const IndexIterator& o) const { return m_index == o.m_index; }
    bool operator!=(const IndexIterator& o) const { return m_index != o.m_index; }
    bool operator<(const IndexIterator& o) const { return m_index < o.m_index; }
    bool operator>(const IndexIterator& o) const { return m_index > o.m_index; }
    bool operator<=(const IndexIterator& o) const { return m_index <= o.m_index; }
    bool operator>=(const IndexIterator& o) const { return m_index >= o.m_index; }
    size_t Index() const { return m_index; }

private:
    template <class, class>
    friend class IndexIterator;
    List* m_list = nullptr;
    size_t m_index = 0;
};

// The parts both lists share: element storage in blocks, appending,
// erasing and copying in terms of Slot(i) and Reserve(n) of the derived list.
template <class Derived, class T>
class BlockListBase {
public:
    using value_type = T;
    using size_type = size_t;
    using reference = T&;
    using const_reference = const T&;
    using iterator = IndexIterator<Derived, T>;
    using const_iterator = IndexIterator<const Derived, const T>;

    size_t size() const { return m_size; }
    bool empty() const { return m_size == 0; }
    T& operator[](size_t i) { return *Self().Slot(i); }
    const T& operator[](size_t i) const { return *const_cast<Derived&>(Self()).Slot(i); }
    T& front() { return (*this)[0]; }
    const T& front() const { return (*this)[0]; }
    T& back() { return (*this)[m_size - 1]; }
    const T& back() const { return (*this)[m_size - 1]; }
    iterator begin() { return iterator(&Self(), 0); }
    iterator end() { return iterator(&Self(), m_size); }
    const_iterator begin() const { return const_iterator(&Self(), 0); }
    const_iterator end() const { return const_iterator(&Self(), m_size); }

    template <class... Args>
    T& emplace_back(Args&&... args) {
        Self().Reserve(m_size + 1);
        T* slot = ::new (static_cast<void*>(Self().Slot(m_size))) T(std::forward<Args>(args)...);
        ++m_size;
        return *slot;
    }
    void push_back(const T& value) { emplace_back(value); }
    void push_back(T&& value) { emplace_back(std::move(value)); }
    void pop_back() {
        --m_size;
        Self().Slot(m_size)->~T();
    }
    // Later elements move down one place, as in a deque.
    iterator erase(const_iterator at) {
        const size_t k = at.Index();
        for (size_t i = k; i + 1 < m_size; ++i) {
            (*this)[i] = std::move((*this)[i + 1]);
        }
        pop_back();
        return iterator(&Self(), k);
    }
    // Room for `n` elements in all, allocated now rather than while appending.
    void reserve(size_t n) { Self().Reserve(n); }
    // Destroys the elements; the blocks stay for the next appends.
    void clear() {
        while (m_size > 0) {
            pop_back();
        }
    }

protected:
    BlockListBase() = default;
    ~BlockListBase() = default;
    // Element-wise, so that the target's blocks are reused.
    void AssignFrom(const Derived& o) {
        const size_t common = m_size < o.m_size ? m_size : o.m_size;
        for (size_t i = 0; i < common; ++i) {
            (*this)[i] = o[i];
        }
        while (m_size > o.m_size) {
            pop_back();
        }
        for (size_t i = common; i < o.m_size; ++i) {
            emplace_back(o[i]);
        }
    }

    size_t m_size = 0;

private:
    Derived& Self() { return static_cast<Derived&>(*this); }
    const Derived& Self() const { return static_cast<const Derived&>(*this); }
};

// Many equal blocks of 2^Bits elements: the graph's circles.
template <class T, unsigned Bits = 8>
class BlockList : public BlockListBase<BlockList<T, Bits>, T> {
    using Base = BlockListBase<BlockList<T, Bits>, T>;
    friend Base;

public:
    BlockList() = default;
    BlockList(const BlockList& o) { this->AssignFrom(o); }
    BlockList(BlockList&& o) noexcept : m_blocks(std::move(o.m_blocks)) {
        this->m_size = o.m_size;
        o.m_size = 0;
    }
    BlockList& operator=(const BlockList& o) {
        if (this != &o) {
            this->AssignFrom(o);
        }
        return *this;
    }
    BlockList& operator=(BlockList&& o) noexcept {
        if (this != &o) {
            Release();
            m_blocks = std::move(o.m_blocks);
            this->m_size = o.m_size;
            o.m_size = 0;
        }
        return *this;
    }
    ~BlockList() { Release(); }

private:
    static constexpr size_t kBlock = size_t{1} << Bits;

    T* Slot(size_t i) { return m_blocks[i >> Bits] + (i & (kBlock - 1)); }
    void Reserve(size_t n) {
        while (m_blocks.size() * kBlock < n) {
            m_blocks.push_back(std::allocator<T>().allocate(kBlock));
        }
    }
    void Release() {
        this->clear();
        for (T* block : m_blocks) {
            std::allocator<T>().deallocate(block, kBlock);
        }
        m_blocks.clear();
    }

    std::vector<T*> m_blocks;
};

// Few elements, usually one: the first lives in the list itself, the rest
// in blocks of 2, 4, 8, ... elements, so a one-node circle allocates
// nothing and a long one allocates a logarithmic number of times. The
// first blocks' addresses sit beside the size, ahead of the first element,
// so that reaching any of the first 15 elements reads no other memory.
template <class T>
class SmallBlockList : public BlockListBase<SmallBlockList<T>, T> {
    using Base = BlockListBase<SmallBlockList<T>, T>;
    friend Base;

public:
    SmallBlockList() = default;
    SmallBlockList(const SmallBlockList& o) { this->AssignFrom(o); }
    SmallBlockList(SmallBlockList&& o) noexcept { TakeFrom(o); }
    SmallBlockList& operator=(const SmallBlockList& o) {
        if (this != &o) {
            this->AssignFrom(o);
        }
        return *this;
    }
    SmallBlockList& operator=(SmallBlockList&& o) noexcept {
        if (this != &o) {
            Release();
            TakeFrom(o);
        }
        return *this;
    }
    ~SmallBlockList() { Release(); }

private:
    static constexpr unsigned kNearBlocks = 3;
    // Enough blocks for any size_t index.
    static constexpr unsigned kFarBlocks = 63 - kNearBlocks;

    T* First() { return reinterpret_cast<T*>(&m_first); }
    // Element i > 0 is at j = i + 1 in block floor(log2 j) - 1, which holds
    // the 2^(k + 1) elements with j in [2^(k + 1), 2^(k + 2)).
    static unsigned BlockOf(size_t j) { return 62u - static_cast<unsigned>(__builtin_clzll(j)); }
    // Block k's place; a null one is not allocated, nor is any after it.
    T*& Block(unsigned k) { return k < kNearBlocks ? m_near[k] : m_far[k - kNearBlocks]; }
    T* Slot(size_t i) {
        if (i == 0) {
            return First();
        }
        const size_t j = i + 1;
        const unsigned k = BlockOf(j);
        return Block(k) + (j - (size_t{2} << k));
    }
    void Reserve(size_t n) {
        if (n <= 1) {
            return;
        }
        const unsigned needed = BlockOf(n) + 1;  // blocks holding elements 1 .. n - 1
        if (needed > kNearBlocks && !m_far) {
            m_far = new T* [kFarBlocks] {};
        }
        // Blocks are allocated in order: below an allocated one, all are.
        for (unsigned k = needed; k-- > 0 && !Block(k);) {
            Block(k) = std::allocator<T>().allocate(size_t{2} << k);
        }
    }
    void Release() {
        this->clear();
        for (unsigned k = 0; k < kNearBlocks + (m_far ? kFarBlocks : 0) && Block(k); ++k) {
            std::allocator<T>().deallocate(Block(k), size_t{2} << k);
            Block(k) = nullptr;
        }
        delete[] m_far;
        m_far = nullptr;
    }
    // Takes `o`'s elements and blocks; `o` is left empty and holds none.
    void TakeFrom(SmallBlockList& o) noexcept {
        for (unsigned k = 0; k < kNearBlocks; ++k) {
            m_near[k] = o.m_near[k];
            o.m_near[k] = nullptr;
        }
        m_far = o.m_far;
        o.m_far = nullptr;
        if (o.m_size > 0) {
            ::new (static_cast<void*>(First())) T(std::move(*o.First()));
            o.First()->~T();
        }
        this->m_size = o.m_size;
        o.m_size = 0;
    }

    T* m_near[kNearBlocks] = {};
    T** m_far = nullptr;
    std::aligned_storage_t<sizeof(T), alignof(T)> m_first;
};
