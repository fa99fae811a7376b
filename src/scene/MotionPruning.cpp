#include "MotionPruning.h"

#include <algorithm>
#include <vector>

#include <Inventor/SbBox2f.h>
#include <Inventor/SbColor.h>
#include <Inventor/SbViewVolume.h>
#include <Inventor/SoFullPath.h>
#include <Inventor/actions/SoCallbackAction.h>
#include <Inventor/elements/SoLazyElement.h>
#include <Inventor/elements/SoModelMatrixElement.h>
#include <Inventor/elements/SoViewVolumeElement.h>
#include <Inventor/misc/SoState.h>
#include <Inventor/nodes/SoCone.h>
#include <Inventor/nodes/SoCoordinate3.h>
#include <Inventor/nodes/SoDrawStyle.h>
#include <Inventor/nodes/SoLightModel.h>
#include <Inventor/nodes/SoMaterial.h>
#include <Inventor/nodes/SoMaterialBinding.h>
#include <Inventor/nodes/SoPerspectiveCamera.h>
#include <Inventor/nodes/SoPointSet.h>
#include <Inventor/nodes/SoSeparator.h>
#include <Inventor/nodes/SoShape.h>
#include <Inventor/nodes/SoSphere.h>
#include <Inventor/nodes/SoText2.h>

#include "FrameSlices.h"
#include "Representation.h"

namespace {

// Share of a complete frame's time that a frame of each detail takes,
// roughly, in the box view: the labels about half, the edges a quarter;
// points next to nothing.
constexpr double kShareOfComplete[] = {1.0, 0.5, 0.25, 0.0};

FrameDetail Poorer(FrameDetail detail) {
    return detail == FrameDetail::MoleculePoints ? detail
                                                 : static_cast<FrameDetail>(static_cast<int>(detail) + 1);
}

}  // namespace

void CMotionFrameBudget::FrameDrawn(bool moving, FrameDetail detail, double seconds) {
    const bool slow = seconds > m_budget;
    if (!moving) {
        if (detail != FrameDetail::Complete) {
            return;
        }
        // A complete frame within the budget moves completely too (the
        // camera may have come close); a slow one picks the richest detail
        // it can afford, no richer than moving frames found affordable.
        if (!slow) {
            m_moving = m_learnt = FrameDetail::Complete;
            return;
        }
        FrameDetail estimate = FrameDetail::NoLabels;
        while (estimate != FrameDetail::MoleculePoints &&
               seconds * kShareOfComplete[static_cast<int>(estimate)] > m_budget) {
            estimate = Poorer(estimate);
        }
        m_moving = std::max(estimate, m_learnt);
        return;
    }
    if (slow && detail == m_moving) {
        m_moving = m_learnt = Poorer(m_moving);
    }
}

CFramePruning::CFramePruning() : m_pStamp(MakeCoin<SoText2>()) {}

CFramePruning::~CFramePruning() { Detach(); }

void CFramePruning::Attach(SoGLRenderAction& action, const CRepresentation& rep, FrameDetail detail) {
    // The children of the roots rather than the roots: Coin ends a group's
    // traversal at a pruned child, which must not take the edges after the
    // labels with it.
    AttachEmptied(action, {detail >= FrameDetail::NoLabels ? rep.GetGreenCharRoot() : nullptr,
                           detail >= FrameDetail::NoLabels ? rep.GetRedCharRoot() : nullptr,
                           detail >= FrameDetail::MoleculesOnly ? rep.GetEdgeRoot() : nullptr,
                           detail >= FrameDetail::MoleculePoints ? rep.GetNodeRoot() : nullptr});
}

void CFramePruning::AttachWhole(SoGLRenderAction& action, const CRepresentation& rep) {
    // The root's children, the camera too: the points bring their own.
    AttachEmptied(action, {rep.GetRoot()});
}

void CFramePruning::AttachEmptied(SoGLRenderAction& action, const std::vector<const SoNode*>& parents) {
    Detach();
    m_emptied = parents;
    m_shapes = 0;
    m_screens = 0.0;
    m_labels = 0;
    m_pAction = &action;
    action.setAbortCallback(&CFramePruning::OnNode, this);
}

void CFramePruning::Drain() {
    m_drain();
    m_shapes = 0;
    m_screens = 0.0;
}

