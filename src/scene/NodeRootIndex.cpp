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
    m_byName.clear();
    m_places.clear();
    m_fresh = false;
    ++m_generation;
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
    auto* self = static_cast<CNodeRootIndex*>(data);
    // A field below changed (a colour): the nodes and names are the same.
    // No field: a child was added, removed or replaced.
    if (!self->m_bWriting && !static_cast<SoNodeSensor*>(sensor)->getTriggerField()) {
        self->m_fresh = false;
    }
}

SoNode* CNodeRootIndex::FirstNamed(const std::string& name) {
    Refresh();
    auto it = m_byName.find(name);
    return it == m_byName.end() ? nullptr : it->second.first;
}

CoinPtr<SoPath> CNodeRootIndex::PathTo(const SoNode* node) {
    Refresh();
    auto it = m_places.find(node);
    if (it == m_places.end()) {
        return {};
    }
    auto path = MakeCoin<SoPath>(m_pSelection);
    for (int index : it->second.path) {
        path->append(index);
    }
    return path;
}

unsigned long CNodeRootIndex::Stamp() {
    Refresh();
    return m_generation;
}

bool CNodeRootIndex::IsCurrent() const { return m_fresh && m_epoch == SceneNamingEpoch(); }

void CNodeRootIndex::Refresh() {
    if (!IsCurrent()) {
        Build();
    }
}

template <class F>
void CNodeRootIndex::Walk(SoNode* top, const std::vector<int>& path, F&& visit) const {
    // Depth first in child order, as a search action walks: a switch only
    // into the child it shows.
    struct Step {
        SoNode* node;
        size_t depth;  // indices on the path, the node's included
        int index;     // the node's index in its parent
    };
    std::vector<int> indices(path.begin(), path.end() - 1);
    std::vector<Step> todo{{top, path.size(), path.back()}};
    while (!todo.empty()) {
        const Step step = todo.back();
        todo.pop_back();
        indices.resize(step.depth - 1);
        indices.push_back(step.index);
        SoNode* node = step.node;
        // Each name read is a look-up in Coin's table of every named node.
        const SbName name = node->getName();
        if (name.getLength() > 0) {
            visit(node, DecodeSceneName(name.getString()), indices);
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

void CNodeRootIndex::Build() {
    m_byName.clear();
    m_places.clear();
    m_epoch = SceneNamingEpoch();
    m_fresh = true;
    ++m_generation;
    if (!m_pSelection || !m_pNodeRoot) {
        return;
    }
    const int rootIndex = m_pSelection->findChild(m_pNodeRoot);
    if (rootIndex < 0) {
        return;
    }
    Walk(m_pNodeRoot, {rootIndex},
         [this](SoNode* node, const std::string& name, const std::vector<int>& path) { AddPlace(node, name, path); });
}

void CNodeRootIndex::AddPlace(SoNode* node, const std::string& name, const std::vector<int>& path) {
    Place& place = m_places[node];
    if (place.count++ == 0 || path < place.path) {
        place.path = path;
    }
    Named& named = m_byName[name];
    // Paths of child indices compare in the order a depth-first walk meets them.
    if (named.count++ == 0 || path < m_places[named.first].path) {
        named.first = node;
    }
}

void CNodeRootIndex::RemovePlace(SoNode* node, const std::string& name, const std::vector<int>& path) {
    auto place = m_places.find(node);
    auto named = m_byName.find(name);
    if (place == m_places.end() || named == m_byName.end()) {
        m_fresh = false;
        return;
    }
    // The node's first place or its name's first node went: the next one
    // is not known without a walk.
    const bool wasFirstPlace = place->second.path == path;
    if (--place->second.count == 0) {
        m_places.erase(place);
    } else if (wasFirstPlace) {
        m_fresh = false;
    }
    if (--named->second.count == 0) {
        m_byName.erase(named);
    } else if (named->second.first == node && wasFirstPlace) {
        m_fresh = false;
    }
}

bool CNodeRootIndex::PathOfChild(SoGroup* parent, SoNode* old, std::vector<int>& path) const {
    const int index = parent->findChild(old);
    if (index < 0 || !m_pSelection) {
        return false;
    }
    if (parent == m_pNodeRoot) {
        const int rootIndex = m_pSelection->findChild(m_pNodeRoot);
        if (rootIndex < 0) {
            return false;
        }
        path = {rootIndex, index};
        return true;
    }
    // A named child standing in one place gives its parent's path.
    auto place = m_places.find(old);
    if (place == m_places.end() || place->second.count != 1 || place->second.path.back() != index) {
        return false;
    }
    path = place->second.path;
    return true;
}

void CNodeRootIndex::ReplaceChild(SoGroup* parent, SoNode* old, SoNode* replacement) {
    CoinPtr<SoNode> keep(old);  // walked after it left the scene
    std::vector<int> path;
    const bool follow = IsCurrent() && PathOfChild(parent, old, path);
    m_bWriting = follow;
    parent->replaceChild(old, replacement);
    m_bWriting = false;
    if (!follow) {
        m_fresh = false;
        return;
    }
    ++m_generation;
    Walk(old, path,
         [this](SoNode* node, const std::string& name, const std::vector<int>& at) { RemovePlace(node, name, at); });
    if (m_fresh) {
        Walk(replacement, path,
             [this](SoNode* node, const std::string& name, const std::vector<int>& at) { AddPlace(node, name, at); });
    }
    // Naming the new nodes was no renaming of a node in a scene.
    m_epoch = SceneNamingEpoch();
}

void CNodeRootIndex::NoteRenamedOutside(unsigned long epochBefore) {
    if (m_fresh && m_epoch == epochBefore) {
        m_epoch = SceneNamingEpoch();
    }
}

void CNodeRootIndex::Rename(SoNode* node, const std::string& name) {
    const bool follow = IsCurrent();
    const std::string oldName = GetSceneName(node);
    SetSceneName(node, name);
    if (!follow) {
        return;
    }
    m_epoch = SceneNamingEpoch();
    ++m_generation;
    auto place = m_places.find(node);
    if (place == m_places.end()) {
        // Unnamed before, it may stand below the node root unindexed.
        if (oldName.empty()) {
            m_fresh = false;
        }
        return;
    }
    if (oldName == name) {
        return;
    }
    if (name.empty()) {
        m_fresh = false;
        return;
    }
    // Every place of the node changes its name at once.
    const std::vector<int> path = place->second.path;
    const int count = place->second.count;
    auto named = m_byName.find(oldName);
    if (named == m_byName.end() || named->second.count < count) {
        m_fresh = false;
        return;
    }
    named->second.count -= count;
    if (named->second.count == 0) {
        m_byName.erase(named);
    } else if (named->second.first == node) {
        m_fresh = false;
        return;
    }
    Named& renamed = m_byName[name];
    if (renamed.count == 0 || path < m_places[renamed.first].path) {
        renamed.first = node;
    }
    renamed.count += count;
}
