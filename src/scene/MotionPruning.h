#pragma once

#include <array>

#include <Inventor/actions/SoGLRenderAction.h>

class CRepresentation;
class SoNode;

// While the camera moves, a big scene's frames leave out its labels and,
// when that is not enough, its edges, so that the picture keeps up with the
// mouse; a frame of the still camera is always complete. The scene is never
// touched (tests and saved files read it): the render action skips the
// parts while it traverses.

// What a frame draws.
enum class FrameDetail { Complete, NoLabels, MoleculesOnly };

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
    void Forget() { m_moving = FrameDetail::Complete; }

private:
    double m_budget = kDefaultBudget;
    // What moving frames draw: learnt from the complete frames and from
    // the moving frames that were still too slow.
    FrameDetail m_moving = FrameDetail::Complete;
};

// Leaves what a detail drops of one representation's scene out of the
// frames of a render action, for as long as it is attached.
class CFramePruning {
public:
    CFramePruning() = default;
    CFramePruning(const CFramePruning&) = delete;
    CFramePruning& operator=(const CFramePruning&) = delete;
    ~CFramePruning() { Detach(); }

    // Nothing is left out for FrameDetail::Complete.
    void Attach(SoGLRenderAction& action, const CRepresentation& rep, FrameDetail detail);
    void Detach();

private:
    static SoGLRenderAction::AbortCode OnNode(void* data);

    SoGLRenderAction* m_pAction = nullptr;
    // Roots whose children the frames leave out; unused slots are null.
    std::array<const SoNode*, 3> m_emptied{};
};
