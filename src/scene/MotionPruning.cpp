#include "MotionPruning.h"

#include <Inventor/SoFullPath.h>

#include "Representation.h"

void CMotionFrameBudget::FrameDrawn(bool moving, FrameDetail detail, double seconds) {
    const bool slow = seconds > m_budget;
    if (!moving) {
        // A complete frame within the budget moves completely too; a slow
        // one keeps what the moving frames learnt, at least without labels.
        if (detail == FrameDetail::Complete) {
            if (!slow) {
                m_moving = FrameDetail::Complete;
            } else if (m_moving == FrameDetail::Complete) {
                m_moving = FrameDetail::NoLabels;
            }
        }
        return;
    }
    if (slow && detail == m_moving && m_moving != FrameDetail::MoleculesOnly) {
        m_moving = static_cast<FrameDetail>(static_cast<int>(m_moving) + 1);
    }
}

void CFramePruning::Attach(SoGLRenderAction& action, const CRepresentation& rep, FrameDetail detail) {
    Detach();
    if (detail == FrameDetail::Complete) {
        return;
    }
    // The children of the label roots rather than the roots: Coin ends a
    // group's traversal at a pruned child, which must not take the edges
    // after the labels with it.
    m_emptied = {rep.GetGreenCharRoot(), rep.GetRedCharRoot(),
                 detail == FrameDetail::MoleculesOnly ? rep.GetEdgeRoot() : nullptr};
    m_pAction = &action;
    action.setAbortCallback(&CFramePruning::OnNode, this);
}

void CFramePruning::Detach() {
    if (m_pAction) {
        m_pAction->setAbortCallback(nullptr, nullptr);
        m_pAction = nullptr;
    }
}

SoGLRenderAction::AbortCode CFramePruning::OnNode(void* data) {
    const auto* self = static_cast<const CFramePruning*>(data);
    const auto* path = static_cast<const SoFullPath*>(self->m_pAction->getCurPath());
    if (path->getLength() < 2) {
        return SoGLRenderAction::CONTINUE;
    }
    const SoNode* parent = path->getNodeFromTail(1);
    for (const SoNode* root : self->m_emptied) {
        if (root && parent == root) {
            return SoGLRenderAction::PRUNE;
        }
    }
    return SoGLRenderAction::CONTINUE;
}
