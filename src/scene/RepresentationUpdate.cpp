// Scene updates after an edit: the renamed sphere and label, and one
// circle's spheres, edges and labels replaced in place under their parents.
#include <algorithm>
#include <unordered_map>
#include <vector>

#include <Inventor/SoPath.h>
#include <Inventor/actions/SoSearchAction.h>
#include <Inventor/nodes/SoSelection.h>
#include <Inventor/nodes/SoSeparator.h>
#include <Inventor/nodes/SoSphere.h>
#include <Inventor/nodes/SoText2.h>

#include "LabelReuse.h"
#include "LinkText.h"
#include "Node.h"
#include "Representation.h"
#include "SceneHost.h"
#include "SceneNames.h"

namespace {

// The path to the first node under `root` bearing `name` (kept alive).
CoinPtr<SoPath> FindPath(SoNode* root, const std::string& name) {
    SoSearchAction search;
    SetSearchName(search, name);
    search.setInterest(SoSearchAction::FIRST);
    search.apply(root);
    return CoinPtr<SoPath>(search.getPath() ? search.getPath()->copy() : nullptr);
}

SoNode* FindUnder(SoNode* root, const std::string& name) {
    CoinPtr<SoPath> path = FindPath(root, name);
    return path ? path->getTail() : nullptr;
}

std::string Numbered(const char* prefix, int circle) { return prefix + std::to_string(circle); }

// Where each group was last found under its root: a root holds a group
// per cell, and a search along them grows with the graph. A remembered
// place is only believed when the group still stands there.
std::unordered_map<const SoNode*, int>& Places() {
    static std::unordered_map<const SoNode*, int> places;
    return places;
}

void NotePlace(const SoNode* node, int place) {
    auto& places = Places();
    if (places.size() >= 4096) {
        places.clear();
    }
    places[node] = place;
}

// The child of `root` bearing `name`, or null, and its place. The name
// table answers first; only when its node belongs to another scene are
// the children read.
SoNode* ChildNamed(SoSeparator* root, const std::string& name, int* place = nullptr) {
    SoNode* named = FindNodeBySceneName(name);
    if (named) {
        auto known = Places().find(named);
        int at = known != Places().end() ? known->second : -1;
        if (at < 0 || at >= root->getNumChildren() || root->getChild(at) != named) {
            at = root->findChild(named);
            if (at >= 0) {
                NotePlace(named, at);
            }
        }
        if (at >= 0) {
            if (place) {
                *place = at;
            }
            return named;
        }
    }
    for (int i = 0; i < root->getNumChildren(); ++i) {
        if (GetSceneName(root->getChild(i)) == name) {
            if (place) {
                *place = i;
            }
            return root->getChild(i);
        }
    }
    return nullptr;
}

// root's child at `place` replaced, its successor's place remembered.
void ReplaceAt(SoSeparator* root, int place, SoNode* replacement) {
    root->replaceChild(place, replacement);
    NotePlace(replacement, place);
}

// The node index an edge group's cone names as its source, or -1 when
// the child is no edge group of `circle`.
int SourceOfEdge(SoNode* child, int circle) {
    auto* edge = child->isOfType(SoGroup::getClassTypeId()) ? static_cast<SoGroup*>(child) : nullptr;
    if (!edge || edge->getNumChildren() != 5) {
        return -1;
    }
    NodePos from, to;
    if (!EdgeConeEnds(GetSceneName(edge->getChild(4)), from, to) || from.circle != circle || from.index < 0) {
        return -1;
    }
    return from.index;
}

CoinPtr<SoSeparator> NamedGroup(const std::string& name) {
    auto group = MakeCoin<SoSeparator>();
    NameNewSceneNode(group.get(), name);
    return group;
}

}  // namespace

void CRepresentation::DeselectWithin(SoNode* node) {
    if (!m_pSelection || !node) {
        return;
    }
    for (int i = m_pSelection->getNumSelected() - 1; i >= 0; --i) {
        SoPath* path = m_pSelection->getPath(i);
        if (path->containsNode(node)) {
            CoinPtr<SoPath> keep(path);
            m_pSelection->deselect(i);
        }
    }
}

SoNode* CRepresentation::CircleSpheres(int circle) {
    return m_nodeIndex.FirstNamed(Numbered("CircleNumber:", circle));
}

int CRepresentation::RenameInScene(const std::string& oldName, const std::string& newName, int circle) {
    return RenameInScene(oldName, newName, circle, circle > 0 ? LabelCirclesOf(oldName, circle) : std::vector<int>());
}

