#include "MotionViewer.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <utility>

#include <GL/gl.h>

#include <QTimer>
#include <QWidget>

#include <Inventor/SoSceneManager.h>
#include <Inventor/events/SoMouseButtonEvent.h>
#include <Inventor/nodes/SoCamera.h>
#include <Inventor/nodes/SoPerspectiveCamera.h>
#include <Inventor/nodes/SoSeparator.h>

#include "Representation.h"

CMotionViewer::CMotionViewer(QWidget* parent, std::function<const CRepresentation*()> shown)
    : SoQtExaminerViewer(parent, nullptr, TRUE, SoQtFullViewer::BUILD_ALL, SoQtViewer::BROWSER),
      m_shown(std::move(shown)) {
    addFinishCallback(&CMotionViewer::MotionFinished, this);
    // Render caches are display lists, kept for every separator drawn
    // twice unchanged: with each separator's list of them (2 KB even when
    // empty) they came to gigabytes at 100,000 interactions.
    SoSeparator::setNumRenderCaches(0);
    m_pruning.SetDrain([] { glFinish(); });
    m_pWheelRest = new QTimer(getWidget());
    m_pWheelRest->setSingleShot(true);
    m_pWheelRest->setInterval(kWheelRestMilliseconds);
    QObject::connect(m_pWheelRest, &QTimer::timeout, getWidget(), [this] { interactiveCountDec(); });
    m_pNextSlice = new QTimer(getWidget());
    m_pNextSlice->setSingleShot(true);
    m_pNextSlice->setInterval(0);
    QObject::connect(m_pNextSlice, &QTimer::timeout, getWidget(), [this] {
        if (m_sliced.IsPending()) {
            scheduleRedraw();
        }
    });
}

CMotionViewer::~CMotionViewer() { removeFinishCallback(&CMotionViewer::MotionFinished, this); }

void CMotionViewer::redraw() {
    if (!isVisible() || !hasNormalGLArea()) {
        return;
    }
    glLockNormal();
    const bool backBuffer = isDoubleBuffer() && !isDrawToFrontBufferEnable();
    glDrawBuffer(backBuffer ? GL_BACK : GL_FRONT);
    m_bHoldSwap = false;
    actualRedraw();
    if (m_bHoldSwap) {
        glFlush();
    } else if (backBuffer) {
        glSwapBuffers();
    } else {
        glFlushBuffer();
    }
    glUnlockNormal();
}

void CMotionViewer::actualRedraw() {
    const bool moving = IsCameraMoving();
    const CRepresentation* shown = m_shown ? m_shown() : nullptr;
    const SoNode* root = shown ? static_cast<const SoNode*>(shown->GetRoot()) : nullptr;
    SoGLRenderAction* action = getGLRenderAction();
    // Only the still camera's complete frames of the finished scene are
    // drawn in slices; any other frame gives up one begun.
    const bool sliced = shown && action && !m_bBuilding && !moving && m_pruning.IsCheap() && isDoubleBuffer() &&
                        !isDrawToFrontBufferEnable();
    if (!sliced && m_sliced.IsPending()) {
        AbandonSlices();
    }
    if (root != m_pLastRoot) {
        m_budget.Forget();
        m_pLastRoot = root;
    }
    if (sliced && DrawSlice(*shown, *action)) {
        return;
    }
    const FrameDetail detail = !shown       ? FrameDetail::Complete
                               : m_bBuilding ? FrameDetail::MoleculePoints
                                             : m_budget.NextFrame(moving);
    if (action && shown) {
        if (m_bBuilding) {
            m_pruning.AttachWhole(*action, *shown);
        } else {
            m_pruning.Attach(*action, *shown, detail);
        }
    }
    ClipFor(shown, detail);
    const auto start = std::chrono::steady_clock::now();
    SoQtExaminerViewer::actualRedraw();
    if (detail == FrameDetail::MoleculePoints) {
        SoNode* points = m_bBuilding ? m_cloud.Given() : m_cloud.For(*shown);
        if (points && action) {
            action->apply(points);
        }
    }
    // The software renderer draws when it is flushed: wait for it, so that
    // the time is the frame's.
    glFinish();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    m_pruning.Detach();
    if (!m_bBuilding) {
        m_budget.FrameDrawn(moving, detail, seconds);
    }
    FrameShown(detail, seconds);
}

