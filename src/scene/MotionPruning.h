#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include <Inventor/SbColor.h>
#include <Inventor/SbVec3f.h>
#include <Inventor/actions/SoGLRenderAction.h>

#include "CoinPtr.h"

class CFrameSlices;
class CRepresentation;
class SoNode;
class SoSeparator;
class SoShape;
class SoText2;

// While the camera moves, a big scene's frames leave out its labels and,
// when that is not enough, its edges, and at last draw its molecules as
// points, so that the picture keeps up with the mouse; a frame of the still
// camera is always complete. The scene is never touched (tests and saved
// files read it): the render action skips the parts while it traverses,
// and the points are a graph of their own.

// What a frame draws, richest first.
enum class FrameDetail { Complete, NoLabels, MoleculesOnly, MoleculePoints };

// Chooses the detail of each frame from the measured durations of earlier
// frames against a budget.
class CMotionFrameBudget {
public:
    static constexpr double kDefaultBudget = 1.0 / 15.0;

    void SetBudget(double seconds) { m_budget = seconds; }
    double GetBudget() const { return m_budget; }
    // The detail of the next frame; `moving` while the camera moves.
    FrameDetail NextFrame(bool moving) const { return moving ? m_moving : FrameDetail::Complete; }
    // A frame drawn with `detail` took `seconds`.
    void FrameDrawn(bool moving, FrameDetail detail, double seconds);
    // Another scene is shown: what was learnt of the last one does not hold.
    void Forget() { m_moving = m_learnt = FrameDetail::Complete; }

private:
    double m_budget = kDefaultBudget;
    // What moving frames draw: estimated from the last complete frame, and
    // no less than the moving frames of this scene found necessary.
    FrameDetail m_moving = FrameDetail::Complete;
    FrameDetail m_learnt = FrameDetail::Complete;
};

// Leaves what a detail drops of one representation's scene out of the
// frames of a render action, for as long as it is attached. A complete
// frame keeps every pixel but takes a cheaper way to them (see OnNode):
// at 100,000 labels the plain traversal held gigabytes while it drew.
class CFramePruning {
public:
    // Shapes drawn between two waits for the GL driver: the software
    // renderer keeps a copy of its state, tens of KB, for each shape's
    // material until drawn (at 1024, some 75 MB waited).
    static constexpr size_t kShapesPerDrain = 256;
    // Windows' worth of shapes drawn between two waits in a frame drawn in
    // slices (a hundred or so edges that cross the whole window).
    static constexpr double kScreensPerDrain = 16.0;
    // Labels drawn between two waits.
    static constexpr size_t kLabelsPerDrain = 64;

    CFramePruning();
    CFramePruning(const CFramePruning&) = delete;
    CFramePruning& operator=(const CFramePruning&) = delete;
    ~CFramePruning();

    // Nothing is left out for FrameDetail::Complete.
    void Attach(SoGLRenderAction& action, const CRepresentation& rep, FrameDetail detail);
    // Leaves the whole scene out (its molecules drawn as points by the
    // caller): a few nodes visited, not one per cell of every part.
    void AttachWhole(SoGLRenderAction& action, const CRepresentation& rep);
    // Leaves out every child of `parents`, which hold all a scene draws.
    void AttachEmptied(SoGLRenderAction& action, const std::vector<const SoNode*>& parents);
    // A frame drawn in slices, asked first about every node (null: none).
    void SetSlices(CFrameSlices* slices) { m_pSlices = slices; }
    void Detach();
    // What waits until the GL driver has drawn what it was given.
    void SetDrain(std::function<void()> drain) { m_drain = std::move(drain); }
    // While a frame is drawn in slices, the GL driver is also waited for
    // once the shapes since the last wait cover kScreensPerDrain windows.
    void SetSliced(bool sliced) { m_bSliced = sliced; }
    // Off, frames traverse the scene the plain way (to compare with).
    void SetCheapFrames(bool cheap) { m_bCheap = cheap; }
    bool IsCheap() const { return m_bCheap; }

private:
    void Drain();
    // About how many windows the box of `shape` covers, as drawn.
    double ScreensCovered(SoShape& shape) const;
    static SoGLRenderAction::AbortCode OnNode(void* data);
    SoGLRenderAction::AbortCode OnShape(const SoNode* node, bool lastChild);

    SoGLRenderAction* m_pAction = nullptr;
    // Roots whose children the frames leave out (or null).
    std::vector<const SoNode*> m_emptied;
    CFrameSlices* m_pSlices = nullptr;
    bool m_bCheap = true;
    // Draws every label in turn (see OnShape).
    CoinPtr<SoText2> m_pStamp;
    size_t m_shapes = 0;  // since the last wait
    size_t m_labels = 0;
    std::function<void()> m_drain;
    bool m_bSliced = false;
    double m_screens = 0.0;  // covered by the shapes since the last wait
};

// The visible molecules of a representation as coloured points seen
// through its camera, for the frames that draw FrameDetail::MoleculePoints.
class CMoleculeCloud {
public:
    CMoleculeCloud();
    ~CMoleculeCloud();
    CMoleculeCloud(const CMoleculeCloud&) = delete;
    CMoleculeCloud& operator=(const CMoleculeCloud&) = delete;

    // The points of `rep`, gathered again when its molecules changed.
    SoNode* For(const CRepresentation& rep);
    // Points of `rep`'s present molecules gathered elsewhere (while its
    // scene is built), which For then takes instead of walking them.
    void Use(const CRepresentation& rep, const std::vector<SbVec3f>& places, const std::vector<SbColor>& colours);
    // The points that Use gave, whatever became of the molecules since
    // (a scene being built gains its molecule nodes after them).
    SoSeparator* Given() const { return m_pFrame.get(); }
    size_t PointCount() const { return m_points; }

private:
    void Make(const CRepresentation& rep, const std::vector<SbVec3f>& places, const std::vector<SbColor>& colours);

    CoinPtr<SoSeparator> m_pFrame;
    const SoNode* m_pSource = nullptr;
    uint32_t m_sourceId = 0;
    size_t m_points = 0;
};