int CRepresentation::RenameInScene(const std::string& oldName, const std::string& newName, int circle,
                                   const std::vector<int>& labelCircles) {
    SoNode* spheres = circle > 0 ? CircleSpheres(circle) : nullptr;
    SoNode* sphere = spheres ? FindUnder(spheres, oldName) : m_nodeIndex.FirstNamed(oldName);
    if (sphere && sphere->isOfType(SoSphere::getClassTypeId())) {
        // A name no node bears anywhere needs no look-up.
        if (FindNodeBySceneName(newName) && m_nodeIndex.FirstNamed(newName)) {
            m_host.ShowMessage(kNameTaken);
            return 0;
        }
        m_nodeIndex.Rename(sphere, newName);
    }
    // Labels lie outside the node root: their new names leave its index as it is.
    const unsigned long epochBefore = SceneNamingEpoch();
    std::vector<SoNode*> labelRoots;
    if (spheres) {
        for (int c : labelCircles) {
            for (SoNode* group : {ChildNamed(m_pGreenCharRoot.get(), Numbered("GreenCharCircleNum:", c)),
                                  ChildNamed(m_pRedCharRoot.get(), Numbered("RedCharCircleNum:", c))}) {
                if (group) {
                    labelRoots.push_back(group);
                }
            }
        }
    } else {
        labelRoots.push_back(m_pLabelRoot.get());
    }
    int renamed = 0;
    for (SoNode* root : labelRoots) {
        // A label may stand in several places (next to its neighbours' labels).
        SoSearchAction search;
        SetSearchName(search, "text_" + oldName);
        search.setInterest(SoSearchAction::ALL);
        search.apply(root);
        const SoPathList& paths = search.getPaths();
        for (int i = 0; i < paths.getLength(); ++i) {
            SoNode* label = paths[i]->getTail();
            if (label->isOfType(SoText2::getClassTypeId())) {
                SetSceneName(label, "text_" + newName);
                static_cast<SoText2*>(label)->string.setValue(newName.c_str());
                renamed = 1;
            }
        }
    }
    m_nodeIndex.NoteRenamedOutside(epochBefore);
    return renamed;
}

std::vector<int> CRepresentation::LabelCirclesOf(const std::string& name, int circle) const {
    std::vector<int> circles{circle};
    const CNode* graph = Graph();
    const CCircleData* own = graph ? graph->GetCircle(circle) : nullptr;
    if (!NestsNeighbourLabels() || !own) {
        return circles;
    }
    int index = -1;
    for (size_t k = 0; k < own->m_lstMolecules.size() && index < 0; ++k) {
        if (own->m_lstMolecules[k].name == name) {
            index = static_cast<int>(k);
        }
    }
    if (index < 0) {
        return circles;
    }
    // A shown molecule's label nests the labels of its link targets: those
    // beside the molecules linking here bear the name too. The start-up
    // graph keeps no incoming lists, so the links are read.
    for (const CCircleData& data : graph->m_lstCircles) {
        for (const MoleculeRecord& m : data.m_lstMolecules) {
            if (m.level != 0 || m.links.empty() || circles.back() == data.CircleNum) {
                continue;
            }
            for (const LinkEntry& link : ParseLinkEntries(m.links)) {
                if (link.circle == circle && link.index == index) {
                    circles.push_back(data.CircleNum);
                    break;
                }
                if (link.circle <= 0) {
                    break;
                }
            }
        }
    }
    std::sort(circles.begin(), circles.end());
    circles.erase(std::unique(circles.begin(), circles.end()), circles.end());
    return circles;
}

void CRepresentation::DeselectCurrent() {
    // Only the selected paths are read, not the scene.
    if (!m_strCurrentName.empty() && m_pSelection) {
        for (int i = m_pSelection->getNumSelected() - 1; i >= 0; --i) {
            SoPath* path = m_pSelection->getPath(i);
            if (GetSceneName(path->getTail()) == m_strCurrentName) {
                CoinPtr<SoPath> keep(path);
                m_pSelection->deselect(i);
                break;
            }
        }
    }
}

int CRepresentation::RebuildCircle(int circle) {
    DeselectCurrent();
    const int spheres = ReplaceCircleSpheres(circle);
    if (!spheres || !RebuildCircleEdges(circle)) {
        return 0;
    }
    return RebuildCircleLabels(circle);
}

int CRepresentation::ReplaceCircleSpheres(int circle) {
    SoNode* named = m_nodeIndex.FirstNamed(Numbered("CircleNumber:", circle));
    CoinPtr<SoPath> path = named ? m_nodeIndex.PathTo(named) : CoinPtr<SoPath>();
    // The group and the node above it.
    if (!path || path->getLength() < 2) {
        return 0;
    }
    SoNode* old = path->getTail();
    SoNode* parent = path->getNodeFromTail(1);
    if (!old->isOfType(SoSeparator::getClassTypeId()) || !parent->isOfType(SoSeparator::getClassTypeId())) {
        return 0;
    }
    DeselectWithin(old);
    CoinPtr<SoSeparator> group = NamedGroup(Numbered("CircleNumber:", circle));
    auto* oldGroup = static_cast<SoSeparator*>(old);
    if (oldGroup->getNumChildren() > 0) {
        group->addChild(oldGroup->getChild(0));  // the placement transform
    }
    BuildCircleSpheres(group.get(), circle);
    m_nodeIndex.ReplaceChild(static_cast<SoSeparator*>(parent), old, group.get());
    return 1;
}

