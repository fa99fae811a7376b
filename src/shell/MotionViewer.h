#pragma once

#include <functional>

#include <Inventor/Qt/viewers/SoQtExaminerViewer.h>

#include "MotionPruning.h"

class CRepresentation;
class SoNode;

// The view's examiner viewer, timing its frames. While the camera moves (a
// drag, the spin after it, a seek) the frames of a scene too slow to follow
// leave out what the frame budget says; when the motion stops, one
// complete frame is drawn at once.
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

protected:
    void actualRedraw() override;

private:
    static void MotionFinished(void* data, SoQtViewer* viewer);

    std::function<const CRepresentation*()> m_shown;
    CMotionFrameBudget m_budget;
    CFramePruning m_pruning;
    const SoNode* m_pLastRoot = nullptr;
    FrameDetail m_lastDetail = FrameDetail::Complete;
    double m_lastSeconds = 0.0;
};