double CFramePruning::ScreensCovered(SoShape& shape) const {
    SoState* state = m_pAction->getState();
    const SbMatrix& model = SoModelMatrixElement::get(state);
    const SbViewVolume& volume = SoViewVolumeElement::get(state);
    // A point of the shape on the window plane, the window from 0 to 1;
    // false behind the eye.
    const auto seen = [&](const SbVec3f& point, SbVec2f& at) {
        SbVec3f world, screen;
        model.multVecMatrix(point, world);
        if ((world - volume.getProjectionPoint()).dot(volume.getProjectionDirection()) <= 0.0f) {
            return false;
        }
        volume.projectToScreen(world, screen);
        at.setValue(screen[0], screen[1]);
        return true;
    };
    const auto inside = [](const SbVec2f& at) {
        return SbVec2f(std::clamp(at[0], 0.0f, 1.0f), std::clamp(at[1], 0.0f, 1.0f));
    };
    if (shape.isOfType(SoCone::getClassTypeId())) {
        // An edge: its box would count a thin slanting one as a wide one.
        // Its length on the window times its width (seen across from
        // either side), at most the window.
        const auto& cone = static_cast<const SoCone&>(shape);
        const float half = cone.height.getValue() / 2.0f;
        const float radius = cone.bottomRadius.getValue();
        SbVec2f tip, base, side, front;
        if (!seen(SbVec3f(0.0f, half, 0.0f), tip) || !seen(SbVec3f(0.0f, -half, 0.0f), base) ||
            !seen(SbVec3f(radius, -half, 0.0f), side) || !seen(SbVec3f(0.0f, -half, radius), front)) {
            return 1.0;  // reaches behind the eye: may fill the window
        }
        const float width = std::min(1.0f, 2.0f * std::max((side - base).length(), (front - base).length()));
        const float length = (inside(tip) - inside(base)).length();
        return std::min(1.0, static_cast<double>(std::max(length, width) * width));
    }
    SbBox3f box;
    SbVec3f center;
    shape.computeBBox(m_pAction, box, center);
    if (box.isEmpty()) {
        return 0.0;
    }
    SbBox2f covered;
    for (int corner = 0; corner < 8; ++corner) {
        SbVec2f at;
        if (!seen(SbVec3f((corner & 1) ? box.getMax()[0] : box.getMin()[0],
                          (corner & 2) ? box.getMax()[1] : box.getMin()[1],
                          (corner & 4) ? box.getMax()[2] : box.getMin()[2]),
                  at)) {
            return 1.0;
        }
        covered.extendBy(inside(at));
    }
    float width = 0.0f, height = 0.0f;
    covered.getSize(width, height);
    return static_cast<double>(width) * static_cast<double>(height);
}

void CFramePruning::Detach() {
    if (m_pAction) {
        m_pAction->setAbortCallback(nullptr, nullptr);
        m_pAction = nullptr;
    }
}

SoGLRenderAction::AbortCode CFramePruning::OnNode(void* data) {
    auto* self = static_cast<CFramePruning*>(data);
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
    if (self->m_pSlices) {
        const SoGLRenderAction::AbortCode code = self->m_pSlices->Visit(*self->m_pAction, *path);
        if (code != SoGLRenderAction::CONTINUE) {
            return code;
        }
    }
    const SoNode* node = path->getTail();
    if (!self->m_bCheap || !node->isOfType(SoShape::getClassTypeId())) {
        return SoGLRenderAction::CONTINUE;
    }
    // Coin ends a group's traversal at a pruned child: only a last child
    // may be left to other means.
    const bool last = parent->isOfType(SoGroup::getClassTypeId()) &&
                      path->getIndexFromTail(0) == static_cast<const SoGroup*>(parent)->getNumChildren() - 1;
    return self->OnShape(node, last);
}

SoGLRenderAction::AbortCode CFramePruning::OnShape(const SoNode* node, bool lastChild) {
    // The software renderer queues what it is given until its threads
    // have drawn it, and the traversal outruns them: unchecked, a frame's
    // whole geometry waited in memory at once.
    // The software renderer draws when waited for, and shapes that fill
    // much of the window (long thick edges) take it milliseconds each: in
    // a frame drawn in slices they are waited for sooner, so that the time
    // the traversal reads stays near the drawing's.
    if (m_bSliced && !node->isOfType(SoText2::getClassTypeId())) {
        m_screens += ScreensCovered(*const_cast<SoShape*>(static_cast<const SoShape*>(node)));
    }
    if ((++m_shapes >= kShapesPerDrain || m_screens >= kScreensPerDrain) && m_drain) {
        Drain();
    }
    if (!lastChild) {
        return SoGLRenderAction::CONTINUE;
    }
    SoState* state = m_pAction->getState();
    // Drawn fully transparent, a shape adds nothing to the picture (its
    // blend adds zero, transparent shapes write no depth) yet was queued
    // for the transparent pass and drawn there.
    if (SoLazyElement::getTransparency(state, 0) >= 1.0f) {
        return SoGLRenderAction::PRUNE;
    }
    if (!node->isOfType(SoText2::getClassTypeId())) {
        return SoGLRenderAction::CONTINUE;
    }
    // A text node keeps the picture of its string from its first frame on
    // (some 5 KB a label): every label is drawn through one node instead,
    // with the same state and so the same pixels.
    const auto* text = static_cast<const SoText2*>(node);
    // Each letter reaches the software renderer as an image of its own,
    // kept until drawn: some 80 KB a label, so labels wait for the driver
    // far more often than other shapes.
    if (++m_labels % kLabelsPerDrain == 0 && m_drain) {
        Drain();
    }
    if (!(m_pStamp->string == text->string)) {
        m_pStamp->string = text->string;
    }
    if (m_pStamp->spacing.getValue() != text->spacing.getValue()) {
        m_pStamp->spacing = text->spacing.getValue();
    }
    if (m_pStamp->justification.getValue() != text->justification.getValue()) {
        m_pStamp->justification = text->justification.getValue();
    }
    m_pStamp->GLRender(m_pAction);
    return SoGLRenderAction::PRUNE;
}

