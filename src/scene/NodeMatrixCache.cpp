#include "NodeMatrixCache.h"

#include <Inventor/SoPath.h>
#include <Inventor/actions/SoGetMatrixAction.h>
#include <Inventor/nodes/SoFont.h>
#include <Inventor/nodes/SoMaterial.h>
#include <Inventor/nodes/SoSeparator.h>
#include <Inventor/nodes/SoShape.h>
#include <Inventor/nodes/SoTransformation.h>
#include <Inventor/sensors/SoNodeSensor.h>

namespace {

bool IsSeparator(const SoNode* node) { return node && node->isOfType(SoSeparator::getClassTypeId()); }

// Levels of the path (counted from its head) whose matrices are kept: the
// node root and its children.
bool IsKeptLevel(int depth) { return depth == 1 || depth == 2; }

}  // namespace

CNodeMatrixCache::CNodeMatrixCache() = default;

CNodeMatrixCache::~CNodeMatrixCache() {
    if (m_pSensor) {
        m_pSensor->detach();
    }
}

void CNodeMatrixCache::Clear() { m_before.clear(); }

void CNodeMatrixCache::Watch(SoNode* root) {
    if (root == m_pRoot) {
        return;
    }
    Clear();
    if (!m_pSensor) {
        m_pSensor = std::make_unique<SoNodeSensor>(&CNodeMatrixCache::Changed, this);
        // Immediate: the matrices must be forgotten before anyone asks again.
        m_pSensor->setPriority(0);
    }
    m_pSensor->detach();
    m_pRoot = root;
    if (root) {
        m_pSensor->attach(root);
    }
}

void CNodeMatrixCache::Changed(void* data, SoSensor* sensor) {
    auto* self = static_cast<CNodeMatrixCache*>(data);
    auto* node = static_cast<SoNodeSensor*>(sensor);
    if (node->getTriggerField()) {
        // A colour or a shape's size moves nothing; a transformation or a
        // switch does.
        SoNode* changed = node->getTriggerNode();
        if (!changed || changed->isOfType(SoTransformation::getClassTypeId()) ||
            changed->isOfType(SoGroup::getClassTypeId())) {
            self->Clear();
        }
        return;
    }
    if (node->getTriggerOperationType() == SoNotRec::GROUP_REPLACECHILD &&
        IsSeparator(node->getTriggerGroupChild()) && IsSeparator(node->getTriggerReplacedGroupChild())) {
        // A separator off the path changes nothing; the one replaced takes
        // what was kept below it along.
        self->m_before.erase(node->getTriggerReplacedGroupChild());
        return;
    }
    self->Clear();
}

bool CNodeMatrixCache::ApplyOffPath(SoNode* node, SbMatrix& matrix) {
    if (node->isOfType(SoSeparator::getClassTypeId())) {
        return true;
    }
    if (node->isOfType(SoTransformation::getClassTypeId())) {
        // The node's own matrix, as the action multiplies it in.
        m_pAction->apply(node);
        matrix.multLeft(m_pAction->getMatrix());
        return true;
    }
    return node->isOfType(SoMaterial::getClassTypeId()) || node->isOfType(SoShape::getClassTypeId()) ||
           node->isOfType(SoFont::getClassTypeId());
}

const CNodeMatrixCache::Before* CNodeMatrixCache::BeforeChildren(SoNode* group, const SbMatrix& entering) {
    auto it = m_before.find(group);
    if (it != m_before.end()) {
        return &it->second;
    }
    Before before;
    before.group = CoinPtr<SoNode>(group);
    auto* children = static_cast<SoGroup*>(group);
    SbMatrix matrix = entering;
    const int count = children->getNumChildren();
    before.matrices.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        before.matrices.push_back(matrix);
        if (!ApplyOffPath(children->getChild(i), matrix)) {
            before.known = false;
            break;
        }
    }
    return &m_before.emplace(group, std::move(before)).first->second;
}

SbMatrix CNodeMatrixCache::MatrixAt(SoPath* path, const SbViewportRegion& region) {
    if (!m_pAction) {
        m_pAction = std::make_unique<SoGetMatrixAction>(region);
    } else {
        m_pAction->setViewportRegion(region);
    }
    auto byAction = [&]() {
        m_pAction->apply(path);
        return m_pAction->getMatrix();
    };
    const int length = path ? path->getLength() : 0;
    if (length < 2) {
        return path ? byAction() : SbMatrix::identity();
    }
    Watch(path->getNode(1));
    SbMatrix matrix = SbMatrix::identity();
    for (int depth = 0; depth + 1 < length; ++depth) {
        SoNode* group = path->getNode(depth);
        const int index = path->getIndex(depth + 1);
        // Only separators are walked here: other groups treat the path differently.
        if (!IsSeparator(group)) {
            return byAction();
        }
        if (IsKeptLevel(depth)) {
            const Before* before = BeforeChildren(group, matrix);
            if (index < 0 || static_cast<size_t>(index) >= before->matrices.size()) {
                return byAction();
            }
            matrix = before->matrices[static_cast<size_t>(index)];
            continue;
        }
        auto* children = static_cast<SoGroup*>(group);
        for (int i = 0; i < index; ++i) {
            if (!ApplyOffPath(children->getChild(i), matrix)) {
                return byAction();
            }
        }
    }
    SoNode* tail = path->getTail();
    if (tail->isOfType(SoTransformation::getClassTypeId()) || tail->isOfType(SoGroup::getClassTypeId())) {
        return byAction();
    }
    return matrix;
}
