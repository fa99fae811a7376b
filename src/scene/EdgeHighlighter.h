#pragma once

#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include <Inventor/SbColor.h>

#include <cstdint>

#include "CoinPtr.h"
#include "MoleculeRecord.h"

class CNode;
class CSelectedNodes;
class SoGroup;
class SoMaterial;
class SoNode;
class SoNodeSensor;
class SoSensor;
class SoSeparator;

// Shows, on the edge cones of one representation, which links join two
// selected molecules: in highlight mode 1 such an edge is opaque and every
// other edge transparent, in mode 2 it has its kind's colour and every
// other edge is white. Mode 0 leaves the edges alone.
//
// The look of an edge follows from the names of its two molecules (read
// from the graph at the positions the cone's name gives) and from whether
// the node each name stands for in the representation's own scene (given
// by the caller) is selected. A full pass
// works that out for every edge. After a full pass, while nothing else
// touched the edges, one sphere entering or leaving the selection can only
// change the edges at its own name: those alone are looked at again. The
// index from names to edges is built on first use and again after the
// graph was replaced or the edge scene changed behind its back; an edge
// group replaced through ReplaceChild and names changed in circles the
// graph reports as changed are followed in place.
class CEdgeHighlighter {
public:
    using ColorOfKind = std::function<SbColor(int kind)>;
    // The node a molecule name stands for in this scene, or null.
    using NodeOfName = std::function<const SoNode*(const std::string& name)>;
    // Changes whenever NodeOfName may answer differently.
    using NamesStamp = std::function<unsigned long()>;

    CEdgeHighlighter(const CSelectedNodes& selected, ColorOfKind colorOfKind, NodeOfName nodeOfName,
                     NamesStamp namesStamp);
    ~CEdgeHighlighter();
    CEdgeHighlighter(const CEdgeHighlighter&) = delete;
    CEdgeHighlighter& operator=(const CEdgeHighlighter&) = delete;

    // Works on the cones under `edgeRoot`, whose molecules `graph` names.
    void Attach(SoSeparator* edgeRoot, const std::unique_ptr<CNode>& graph);
    // The edges and their names must be read again (the scene or the
    // graph was changed in place).
    void Invalidate();
    // The edges' looks are no longer known to match the selection.
    void ForgetLooks() { m_syncedMode = -1; }
    // A node entered or left the selection.
    void NoteSelectionChange(const SoNode* node);

    // Every edge of the scene.
    void UpdateAll(int mode);
    // What a full pass would do, after `node` entered or left the
    // selection (or without any change, when it is the only one pending).
    void UpdateAround(const SoNode* node, int mode);

    // Edges indexed (for tests and benches); builds the index.
    size_t EdgeCount();

    // edgeRoot->replaceChild(old, replacement) for a child of the edge root;
    // `place`, when known, is where `old` stands.
    void ReplaceChild(SoGroup* edgeRoot, SoNode* old, SoNode* replacement, int place = -1);
    // In `group`, a child of the edge root: children first .. first +
    // count - 1 replaced by the children of `added`, followed in place.
    void SpliceChildren(SoGroup* group, int first, int count, SoGroup* added);

private:
    struct Edge {
        CoinPtr<SoMaterial> material;  // null once the edge left the scene
        int kind;
        int start;  // name ids, -1 when the cone names no molecule
        int end;
        NodePos from, to;  // the molecules the cone names ({0, 0}: none)
    };

    // Builds the index again where needed; without `followGraph` the names
    // are left to catch up with the graph later (CatchUp).
    void Refresh(bool followGraph = true);
    // The names again where the graph changed since they were read; false
    // when the graph cannot tell.
    bool CatchUp();
    // After an edge group was followed in place: catches up, or leaves the
    // index to be built again.
    void AfterEdit();
    void Build();
    // Indexes the edges below `group`, a child of the edge root, except
    // below the groups in `skip`.
    void AddEdges(SoGroup* group, const std::unordered_set<const SoNode*>* skip = nullptr);
    // The same below `below`, listing the edges in `ofGroup`.
    void AddEdgesBelow(SoGroup* below, const std::unordered_set<const SoNode*>* skip, std::vector<int>& ofGroup);
    // Takes the edges off their names' lists.
    void DropNames(const std::vector<int>& numbers);
    // The edge left the scene.
    void Drop(int number);
    // The numbers of the edges whose materials are `going`, all leaving
    // `source`, ascending; empty when not every one is found at its end.
    std::vector<int> GoingFrom(NodePos source, const std::unordered_set<const SoNode*>& going) const;
    std::string NameAt(NodePos at) const;
    // The edges' names again where the graph changed them.
    bool FollowGraph(const CNode& graph);
    void SetNames(int number);
    int NameId(const std::string& name);
    // Whether the node the name stands for is selected; the
    // nodes are looked up once per naming epoch.
    bool IsNameSelected(int id);
    void Apply(const Edge& edge, bool bothSelected, int mode);
    static void Changed(void* data, SoSensor* sensor);

    const CSelectedNodes& m_selected;
    ColorOfKind m_colorOfKind;
    NodeOfName m_nodeOfNameInScene;
    NamesStamp m_namesStamp;
    SoSeparator* m_pEdgeRoot = nullptr;
    const std::unique_ptr<CNode>* m_pGraph = nullptr;
    std::unique_ptr<SoNodeSensor> m_pSensor;

    // The index and what it was built from.
    bool m_fresh = false;
    std::uint64_t m_indexedSerial = 0;
    std::uint64_t m_indexedRevision = 0;
    int m_indexedCircles = 0;
    std::vector<Edge> m_edges;
    // Per edge, whether it is still in the scene (its material held).
    std::vector<char> m_live;
    size_t m_liveEdges = 0;
    std::unordered_map<const SoNode*, std::vector<int>> m_edgesOfGroup;
    // Edges with an end in a circle, as (index of that end, edge number),
    // sorted by index, so that a changed node of a large circle finds its
    // own edges alone; edges added later wait in `added`, sorted too,
    // until they are many.
    struct EdgesAtCircle {
        std::vector<std::pair<int, int>> ends;
        std::vector<std::pair<int, int>> added;
    };
    std::unordered_map<int, EdgesAtCircle> m_edgesAtCircle;
    std::vector<std::string> m_names;
    std::unordered_map<std::string, int> m_nameIds;
    std::vector<std::vector<int>> m_edgesOfName;
    std::vector<const SoNode*> m_nodeOfName;
    std::vector<char> m_nodeKnown;
    unsigned long m_nodesStamp = 0;

    // The mode whose looks every edge has (-1: not known), and under which
    // stamp the names were resolved.
    int m_syncedMode = -1;
    unsigned long m_syncedStamp = 0;
    // Selection changes since the looks were last brought up to date.
    int m_pendingChanges = 0;
    const SoNode* m_pLastChange = nullptr;
    bool m_bWriting = false;
};
