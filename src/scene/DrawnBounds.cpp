#include "DrawnBounds.h"

#include <Inventor/SbMatrix.h>
#include <Inventor/actions/SoCallbackAction.h>
#include <Inventor/nodes/SoCamera.h>
#include <Inventor/nodes/SoGroup.h>
#include <Inventor/nodes/SoShape.h>
#include <Inventor/nodes/SoText2.h>

namespace {

SoCallbackAction::Response AddShape(void* data, SoCallbackAction* action, const SoNode* node) {
    auto* box = static_cast<SbBox3f*>(data);
    const SbMatrix& model = action->getModelMatrix();
    if (node->isOfType(SoText2::getClassTypeId())) {
        SbVec3f anchor;
        model.multVecMatrix(SbVec3f(0.0f, 0.0f, 0.0f), anchor);
        box->extendBy(anchor);
        return SoCallbackAction::CONTINUE;
    }
    SbBox3f own;
    SbVec3f centre;
    // Reads the shape's fields and the state only; nothing is kept.
    const_cast<SoShape*>(static_cast<const SoShape*>(node))->computeBBox(action, own, centre);
    if (!own.isEmpty()) {
        own.transform(model);
        box->extendBy(own);
    }
    return SoCallbackAction::CONTINUE;
}

// What the box depends on: the root's children but its cameras, which
// move with every frame.
void ChildIds(const SoNode* root, std::vector<uint32_t>& ids) {
    ids.clear();
    if (!root->isOfType(SoGroup::getClassTypeId())) {
        ids.push_back(root->getNodeId());
        return;
    }
    const auto* group = static_cast<const SoGroup*>(root);
    for (int i = 0; i < group->getNumChildren(); ++i) {
        const SoNode* child = group->getChild(i);
        if (!child->isOfType(SoCamera::getClassTypeId())) {
            ids.push_back(child->getNodeId());
        }
    }
}

}  // namespace

const SbBox3f& CDrawnBounds::Of(SoNode* root) {
    std::vector<uint32_t> ids;
    if (root) {
        ChildIds(root, ids);
    }
    if (root == m_pRoot && ids == m_childIds) {
        return m_box;
    }
    m_box.makeEmpty();
    if (root) {
        SoCallbackAction collect;
        collect.addPreCallback(SoShape::getClassTypeId(), &AddShape, &m_box);
        collect.apply(root);
    }
    m_pRoot = root;
    m_childIds = std::move(ids);
    return m_box;
}
