#pragma once

// The busy pointer while a command works in the window's own thread (an
// edit of a large pathway, or the first one that builds its indexes, can
// take a second); a dialog or message the command raises meanwhile gets
// the normal pointer for as long as it is up.
class CBusyCursor {
public:
    CBusyCursor();
    ~CBusyCursor();
    CBusyCursor(const CBusyCursor&) = delete;
    CBusyCursor& operator=(const CBusyCursor&) = delete;

    // Lifts the busy pointer for a modal dialog, when it is on top.
    class Pause {
    public:
        Pause();
        ~Pause();
        Pause(const Pause&) = delete;
        Pause& operator=(const Pause&) = delete;

    private:
        bool m_lifted = false;
    };
};
