#pragma once

// The keyboard's lock indicators, read from the X server. Kept apart from
// Qt code because the X headers define names Qt also uses.
class KeyLocks {
public:
    struct State {
        bool caps = false;
        bool num = false;
        bool scroll = false;
    };

    KeyLocks();  // connects only where Qt runs on X11
    ~KeyLocks();
    KeyLocks(const KeyLocks&) = delete;
    KeyLocks& operator=(const KeyLocks&) = delete;

    State Read() const;

private:
    void* m_pDisplay = nullptr;
};
