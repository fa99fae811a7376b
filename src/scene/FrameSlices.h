#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <vector>

#include <Inventor/actions/SoGLRenderAction.h>
#include <Inventor/lists/SoPathList.h>

#include "CoinPtr.h"

class SoAction;
class SoFullPath;
class SoGroup;
class SoNode;
class SoPath;

// The pieces a frame of a big scene is drawn or walked in over several
// turns of the event loop: the children of its groups of many children
// (a box scene's molecule, label and edge circles), found below the groups
// of few (its root, the label root), in traversal order. A run of them is
// reached by a path list, which traverses what lies before them only where
// it sets state: each run is drawn with the state a whole traversal gives.
class CFrameUnits {
public:
    // Groups of more children than this are cut into their children.
    static constexpr int kMostUncut = 8;

    // The units below `path`'s tail, reached from its head. Empty when the
    // tail draws nothing.
    void Plan(const SoPath& path);
    // The units below `root`, reached from it.
    void Plan(SoNode* root);
    void Clear();
    size_t Count() const { return m_units.size(); }
    // Appends the paths to units [first, last), in traversal order.
    void AddPaths(size_t first, size_t last, SoPathList& list) const;
    // Whether an action's current path ends at unit `i`.
    bool IsAt(const SoFullPath& path, size_t i) const;
    // The groups the units hang in: a traversal that leaves their children
    // out draws nothing of the scene.
    const std::vector<const SoNode*>& Parents() const { return m_parents; }
    // Applies `action` to the units [first, last), in one path list.
    void Apply(SoAction& action, size_t first, size_t last) const;

private:
    struct Unit {
        const SoNode* node;
        uint32_t parent;  // index into m_chains and m_parents
        int index;        // among the parent's children
    };
    void Collect(SoGroup* group, std::vector<int>& chain);

    CoinPtr<SoNode> m_pHead;
    // Child indices from the head to each parent.
    std::vector<std::vector<int>> m_chains;
    std::vector<const SoNode*> m_parents;
    std::vector<Unit> m_units;
};

// A complete frame drawn in runs of units, each run until a deadline: the
// opaque shapes of every unit first, then the transparent ones, which the
// render action draws after all opaque ones (and which no later opaque
// shape may cover). The same pixels as one traversal of the scene.
class CFrameSlices {
public:
    using Clock = std::chrono::steady_clock;

    // Starts a frame of what `path`'s tail draws, traversed from its head.
    void Begin(const SoPath& path);
    void Reset();
    // Draws the opaque shapes of the next units with `action`, at least one
    // unit and more until `deadline`, keeping the transparent ones for
    // DrawTransparent. True once every unit is drawn.
    bool DrawOpaque(SoGLRenderAction& action, Clock::time_point deadline);
    // Draws the transparent shapes the opaque runs kept, until `deadline`.
    // True once all are drawn.
    bool DrawTransparent(SoGLRenderAction& action, Clock::time_point deadline);
    // The share of the units whose opaque shapes are drawn.
    double ShareDrawn() const;
    // The groups whose children a traversal leaves out to draw nothing of
    // the scene (see CFrameUnits::Parents).
    const std::vector<const SoNode*>& UnitParents() const { return m_units.Parents(); }

    // Asked first by the render action's abort callback while a run is
    // drawn: leaves out the units past the deadline and the transparent
    // shapes of opaque runs.
    SoGLRenderAction::AbortCode Visit(const SoGLRenderAction& action, const SoFullPath& path);

private:
    enum class Stage { Idle, Opaque, Transparent };

    CFrameUnits m_units;
    Stage m_stage = Stage::Idle;
    size_t m_done = 0;  // units whose opaque shapes are drawn
    // Units put in one path list: grows with the units a run managed.
    size_t m_window = 16;
    // Of the run being drawn: the next unit met, the first one met.
    size_t m_next = 0;
    size_t m_first = 0;
    size_t m_stopAt = 0;
    bool m_bStopped = false;
    Clock::time_point m_deadline;
    // Paths to the transparent shapes, in traversal order, and how many
    // of them are drawn.
    SoPathList m_transparent;
    int m_transparentDone = 0;
};
