#pragma once

#include <memory>
#include <unordered_map>
#include <vector>

#include <Inventor/SbMatrix.h>

#include "CoinPtr.h"

class SbViewportRegion;
class SoGetMatrixAction;
class SoNode;
class SoNodeSensor;
class SoPath;
class SoSensor;

// The matrix a matrix action applied to a path finds at its tail, without
// walking every earlier sibling along the path each time: the node root
// and its children hold thousands of turns in a large scene. The matrices
// in force before each child of those two levels are remembered and the
// rest of the path is followed node by node, multiplied in the action's
// order, so the result is the action's to the last bit. Replacing a group
// by a group where one stood (a circle rebuilt in place) keeps them; any
// other change of the structure or of a transformation forgets them.
class CNodeMatrixCache {
public:
    CNodeMatrixCache();
    ~CNodeMatrixCache();
    CNodeMatrixCache(const CNodeMatrixCache&) = delete;
    CNodeMatrixCache& operator=(const CNodeMatrixCache&) = delete;

    // `path` runs from a selection node through its node root (child 0 or
    // later) to the node.
    SbMatrix MatrixAt(SoPath* path, const SbViewportRegion& region);
    void Clear();

private:
    struct Before {
        CoinPtr<SoNode> group;
        std::vector<SbMatrix> matrices;  // in force before each child
        bool known = true;               // false: a child whose effect is not modelled
    };
    // Multiplies `matrix` by the effect of `node` met off the path; false
    // when that effect is not modelled here.
    bool ApplyOffPath(SoNode* node, SbMatrix& matrix);
    const Before* BeforeChildren(SoNode* group, const SbMatrix& entering);
    void Watch(SoNode* root);
    static void Changed(void* data, SoSensor* sensor);

    std::unique_ptr<SoNodeSensor> m_pSensor;
    SoNode* m_pRoot = nullptr;
    std::unique_ptr<SoGetMatrixAction> m_pAction;
    std::unordered_map<const SoNode*, Before> m_before;
};
