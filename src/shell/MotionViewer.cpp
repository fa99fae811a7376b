#include "MotionViewer.h"

#include <chrono>
#include <utility>

#include <GL/gl.h>

#include "Representation.h"

CMotionViewer::CMotionViewer(QWidget* parent, std::function<const CRepresentation*()> shown)
    : SoQtExaminerViewer(parent, nullptr, TRUE, SoQtFullViewer::BUILD_ALL, SoQtViewer::BROWSER),
      m_shown(std::move(shown)) {
    addFinishCallback(&CMotionViewer::MotionFinished, this);
}

CMotionViewer::~CMotionViewer() { removeFinishCallback(&CMotionViewer::MotionFinished, this); }

void CMotionViewer::actualRedraw() {
    const bool moving = IsCameraMoving();
    const CRepresentation* shown = m_shown ? m_shown() : nullptr;
    const SoNode* root = shown ? static_cast<const SoNode*>(shown->GetRoot()) : nullptr;
    if (root != m_pLastRoot) {
        m_budget.Forget();
        m_pLastRoot = root;
    }
    const FrameDetail detail = shown ? m_budget.NextFrame(moving) : FrameDetail::Complete;
    if (SoGLRenderAction* action = getGLRenderAction(); action && shown) {
        m_pruning.Attach(*action, *shown, detail);
    }
    const auto start = std::chrono::steady_clock::now();
    SoQtExaminerViewer::actualRedraw();
    // The software renderer draws when it is flushed: wait for it, so that
    // the time is the frame's.
    glFinish();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    m_pruning.Detach();
    m_budget.FrameDrawn(moving, detail, seconds);
    m_lastDetail = detail;
    m_lastSeconds = seconds;
}

void CMotionViewer::MotionFinished(void* data, SoQtViewer* /*viewer*/) {
    auto* self = static_cast<CMotionViewer*>(data);
    // Nothing else asks for a frame once the camera stands still.
    if (self->m_lastDetail != FrameDetail::Complete) {
        self->scheduleRedraw();
    }
}
