#pragma once

#include <utility>

// Holds one reference on a Coin node (or action-independent base) for as
// long as the handle lives; copying adds a reference.
template <typename T>
class CoinRef {
public:
    CoinRef() = default;
    explicit CoinRef(T* node) : m_p(node) { Acquire(); }
    CoinRef(const CoinRef& other) : m_p(other.m_p) { Acquire(); }
    CoinRef(CoinRef&& other) noexcept : m_p(std::exchange(other.m_p, nullptr)) {}
    CoinRef& operator=(CoinRef other) noexcept {
        std::swap(m_p, other.m_p);
        return *this;
    }
    ~CoinRef() { Release(); }

    void Reset(T* node = nullptr) { *this = CoinRef(node); }
    T* Get() const { return m_p; }
    T* operator->() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }

private:
    void Acquire() {
        if (m_p) {
            m_p->ref();
        }
    }
    void Release() {
        if (m_p) {
            m_p->unref();
        }
    }

    T* m_p = nullptr;
};
