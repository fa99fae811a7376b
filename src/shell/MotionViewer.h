#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include <Inventor/SbBox3f.h>
#include <Inventor/SbSphere.h>

#include <Inventor/Qt/viewers/SoQtExaminerViewer.h>

#include "DrawnBounds.h"
#include "MotionPruning.h"
#include "SlicedFrame.h"

class CRepresentation;
class QTimer;
class SoCamera;
class SoEvent;
class SoNode;

// The view's examiner viewer, timing its frames. While the camera moves (a
// drag, the spin after it, a seek) the frames of a scene too slow to follow
// leave out what the frame budget says, down to the molecules as points;
// when the motion stops, one complete frame is drawn, in slices over turns
// of the event loop when it takes longer than one (see CSlicedFrame).
class CMotionViewer : public SoQtExaminerViewer {
public:
    // `shown` names the representation whose scene the viewer shows, or
    // null.
    CMotionViewer(QWidget* parent, std::function<const CRepresentation*()> shown);
    ~CMotionViewer() override;

    CMotionFrameBudget& Budget() { return m_budget; }
    bool IsCameraMoving() const { return getInteractiveCount() > 0 || isAnimating(); }
    // What the newest frame drew and how long it took, in seconds.
    FrameDetail LastFrameDetail() const { return m_lastDetail; }
    double LastFrameSeconds() const { return m_lastSeconds; }

    // While the shown scene is still being built, every frame draws its
    // molecules as points: a complete frame of a big scene costs seconds,
    // and a half-built one would be outdated a step later. Ending it asks
    // for a complete frame.
    void SetBuilding(bool building);
    // What those frames draw of `shown`, gathered before its molecule
    // nodes exist and kept until the build ends: the points, and the box
    // around every molecule for the clipping planes.
    void UseMoleculePoints(const CRepresentation& shown, const std::vector<SbVec3f>& places,
                           const std::vector<SbColor>& colours, const SbBox3f& bounds);
    bool IsBuilding() const { return m_bBuilding; }
    // Off, complete frames traverse the scene the plain way, which draws
    // the same pixels at a far higher cost (to compare with).
    void SetCheapFrames(bool cheap) { m_pruning.SetCheapFrames(cheap); }
    // Called after each frame put on the screen, the GL context still
    // current.
    void SetFrameObserver(std::function<void(FrameDetail)> observer) { m_frameObserver = std::move(observer); }
    // The longest a turn of a complete frame draws before the event loop
    // goes on (0: one slice of the scene a turn).
    void SetSliceSeconds(double seconds) { m_sliceSeconds = seconds; }
    // A complete frame is being drawn in slices; the screen shows the
    // picture before it.
    bool IsCompleting() const { return m_sliced.IsPending(); }

    // A turn of the wheel zooms without a drag: the camera counts as
    // moving until the wheel rested this long.
    static constexpr int kWheelRestMilliseconds = 300;
    // A turn of the event loop that draws part of a complete frame.
    static constexpr double kSliceSeconds = 0.06;

protected:
    // As the render area's, but a frame left part drawn in the back buffer
    // is not swapped onto the screen.
    void redraw() override;
    void actualRedraw() override;
    SbBool processSoEvent(const SoEvent* event) override;

private:
    // Clipping planes for a frame of `detail`.
    void ClipFor(const CRepresentation* shown, FrameDetail detail);
    // A turn of the complete frame of `shown`; false when it cannot be
    // drawn in slices.
    bool DrawSlice(const CRepresentation& shown, SoGLRenderAction& action);
    // Gives up the complete frame being drawn in slices, learning from it
    // what moving frames can afford.
    void AbandonSlices();
    void FrameShown(FrameDetail detail, double seconds);
    void FitPlanesToBox(SoCamera& camera, const SbBox3f& box);
    static void SetPlanesQuietly(SoCamera& camera, float nearPlane, float farPlane);
    // The share of the depth buffer's bits a perspective camera's near
    // plane may give up, as the viewer's own clipping does by default.
    static constexpr float kNearPlaneShare = 0.6f;
    static void MotionFinished(void* data, SoQtViewer* viewer);

    std::function<const CRepresentation*()> m_shown;
    std::function<void(FrameDetail)> m_frameObserver;
    bool m_bBuilding = false;
    CMotionFrameBudget m_budget;
    CFramePruning m_pruning;
    CMoleculeCloud m_cloud;
    const SoNode* m_pLastRoot = nullptr;
    FrameDetail m_lastDetail = FrameDetail::Complete;
    double m_lastSeconds = 0.0;
    // The molecules' bounds while the planes are set here, not by the viewer.
    QTimer* m_pWheelRest = nullptr;
    bool m_bClipping = false;
    SbSphere m_bounds;
    const SoNode* m_pBoundsOf = nullptr;
    uint32_t m_boundsId = 0;
    // What complete frames draw, and the molecules alone.
    CDrawnBounds m_drawn;
    CDrawnBounds m_drawnMolecules;
    CSlicedFrame m_sliced;
    double m_sliceSeconds = kSliceSeconds;
    // Asks for the next turn of a complete frame in slices.
    QTimer* m_pNextSlice = nullptr;
    bool m_bHoldSwap = false;  // the frame in the back buffer is not done
};
