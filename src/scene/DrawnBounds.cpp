#include "DrawnBounds.h"

#include <Inventor/SbMatrix.h>
#include <Inventor/actions/SoCallbackAction.h>
#include <Inventor/nodes/SoCamera.h>
#include <Inventor/nodes/SoGroup.h>
#include <Inventor/nodes/SoSeparator.h>
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

// Parts of a root worth a box of their own: a scene's root holds a few
// big ones (its molecules, labels, edges).
constexpr int kMostParts = 8;

SbBox3f Walk(SoNode* node) {
    SbBox3f box;
    SoCallbackAction collect;
    collect.addPreCallback(SoShape::getClassTypeId(), &AddShape, &box);
    collect.apply(node);
    return box;
}

// Whether each child can be walked on its own: a separator keeps what it
// sets to itself, and a camera sets nothing that moves a shape.
bool WalkedByParts(const SoNode* root) {
    if (!root->isOfType(SoGroup::getClassTypeId())) {
        return false;
    }
    const auto* group = static_cast<const SoGroup*>(root);
    if (group->getNumChildren() > kMostParts) {
        return false;
    }
    for (int i = 0; i < group->getNumChildren(); ++i) {
        const SoNode* child = group->getChild(i);
        if (!child->isOfType(SoSeparator::getClassTypeId()) && !child->isOfType(SoCamera::getClassTypeId())) {
            return false;
        }
    }
    return true;
}

}  // namespace

const SbBox3f& CDrawnBounds::Of(SoNode* root) {
    if (!root) {
        m_pRoot = nullptr;
        m_parts.clear();
        m_box.makeEmpty();
        return m_box;
    }
    if (!WalkedByParts(root)) {
        if (root != m_pRoot || root->getNodeId() != m_rootId || !m_parts.empty()) {
            m_parts.clear();
            m_box = Walk(root);
        }
        m_pRoot = root;
        m_rootId = root->getNodeId();
        return m_box;
    }
    if (root != m_pRoot) {
        m_parts.clear();
    }
    m_pRoot = root;
    m_rootId = root->getNodeId();
    auto* group = static_cast<SoGroup*>(root);
    const auto count = static_cast<size_t>(group->getNumChildren());
    bool changed = m_parts.size() != count;
    m_parts.resize(count, Part{0, SbBox3f()});
    for (size_t i = 0; i < count; ++i) {
        SoNode* child = group->getChild(static_cast<int>(i));
        // Cameras count as empty parts: they move with every frame.
        const uint32_t id = child->isOfType(SoCamera::getClassTypeId()) ? 0 : child->getNodeId();
        if (id != m_parts[i].id) {
            m_parts[i] = {id, id != 0 ? Walk(child) : SbBox3f()};
            changed = true;
        }
    }
    if (changed) {
        m_box.makeEmpty();
        for (const Part& part : m_parts) {
            if (!part.box.isEmpty()) {
                m_box.extendBy(part.box);
            }
        }
    }
    return m_box;
}
