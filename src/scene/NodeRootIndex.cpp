#include "NodeRootIndex.h"

#include <vector>

#include <Inventor/SoPath.h>
#include <Inventor/nodes/SoSelection.h>
#include <Inventor/nodes/SoSeparator.h>
#include <Inventor/nodes/SoSwitch.h>
#include <Inventor/sensors/SoNodeSensor.h>

#include "SceneNames.h"

CNodeRootIndex::CNodeRootIndex() = default;

CNodeRootIndex::~CNodeRootIndex() = default;

void CNodeRootIndex::Attach(SoSelection* selection, SoSeparator* nodeRoot) {
    m_pSelection = selection;
    m_pNodeRoot = nodeRoot;
    m_firstByName.clear();
    m_paths.clear();
    m_fresh = false;
    if (!m_pSensor) {
        m_pSensor = std::make_unique<SoNodeSensor>(&CNodeRootIndex::Changed, this);
        // Immediate: the index must be stale before anyone asks it again.
        m_pSensor->setPriority(0);
    }
    m_pSensor->detach();
    if (nodeRoot) {
        m_pSensor->attach(nodeRoot);
    }
}

void CNodeRootIndex::Changed(void* data, SoSensor* sensor) {
    // A field below changed (a colour): the nodes and names are the same.
    // No field: a child was added, removed or replaced.
    if (!static_cast<SoNodeSensor*>(sensor)->getTriggerField()) {
        static_cast<CNodeRootIndex*>(data)->m_fresh = false;
    }
}

SoNode* CNodeRootIndex::FirstNamed(const std::string& name) {
    Refresh();
    auto it = m_firstByName.find(name);
    return it == m_firstByName.end() ? nullptr : it->second;
}

CoinPtr<SoPath> CNodeRootIndex::PathTo(const SoNode* node) {
    Refresh();
    auto it = m_paths.find(node);
    if (it == m_paths.end()) {
        return {};
    }
    auto path = MakeCoin<SoPath>(m_pSelection);
    for (int index : it->second) {
        path->append(index);
    }
    return path;
}

void CNodeRootIndex::Refresh() {
    if (!m_fresh || m_epoch != SceneNamingEpoch()) {
        Build();
    }
}

void CNodeRootIndex::Build() {
    m_firstByName.clear();
    m_paths.clear();
    m_epoch = SceneNamingEpoch();
    m_fresh = true;
    if (!m_pSelection || !m_pNodeRoot) {
        return;
    }
    const int rootIndex = m_pSelection->findChild(m_pNodeRoot);
    if (rootIndex < 0) {
        return;
    }
    // Depth first in child order, as a search action walks: a switch only
    // into the child it shows.
    struct Step {
        SoNode* node;
        int depth;  // indices below the selection node, the node's included
        int index;  // the node's index in its parent
    };
    std::vector<int> indices;
    std::vector<Step> todo{{m_pNodeRoot, 1, rootIndex}};
    while (!todo.empty()) {
        const Step step = todo.back();
        todo.pop_back();
        indices.resize(static_cast<size_t>(step.depth - 1));
        indices.push_back(step.index);
        SoNode* node = step.node;
        if (node->getName().getLength() > 0) {
            m_firstByName.emplace(GetSceneName(node), node);
            m_paths.emplace(node, indices);  // the first path stays
        }
        if (!node->isOfType(SoGroup::getClassTypeId())) {
            continue;
        }
        auto* group = static_cast<SoGroup*>(node);
        int first = 0, last = group->getNumChildren() - 1;
        if (node->isOfType(SoSwitch::getClassTypeId())) {
            const int shown = static_cast<SoSwitch*>(node)->whichChild.getValue();
            if (shown != SO_SWITCH_ALL) {
                first = last = shown;
                if (shown < 0 || shown >= group->getNumChildren()) {
                    continue;
                }
            }
        }
        for (int i = last; i >= first; --i) {
            todo.push_back({group->getChild(i), step.depth + 1, i});
        }
    }
}
