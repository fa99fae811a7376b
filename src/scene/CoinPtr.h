#pragma once

#include <utility>

// Holds one reference to a Coin object (node, path, ...) for as long as it
// lives: ref on taking the pointer, unref on letting go. The object frees
// itself when its last reference goes; we never delete one.
template <class T>
class CoinPtr {
public:
    CoinPtr() = default;
    explicit CoinPtr(T* p) : m_p(p) {
        if (m_p) {
            m_p->ref();
        }
    }
    CoinPtr(const CoinPtr& other) : CoinPtr(other.m_p) {}
    CoinPtr(CoinPtr&& other) noexcept : m_p(std::exchange(other.m_p, nullptr)) {}
    CoinPtr& operator=(CoinPtr other) noexcept {
        std::swap(m_p, other.m_p);
        return *this;
    }
    ~CoinPtr() {
        if (m_p) {
            m_p->unref();
        }
    }

    void reset(T* p = nullptr) { *this = CoinPtr(p); }

    T* get() const { return m_p; }
    T* operator->() const { return m_p; }
    T& operator*() const { return *m_p; }
    explicit operator bool() const { return m_p != nullptr; }

private:
    T* m_p = nullptr;
};

// A new Coin object, referenced from birth.
template <class T, class... Args>
CoinPtr<T> MakeCoin(Args&&... args) {
    return CoinPtr<T>(new T(std::forward<Args>(args)...));
}