int CRepresentation::RebuildNodeLinks(int circle, const std::vector<int>& indices, bool whole) {
    // Labels that show linked neighbours change with the links: the circle
    // is built again, or its edges and labels.
    if (NestsNeighbourLabels()) {
        return whole ? RebuildCircle(circle) : RebuildCircleEdges(circle) && RebuildCircleLabels(circle);
    }
    if (whole) {
        DeselectCurrent();
        if (!CircleSpheres(circle)) {
            return 0;
        }
    }
    SoNode* edges = ChildNamed(m_pEdgeRoot.get(), Numbered("circleNumEdge:", circle));
    auto* group = edges && edges->isOfType(SoSeparator::getClassTypeId()) ? static_cast<SoSeparator*>(edges) : nullptr;
    if (!group) {
        return 0;
    }
    // Spheres and labels do not show links; of the edges only those
    // leaving these nodes change. A group not laid out as built is built again.
    for (int k : indices) {
        int first = 0, count = 0;
        if (!EdgesOfSource(group, circle, k, first, count)) {
            return RebuildCircleEdges(circle);
        }
        auto fresh = MakeCoin<SoGroup>();
        {
            // The node's other edges stay as they were.
            CEdgeReuse reuse(group, &m_edgePool, first, count);
            BuildSourceEdges(circle, k, fresh.get(), &reuse);
        }
        m_edgeHighlighter.SpliceChildren(group, first, count, fresh.get());
    }
    return 1;
}

int CRepresentation::RebuildCircleEdges(int circle) {
    const std::string name = Numbered("circleNumEdge:", circle);
    int place = -1;
    SoNode* old = ChildNamed(m_pEdgeRoot.get(), name, &place);
    if (!old) {
        return 0;
    }
    CoinPtr<SoSeparator> group = NamedGroup(name);
    {
        // Most edges of a large circle stay as they were after an edit.
        CEdgeReuse reuse(old->isOfType(SoGroup::getClassTypeId()) ? static_cast<SoGroup*>(old) : nullptr,
                         &m_edgePool);
        BuildCircleEdges(circle, group.get(), &reuse);
    }
    m_edgeHighlighter.ReplaceChild(m_pEdgeRoot.get(), old, group.get(), place);
    NotePlace(group.get(), place);
    return 1;
}

EdgeLook CRepresentation::LookOfEdge(SbVec3f from, SbVec3f to, int kind, int end, int fromCircle, int fromIndex,
                                     int toCircle, int toIndex, int linkCount,
                                     std::optional<float> transparency) const {
    EdgeLook look;
    look.from = from;
    look.to = to;
    look.coneName = "E_" + std::to_string(fromCircle) + ':' + std::to_string(fromIndex) + '-' +
                    std::to_string(toCircle) + ':' + std::to_string(toIndex);
    look.materialName = Numbered("edge_material_", kind);
    look.color = GetEdgeColor(kind);
    look.transparency = transparency;
    look.radius = EdgeRadius(linkCount);
    look.height = EdgeHeight((to - from).length(), end);
    return look;
}

int CRepresentation::RebuildCircleLabels(int circle) {
    const std::string greenName = Numbered("GreenCharCircleNum:", circle);
    const std::string redName = Numbered("RedCharCircleNum:", circle);
    int greenPlace = -1, redPlace = -1;
    SoNode* oldGreen = ChildNamed(m_pGreenCharRoot.get(), greenName, &greenPlace);
    SoNode* oldRed = ChildNamed(m_pRedCharRoot.get(), redName, &redPlace);
    if (!oldGreen || !oldRed) {
        return 0;
    }
    CoinPtr<SoSeparator> green = NamedGroup(greenName);
    CoinPtr<SoSeparator> red = NamedGroup(redName);
    if (NestsNeighbourLabels()) {
        // A nested label depends on the neighbours too: all are built anew.
        BuildCircleLabels(circle, green.get(), red.get());
    } else {
        CLabelReuse reuse(Exactly<SoSeparator>(oldGreen), Exactly<SoSeparator>(oldRed));
        BuildCircleLabels(circle, green.get(), red.get(), &reuse);
    }
    ReplaceAt(m_pGreenCharRoot.get(), greenPlace, green.get());
    ReplaceAt(m_pRedCharRoot.get(), redPlace, red.get());
    return 1;
}

bool CRepresentation::EdgesOfSource(SoGroup* group, int circle, int k, int& first, int& count) const {
    // Edges follow their sources' order: a binary search finds the run.
    int low = 0, high = group->getNumChildren();
    while (low < high) {
        const int middle = low + (high - low) / 2;
        const int source = SourceOfEdge(group->getChild(middle), circle);
        if (source < 0) {
            return false;
        }
        if (source < k) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    first = low;
    int end = low;
    for (; end < group->getNumChildren(); ++end) {
        const int source = SourceOfEdge(group->getChild(end), circle);
        if (source < 0) {
            return false;
        }
        if (source != k) {
            break;
        }
    }
    count = end - first;
    return true;
}
