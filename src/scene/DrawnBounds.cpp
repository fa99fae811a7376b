#include "DrawnBounds.h"

#include <algorithm>

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

// Units walked by one action when the walk has a deadline.
constexpr size_t kUnitsPerRun = 64;

SbBox3f WalkWhole(SoNode* node) {
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

void CDrawnBounds::Forget() {
    m_parts.clear();
    m_box.makeEmpty();
    m_walk.node = nullptr;
    m_walk.units.Clear();
}

const SbBox3f& CDrawnBounds::Of(SoNode* root) {
    WalkUntil(root, std::chrono::steady_clock::time_point::max());
    return m_box;
}

bool CDrawnBounds::WalkUntil(SoNode* root, std::chrono::steady_clock::time_point deadline) {
    const bool byParts = root && WalkedByParts(root);
    if (!root || root != m_pRoot || byParts != m_bByParts) {
        Forget();
    }
    m_pRoot = root;
    m_bByParts = byParts;
    if (!root) {
        return true;
    }
    if (!byParts) {
        // The whole root as one part.
        m_parts.resize(1, Part{0, SbBox3f()});
        if (root->getNodeId() != m_parts[0].id) {
            if (!WalkPart(0, root, root->getNodeId(), deadline)) {
                return false;
            }
            m_box = m_parts[0].box;
        }
        return true;
    }
    auto* group = static_cast<SoGroup*>(root);
    const auto count = static_cast<size_t>(group->getNumChildren());
    if (m_parts.size() != count) {
        m_parts.resize(count, Part{0, SbBox3f()});
        m_bStale = true;
    }
    for (size_t i = 0; i < count; ++i) {
        SoNode* child = group->getChild(static_cast<int>(i));
        // Cameras count as empty parts: they move with every frame.
        const uint32_t id = child->isOfType(SoCamera::getClassTypeId()) ? 0 : child->getNodeId();
        if (id == m_parts[i].id) {
            continue;
        }
        if (id == 0) {
            m_parts[i] = {0, SbBox3f()};
            m_bStale = true;
        } else if (!WalkPart(i, child, id, deadline)) {
            return false;
        }
    }
    if (m_bStale) {
        m_bStale = false;
        m_box.makeEmpty();
        for (const Part& part : m_parts) {
            if (!part.box.isEmpty()) {
                m_box.extendBy(part.box);
            }
        }
    }
    return true;
}

bool CDrawnBounds::WalkPart(size_t part, SoNode* node, uint32_t id, std::chrono::steady_clock::time_point deadline) {
    if (deadline == std::chrono::steady_clock::time_point::max()) {
        m_parts[part] = {id, WalkWhole(node)};
        m_bStale = true;
        return true;
    }
    if (m_walk.part != part || m_walk.node != node || m_walk.id != id) {
        m_walk.part = part;
        m_walk.node = node;
        m_walk.id = id;
        m_walk.units.Plan(node);
        m_walk.done = 0;
        m_walk.box.makeEmpty();
    }
    SoCallbackAction collect;
    collect.addPreCallback(SoShape::getClassTypeId(), &AddShape, &m_walk.box);
    const size_t count = m_walk.units.Count();
    while (m_walk.done < count) {
        const size_t last = std::min(count, m_walk.done + kUnitsPerRun);
        m_walk.units.Apply(collect, m_walk.done, last);
        m_walk.done = last;
        if (m_walk.done < count && std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
    }
    m_parts[part] = {id, m_walk.box};
    m_bStale = true;
    m_walk.node = nullptr;
    m_walk.units.Clear();
    return true;
}
