#include "SlicedFrame.h"

#include <GL/gl.h>

#include <Inventor/SoPath.h>
#include <Inventor/actions/SoGLRenderAction.h>
#include <Inventor/actions/SoSearchAction.h>

#include "MotionPruning.h"
#include "Representation.h"

void CSlicedFrame::Abandon() {
    m_stage = Stage::None;
    m_slices.Reset();
    m_spent = 0.0;
}

bool CSlicedFrame::Begin(const Subject& subject, const CRepresentation& rep) {
    Abandon();
    SoSearchAction search;
    search.setNode(rep.GetRoot());
    search.apply(const_cast<SoNode*>(subject.head));
    if (!search.getPath()) {
        return false;
    }
    m_subject = subject;
    m_stage = Stage::Planes;
    return true;
}

CSlicedFrame::Outcome CSlicedFrame::Turn(const Subject& subject, const CRepresentation& rep,
                                         SoGLRenderAction& action, CFramePruning& pruning,
                                         const FitPlanes& fitPlanes, const SbColor& background,
                                         Clock::time_point deadline) {
    const Clock::time_point start = Clock::now();
    if (IsPending() && !(subject == m_subject)) {
        Abandon();
    }
    if (!IsPending() && !Begin(subject, rep)) {
        return Outcome::Unable;
    }
    const bool complete = Advance(rep, action, pruning, fitPlanes, background, deadline);
    // The software renderer draws when it is flushed: the time is the turn's.
    glFinish();
    m_spent += std::chrono::duration<double>(Clock::now() - start).count();
    if (!complete) {
        return Outcome::Pending;
    }
    m_stage = Stage::None;
    m_slices.Reset();
    return Outcome::Complete;
}

bool CSlicedFrame::Advance(const CRepresentation& rep, SoGLRenderAction& action, CFramePruning& pruning, const FitPlanes& fitPlanes,
                           const SbColor& background, Clock::time_point deadline) {
    if (m_stage == Stage::Planes) {
        if (!fitPlanes(deadline)) {
            return false;
        }
        // Cleared as the viewer clears before it draws.
        const SbVec2s size = m_subject.size;
        glViewport(0, 0, size[0], size[1]);
        glClearColor(background[0], background[1], background[2], 0.0f);
        glClearDepth(1.0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        m_slices.Reset();
        m_stage = Stage::Opaque;
        if (Clock::now() >= deadline) {
            return false;
        }
    } else if (!fitPlanes(Clock::time_point::max())) {
        return false;  // found already: the planes again, as set for this frame
    }
    // Each turn goes at least one step further.
    bool stepped = false;
    pruning.SetSlices(&m_slices);
    if (m_stage == Stage::Opaque) {
        stepped = true;
        if (m_slices.DrawOpaque(action, const_cast<SoNode*>(m_subject.head), deadline)) {
            m_stage = Stage::Transparent;
        }
    }
    if (m_stage == Stage::Transparent && (!stepped || Clock::now() < deadline)) {
        if (m_slices.DrawTransparent(action, deadline)) {
            m_stage = Stage::Boxes;
        }
    }
    pruning.SetSlices(nullptr);
    if (m_stage != Stage::Boxes) {
        return false;
    }
    // An action that adds to the scene's picture (the highlight's boxes)
    // does so after the scene, which it is given with nothing drawn.
    if (action.getTypeId() != SoGLRenderAction::getClassTypeId()) {
        pruning.AttachEmptied(action, {rep.GetNodeRoot(), rep.GetGreenCharRoot(), rep.GetRedCharRoot(),
                                       rep.GetEdgeRoot()});
        action.apply(const_cast<SoNode*>(m_subject.head));
    }
    return true;
}
