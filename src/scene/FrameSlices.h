#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include <Inventor/actions/SoGLRenderAction.h>
#include <Inventor/lists/SoPathList.h>

#include "CoinPtr.h"

class SoAction;
class SoFullPath;
class SoGroup;
class SoNode;

// The pieces a big scene is walked in over several turns of the event
// loop: the children of its groups of many children (a box scene's
// molecule, label and edge circles), found below the groups of few (its
// root, the label root), in traversal order. A run of them is reached by a
// path list, which traverses what lies before them only where it sets
// state: each run is walked with the state a whole traversal gives.
class CFrameUnits {
public:
    // Groups of more children than this are cut into their children.
    static constexpr int kMostUncut = 8;

    // The units below `root`, reached from it.
    void Plan(SoNode* root);
    void Clear();
    size_t Count() const { return m_units.size(); }
    // Applies `action` to the units [first, last), in one path list.
    void Apply(SoAction& action, size_t first, size_t last) const;

private:
    struct Unit {
        const SoNode* node;
        uint32_t parent;  // index into m_chains
        int index;        // among the parent's children
    };
    void Collect(SoGroup* group, std::vector<int>& chain);

    CoinPtr<SoNode> m_pHead;
    // Child indices from the head to each parent.
    std::vector<std::vector<int>> m_chains;
    std::vector<Unit> m_units;
};

// A complete frame drawn over several traversals of the whole scene, each
// until a deadline: a traversal passes over the separators drawn before
// (the scene stands still meanwhile: any change gives the frame up) and
// stops at the first separator past the deadline, so each draws with the
// state a whole traversal gives. The opaque shapes of every traversal
// first, then the transparent ones, which the render action draws after
// all opaque ones (and which no later opaque shape may cover). The same
// pixels as one traversal of the scene.
class CFrameSlices {
public:
    using Clock = std::chrono::steady_clock;

    void Reset();
    // Draws the opaque shapes of `head`'s scene from where the last call
    // stopped, at least one separator and more until `deadline`, keeping
    // the transparent ones for DrawTransparent. True once all are drawn.
    bool DrawOpaque(SoGLRenderAction& action, SoNode* head, Clock::time_point deadline);
    // Draws the transparent shapes the opaque traversals kept, until
    // `deadline`. True once all are drawn.
    bool DrawTransparent(SoGLRenderAction& action, Clock::time_point deadline);
    // The share of the separators whose opaque shapes are drawn, as many
    // as the last frame drawn to the end had (none known: all).
    double ShareDrawn() const;

    // Asked first by the render action's abort callback while the opaque
    // shapes are drawn: passes over what is drawn, stops at the deadline
    // and keeps the transparent shapes.
    SoGLRenderAction::AbortCode Visit(const SoGLRenderAction& action, const SoFullPath& path);

private:
    enum class Stage { Idle, Opaque, Transparent };
    // Where the node `length` levels below the head of `path` lies against
    // the place the last traversal stopped.
    enum class Place { Before, OnTheWay, After };
    Place PlaceOf(const SoFullPath& path, int length) const;
    // Whether a traversal that passes over the separators before `path`
    // redraws nothing there: no shape hangs before it but in a separator.
    bool CanStopAt(const SoFullPath& path);
    // The index of `group`'s first child that draws outside separators
    // (its child count: none), found once a traversal: past the deadline
    // every separator asks, and each would otherwise scan its elder siblings.
    int FirstDrawingChild(const SoGroup* group);

    Stage m_stage = Stage::Idle;
    // Child indices from the head to the first separator not drawn (empty:
    // from the start).
    std::vector<int> m_stop;
    // Of the traversal being drawn: past the place of the last stop, at
    // least one separator drawn, stopping.
    bool m_bPassed = false;
    bool m_bStepped = false;
    bool m_bStopping = false;
    Clock::time_point m_deadline;
    std::unordered_map<const SoGroup*, int> m_firstDrawing;
    size_t m_drawn = 0;  // separators drawn
    size_t m_total = 0;  // separators of the last frame drawn to the end
    // Paths to the transparent shapes, in traversal order, and how many
    // of them are drawn.
    SoPathList m_transparent;
    int m_transparentDone = 0;
};