bool CMotionViewer::DrawSlice(const CRepresentation& shown, SoGLRenderAction& action) {
    SoCamera* camera = shown.GetCamera();
    const SoNode* head = getSceneManager() ? getSceneManager()->getSceneGraph() : nullptr;
    if (!camera || !head) {
        return false;
    }
    const auto start = CSlicedFrame::Clock::now();
    const auto slice = std::chrono::duration_cast<CSlicedFrame::Clock::duration>(
        std::chrono::duration<double>(m_sliceSeconds));
    const CSlicedFrame::Subject subject{head, head->getNodeId(), getViewportRegion().getViewportSizePixels(),
                                        &action};
    // The planes as a complete frame fits them, once the box of what the
    // scene draws is found: a walk of its own slices.
    if (!m_bClipping) {
        m_bClipping = true;
        setAutoClipping(FALSE);
    }
    SoSeparator* root = shown.GetRoot();
    const auto fitPlanes = [&](CSlicedFrame::Clock::time_point deadline) {
        if (!m_drawn.WalkUntil(root, deadline)) {
            return false;
        }
        const SbBox3f& drawn = m_drawn.Of(root);
        if (!drawn.isEmpty()) {
            FitPlanesToBox(*camera, drawn);
        }
        return true;
    };
    m_pruning.Attach(action, shown, FrameDetail::Complete);
    m_pruning.SetSliced(true);
    const CSlicedFrame::Outcome outcome =
        m_sliced.Turn(subject, shown, action, m_pruning, fitPlanes, getBackgroundColor(), start + slice);
    m_pruning.SetSliced(false);
    m_pruning.Detach();
    switch (outcome) {
    case CSlicedFrame::Outcome::Unable:
        return false;
    case CSlicedFrame::Outcome::Pending:
        m_bHoldSwap = true;
        m_pNextSlice->start();
        return true;
    case CSlicedFrame::Outcome::Complete:
        break;
    }
    m_budget.FrameDrawn(false, FrameDetail::Complete, m_sliced.SpentSeconds());
    FrameShown(FrameDetail::Complete, m_sliced.SpentSeconds());
    return true;
}

void CMotionViewer::AbandonSlices() {
    // What the frame would have taken, from the share it drew: moving
    // frames leave out what it says they cannot afford.
    const double estimate = m_sliced.SpentSeconds() / std::max(m_sliced.ShareDrawn(), 0.1);
    m_budget.FrameDrawn(false, FrameDetail::Complete, estimate);
    m_sliced.Abandon();
    m_pNextSlice->stop();
}

void CMotionViewer::FrameShown(FrameDetail detail, double seconds) {
    m_lastDetail = detail;
    m_lastSeconds = seconds;
    if (m_frameObserver) {
        m_frameObserver(detail);
    }
}

void CMotionViewer::UseMoleculePoints(const CRepresentation& shown, const std::vector<SbVec3f>& places,
                                      const std::vector<SbColor>& colours, const SbBox3f& bounds) {
    m_cloud.Use(shown, places, colours);
    if (!bounds.isEmpty()) {
        m_bounds.circumscribe(bounds);
        m_pBoundsOf = shown.GetNodeRoot();
        m_boundsId = m_pBoundsOf->getNodeId();
    }
}

void CMotionViewer::SetBuilding(bool building) {
    if (building == m_bBuilding) {
        return;
    }
    m_bBuilding = building;
    scheduleRedraw();
}

SbBool CMotionViewer::processSoEvent(const SoEvent* event) {
    if (SoMouseButtonEvent::isButtonPressEvent(event, SoMouseButtonEvent::BUTTON4) ||
        SoMouseButtonEvent::isButtonPressEvent(event, SoMouseButtonEvent::BUTTON5)) {
        if (!m_pWheelRest->isActive()) {
            interactiveCountInc();
        }
        m_pWheelRest->start();
    }
    return SoQtExaminerViewer::processSoEvent(event);
}