namespace {

struct CloudPoints {
    std::vector<SbVec3f> places;
    std::vector<SbColor> colours;
};

SoCallbackAction::Response CollectSphere(void* data, SoCallbackAction* action, const SoNode* /*node*/) {
    SbColor ambient, diffuse, specular, emission;
    float shininess = 0.0f, transparency = 0.0f;
    action->getMaterial(ambient, diffuse, specular, emission, shininess, transparency);
    // A molecule drawn fully transparent shows nothing.
    if (transparency < 1.0f) {
        auto* points = static_cast<CloudPoints*>(data);
        SbVec3f place;
        action->getModelMatrix().multVecMatrix(SbVec3f(0.0f, 0.0f, 0.0f), place);
        points->places.push_back(place);
        points->colours.push_back(diffuse);
    }
    return SoCallbackAction::CONTINUE;
}

}  // namespace

CMoleculeCloud::CMoleculeCloud() = default;
CMoleculeCloud::~CMoleculeCloud() = default;

SoNode* CMoleculeCloud::For(const CRepresentation& rep) {
    const SoSeparator* molecules = rep.GetNodeRoot();
    SoCamera* camera = rep.GetCamera();
    if (!molecules || !camera) {
        return nullptr;
    }
    if (m_pFrame && m_pSource == molecules && m_sourceId == molecules->getNodeId() &&
        m_pFrame->getChild(0) == camera) {
        return m_pFrame.get();
    }
    CloudPoints points;
    SoCallbackAction collect;
    collect.addPreCallback(SoSphere::getClassTypeId(), &CollectSphere, &points);
    collect.apply(const_cast<SoSeparator*>(molecules));
    Make(rep, points.places, points.colours);
    return m_pFrame.get();
}

void CMoleculeCloud::Use(const CRepresentation& rep, const std::vector<SbVec3f>& places,
                         const std::vector<SbColor>& colours) {
    if (rep.GetNodeRoot() && rep.GetCamera()) {
        Make(rep, places, colours);
    }
}

void CMoleculeCloud::Make(const CRepresentation& rep, const std::vector<SbVec3f>& places,
                          const std::vector<SbColor>& colours) {
    const SoSeparator* molecules = rep.GetNodeRoot();
    SoCamera* camera = rep.GetCamera();
    auto frame = MakeCoin<SoSeparator>();
    frame->addChild(camera);
    auto light = MakeCoin<SoLightModel>();
    light->model.setValue(SoLightModel::BASE_COLOR);
    auto style = MakeCoin<SoDrawStyle>();
    style->pointSize.setValue(3.0f);
    auto binding = MakeCoin<SoMaterialBinding>();
    binding->value.setValue(SoMaterialBinding::PER_VERTEX);
    auto material = MakeCoin<SoMaterial>();
    material->diffuseColor.setValues(0, static_cast<int>(colours.size()), colours.data());
    auto coordinates = MakeCoin<SoCoordinate3>();
    coordinates->point.setValues(0, static_cast<int>(places.size()), places.data());
    auto set = MakeCoin<SoPointSet>();
    for (SoNode* node : {static_cast<SoNode*>(light.get()), static_cast<SoNode*>(style.get()),
                         static_cast<SoNode*>(binding.get()), static_cast<SoNode*>(material.get()),
                         static_cast<SoNode*>(coordinates.get()), static_cast<SoNode*>(set.get())}) {
        frame->addChild(node);
    }
    m_pFrame = frame;
    m_pSource = molecules;
    m_sourceId = molecules->getNodeId();
    m_points = places.size();
}
