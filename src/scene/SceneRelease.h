#pragma once

#include <deque>
#include <vector>

#include "CoinPtr.h"

class SoGroup;
class SoNode;

// Lets go of scenes no viewer shows any more, a slice at a time: the
// scene of 100,000 interactions is over a million nodes and takes about
// a second to destroy, too long for one turn of the event loop. Groups
// are taken apart from their last child on; a node something else still
// holds (a node shared with a live scene) is only let go, never emptied.
class CSceneRelease {
public:
    CSceneRelease();
    ~CSceneRelease();
    CSceneRelease(const CSceneRelease&) = delete;
    CSceneRelease& operator=(const CSceneRelease&) = delete;

    void Add(CoinPtr<SoNode> root);
    // Destroys nodes until about `seconds` have passed; true when no
    // scene is left to let go.
    bool Step(double seconds);
    bool Done() const { return m_open.empty() && m_waiting.empty(); }

private:
    // Groups being emptied, each inside the one before it.
    std::vector<CoinPtr<SoGroup>> m_open;
    std::deque<CoinPtr<SoNode>> m_waiting;
};