void CMotionViewer::ClipFor(const CRepresentation* shown, FrameDetail detail) {
    // The viewer fits the clipping planes to the box of the whole scene in
    // every frame, through the bounding-box action: that leaves a cache in
    // every separator, shape and label (gigabytes at 100,000 interactions,
    // and as costly as drawing the labels once the camera moved). The
    // planes are fitted here instead: complete frames to what the scene
    // draws, found without those caches, frames without labels to the
    // molecules' box. The plain traversal keeps the viewer's way.
    SoCamera* camera = shown ? shown->GetCamera() : nullptr;
    if (!camera || (detail == FrameDetail::Complete && !m_pruning.IsCheap())) {
        if (m_bClipping) {
            m_bClipping = false;
            setAutoClipping(TRUE);
        }
        return;
    }
    if (detail == FrameDetail::Complete) {
        const SbBox3f& drawn = m_drawn.Of(shown->GetRoot());
        if (drawn.isEmpty()) {
            return;
        }
        if (!m_bClipping) {
            m_bClipping = true;
            setAutoClipping(FALSE);
        }
        FitPlanesToBox(*camera, drawn);
        return;
    }
    const SoNode* molecules = shown->GetNodeRoot();
    // While the scene is built, its molecule nodes lag behind the bounds given.
    if (molecules != m_pBoundsOf || (!m_bBuilding && molecules->getNodeId() != m_boundsId)) {
        const SbBox3f& box = m_drawnMolecules.Of(const_cast<SoNode*>(molecules));
        if (box.isEmpty()) {
            return;
        }
        m_bounds.circumscribe(box);
        m_pBoundsOf = molecules;
        m_boundsId = molecules->getNodeId();
    }
    if (!m_bClipping) {
        m_bClipping = true;
        setAutoClipping(FALSE);
    }
    SbVec3f ahead;
    camera->orientation.getValue().multVec(SbVec3f(0.0f, 0.0f, -1.0f), ahead);
    const float radius = m_bounds.getRadius() * 1.1f;
    const float distance = (m_bounds.getCenter() - camera->position.getValue()).dot(ahead);
    const float farPlane = std::max(distance + radius, radius * 1e-3f);
    const float nearPlane = std::max(distance - radius, farPlane * 1e-3f);
    SetPlanesQuietly(*camera, nearPlane, farPlane);
}

void CMotionViewer::FitPlanesToBox(SoCamera& camera, const SbBox3f& box) {
    // As the viewer fits them to its box: the box's corners seen from the
    // camera, a little slack on both sides, and a perspective camera's
    // near plane kept far enough out for the depth buffer to tell depths
    // apart.
    const SbRotation toCamera = camera.orientation.getValue().inverse();
    const SbVec3f from = camera.position.getValue();
    float nearest = 0.0f, farthest = 0.0f;
    for (int corner = 0; corner < 8; ++corner) {
        const SbVec3f point((corner & 1) ? box.getMax()[0] : box.getMin()[0],
                            (corner & 2) ? box.getMax()[1] : box.getMin()[1],
                            (corner & 4) ? box.getMax()[2] : box.getMin()[2]);
        SbVec3f seen;
        toCamera.multVec(point - from, seen);
        const float depth = -seen[2];
        nearest = corner == 0 ? depth : std::min(nearest, depth);
        farthest = corner == 0 ? depth : std::max(farthest, depth);
    }
    if (farthest <= 0.0f) {
        return;  // all behind the camera
    }
    if (camera.isOfType(SoPerspectiveCamera::getClassTypeId())) {
        GLint depthBits = 0;
        glGetIntegerv(GL_DEPTH_BITS, &depthBits);
        const int usedBits = static_cast<int>(static_cast<float>(depthBits) * (1.0f - kNearPlaneShare));
        float nearLimit = farthest / std::pow(2.0f, static_cast<float>(usedBits));
        if (nearLimit >= farthest) {
            nearLimit = farthest / 5000.0f;
        }
        nearest = std::max(nearest, nearLimit);
    }
    constexpr float kSlack = 0.001f;
    SetPlanesQuietly(camera, nearest * (1.0f - kSlack), farthest * (1.0f + kSlack));
}

void CMotionViewer::SetPlanesQuietly(SoCamera& camera, float nearPlane, float farPlane) {
    // Changed quietly: telling the scene would ask for another frame.
    const SbBool notifying = camera.enableNotify(FALSE);
    camera.nearDistance.setValue(nearPlane);
    camera.farDistance.setValue(farPlane);
    camera.enableNotify(notifying);
}

void CMotionViewer::MotionFinished(void* data, SoQtViewer* /*viewer*/) {
    auto* self = static_cast<CMotionViewer*>(data);
    if (self->m_bClipping) {
        self->m_bClipping = false;
        self->setAutoClipping(TRUE);
    }
    // Nothing else asks for a frame once the camera stands still.
    if (self->m_lastDetail != FrameDetail::Complete) {
        self->scheduleRedraw();
    }
}
