#pragma once

#include <Inventor/SbRotation.h>

#include <array>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include <Inventor/SbColor.h>
#include <Inventor/SbMatrix.h>
#include <Inventor/SbName.h>
#include <Inventor/SbVec3f.h>

#include "CoinPtr.h"
#include "EdgeHighlighter.h"
#include "EdgeReuse.h"
#include "GraphLookup.h"
#include "GridLayout.h"
#include "NodeMatrixCache.h"
#include "NodeRootIndex.h"
#include "RelationKind.h"
#include "SceneClasses.h"
#include "SelectNames.h"
#include "SelectionNode.h"
#include "SelectedNodes.h"

class CInteractionStore;
class CLabelReuse;
class CNode;
class ISceneHost;
struct MoleculeRecord;
class SbVec2s;
class SbViewportRegion;
class CSceneBounds;
class SoGroup;
class SoMaterial;
class SoPath;
class SoPathList;
class SoPerspectiveCamera;
class SoSelection;
class SoSeparator;

// Scene nodes named by a representation go with it: a base destroyed after
// every member says so to the name caches.
struct SceneNamesReleasedOnExit {
    SceneNamesReleasedOnExit() = default;
    ~SceneNamesReleasedOnExit();
};

// What the box and the sphere representation share: the scene roots, the
// selection node, the camera, the cell map, the select-names bookkeeping,
// and the scene construction of labels and edges; and on top of the scene
// the exploration: selection, search, highlight and label modes and the
// element texts. A representation adds its layout, the molecule groups
// under the node root, and the few label and edge details that differ
// (hooks below).
//
// The graph is read through the document's graph slot, so a representation
// that outlives a rebuild sees the current graph, never a freed one.

class CRepresentation : private SceneClassesReady, private SceneNamesReleasedOnExit, public ISelectNamesTarget {
public:
    virtual ~CRepresentation();
    CRepresentation(const CRepresentation&) = delete;
    CRepresentation& operator=(const CRepresentation&) = delete;

    SoSeparator* GetRoot() const { return m_pRoot.get(); }
    SoSeparator* GetNodeRoot() const { return m_pNodeRoot.get(); }
    SoSeparator* GetLabelRoot() const { return m_pLabelRoot.get(); }
    SoSeparator* GetEdgeRoot() const { return m_pEdgeRoot.get(); }
    SoSeparator* GetRedCharRoot() const { return m_pRedCharRoot.get(); }
    SoSeparator* GetGreenCharRoot() const { return m_pGreenCharRoot.get(); }
    SoSelection* GetSelection() const { return m_pSelection.get(); }
    SoPerspectiveCamera* GetCamera() const { return m_pCamera.get(); }

    // The cell map (Layout fills it).
    const CGridLayout& GetGrid() const { return m_grid; }
    int GetCircleAt(int first, int second) const { return m_grid.GetCircleAt(first, second); }
    void GetCellOf(int circle, int& first, int& second) const { m_grid.GetCellOf(circle, first, second); }
    bool DumpGrid(const std::string& path = "test_circle.txt") const { return m_grid.DumpGrid(path); }

    // Builds the whole scene under GetRoot() from the cell map. Building
    // again replaces the earlier scene under the same root.
    void BuildScene();

    // The same build in short steps, so that a window can paint between
    // them: BeginSceneSteps, then BuildSceneStep until it returns false.
    // Molecules come first, then labels, then edges; each part joins the
    // root when it is complete, and the camera is placed once, at the end;
    // without `placeCameraAtEnd` the caller places it (and no bounds are
    // gathered for it).
    enum class SceneStage { Molecules, Labels, Edges, Done };
    void BeginSceneSteps(bool placeCameraAtEnd = true);
    bool BuildSceneStep();
    SceneStage GetSceneStage() const { return m_stage; }
    size_t SceneStepsDone() const { return m_stepsDone; }
    size_t SceneStepCount() const { return m_stepCount; }

    // The accumulated transformation of the first node named `name` under
    // the node root; the identity when there is none.
    SbMatrix GetNodeMatrix(const std::string& name) const;

    // Label and edge construction, one cell of the cell map at a time
    // (first coordinate outer); FinishLabels ends the labels.
    void BuildCellLabels(int cell);
    void FinishLabels();
    void BuildCellEdges(int cell);
    // The groups the builders below fill are new (see NewNodes.h): made
    // for this build, in no scene yet.
    // With `reuse`, labels equal to old ones but for their place are taken
    // over; only where labels do not nest their neighbours'.
    void BuildCircleLabels(int circle, SoSeparator* greenGroup, SoSeparator* redGroup,
                           CLabelReuse* reuse = nullptr);
    void BuildMoleculeLabel(SoSeparator* group, int circle, int index, int size, const std::string& name,
                            bool nested);
    // With `reuse`, edges equal to old ones are taken over, not built.
    void BuildCircleEdges(int circle, SoSeparator* group, CEdgeReuse* reuse = nullptr);
    // The edges of the node at (circle, k) alone, as BuildCircleEdges adds them.
    void BuildSourceEdges(int circle, int k, SoGroup* group, CEdgeReuse* reuse = nullptr);
    // What BuildEdge would make of these values.
    EdgeLook LookOfEdge(SbVec3f from, SbVec3f to, int kind, int end, int fromCircle, int fromIndex, int toCircle,
                        int toIndex, int linkCount, std::optional<float> transparency) const;
    // One edge group; an absent transparency leaves the material's default.
    // Its material comes from `pool` when one waits there.
    CoinPtr<SoSeparator> BuildEdge(SbVec3f from, SbVec3f to, int kind, int end, int fromCircle, int fromIndex,
                                   int toCircle, int toIndex, int linkCount, std::optional<float> transparency,
                                   CEdgeMaterialPool* pool = nullptr);

    // Edge colour of a relation kind; kinds outside 0..10 get neutral grey.
    SbColor GetEdgeColor(int kind) const;

    // Selection. The selection node uses the toggle policy: a click adds
    // an unselected sphere and removes a selected one. The two callbacks
    // run for every path that enters or leaves the selection, clicked or
    // selected by the program.
    void OnSelect(SoPath* path);
    void OnDeselect(SoPath* path);
    // What a click on `picked` does under the toggle policy; a path that
    // does not pass through the selection node changes nothing.
    void ToggleSelection(SoPath* picked);
    // A click at a pixel of a viewer showing GetRoot() in `region`: picks
    // the nearest object there and toggles it. True when a selectable
    // object was hit.
    bool ClickAt(const SbVec2s& pixel, const SbViewportRegion& region);
    // Selects `name` and, for a relation node, its members, theirs in turn,
    // and everything gathered by earlier related selections.
    void SelectRelated(const std::string& name);
    // Empties the selection; in Select Related mode also resets the
    // highlighting, which forgets the names gathered so far.
    void DeselectAll();
    // Whether the sphere `name` stands for in this scene is selected.
    bool IsNameSelected(const std::string& name) const;

    // Names to select and the name last clicked.
    void ClearSelectNames() { m_lstSelectNames.Clear(); }
    const CSelectNameList& GetSelectNames() const { return m_lstSelectNames; }
    const std::string& GetCurrentName() const override { return m_strCurrentName; }
    void SetCurrentName(const std::string& name) { m_strCurrentName = name; }

    // Search. Kind -1 or 11 means no kind filter; flag 0 starts a new
    // selection, 1 adds to it.
    void SearchAndSelect(const std::string& name, int kind, int distance, int flag);
    // Selects what lies one link step from the selection: direction 1
    // along outgoing links, 2 along incoming ones.
    void ExpandSelection(int direction);
    // Lists the names of the selected spheres in selection order; returns
    // how many.
    int CollectSelectedNames();
    // One breadth-first layer over the listed names start .. end - 1, then
    // `depth` more without a kind filter; direction 0 follows both link
    // lists, 1 outgoing, 2 incoming (and selects what it finds at once).
    // Returns the number of names the first layer listed.
    int ExpandNames(int depth, int start, int end, int kind, int direction);
    // Lists the element at (circle, index) if `addSelf` is 1 and its
    // members, each unless listed already; nothing when `kind` is 0 or more
    // and not the element's relation kind. Returns how many were listed.
    int AddElementNames(int circle, int index, int kind, int addSelf);
    // Lists every element of relation kind `kind` with its members.
    void AddNamesOfKind(int kind);
    void SelectListedNames();
    void SelectListedRange(int from, int to);
    // Selects the sphere of that name, or tells the curator there is none.
    void SelectByName(const std::string& name);
    // Selects the sphere of that name; false when there is none.
    bool SelectNamed(const std::string& name);

    CSelectNames& SelectNames() override { return m_selectNames; }
    std::vector<std::string> SelectListedNamesQuietly() override;

    // Highlight modes: 0 box, 1 selective showing, 2 by colour.
    void SetHighlightMode(int newMode, int oldMode);
    // Every named molecule and edge material of every scene to the look of
    // `mode` with nothing selected; forgets the listed names.
    void ResetHighlight(int mode);
    void HighlightPath(SoPath* path, int mode);
    void HighlightPaths(const SoPathList& paths, int mode);
    void UnhighlightPath(SoPath* path, int mode);
    // Every edge: in the selected look when both its molecules are selected.
    void UpdateEdgeHighlight(int mode);
    // Label modes: 0 and 2 show both label roots, 1 only the red one, any
    // other value none.
    void SetLabelVisibility(int value);

    // The node name pane's text for an element.
    std::string DescribeElement(const std::string& name);

    // Scene updates after an edit of the graph (RepresentationUpdate.cpp),
    // each 1 when done, else 0. Names are looked up in this scene only.
    static constexpr const char* kNameTaken = "이미 존재하는 이름으로는 바꿀 수 없습니다.";
    // `circle`, when known, is where the renamed node sits: the search
    // then stays inside the label groups of LabelCirclesOf.
    int RenameInScene(const std::string& oldName, const std::string& newName, int circle = 0);
    // The same with LabelCirclesOf's answer already in hand.
    int RenameInScene(const std::string& oldName, const std::string& newName, int circle,
                      const std::vector<int>& labelCircles);
    // The circles whose label groups hold a label of the node `name` of
    // `circle`, ascending: its own, and where labels nest, those of the
    // shown molecules linking to it.
    std::vector<int> LabelCirclesOf(const std::string& name, int circle) const;
    // Deselects the current molecule, then replaces the circle's spheres,
    // edges and labels in place.
    int RebuildCircle(int circle);
    int RebuildCircleEdges(int circle);
    int RebuildCircleLabels(int circle);
    // What RebuildCircle (`whole`) or RebuildCircleEdges gives after only
    // the links of the nodes at `indices` (ascending) changed; where labels
    // do not show links, only those nodes' edges are built again.
    int RebuildNodeLinks(int circle, const std::vector<int>& indices, bool whole);

    // Changes of the scene (nodes added, removed or named) and a graph
    // that was replaced or grew are noticed by themselves. Code that changes
    // the names or links of the graph in place calls this on every
    // representation of that graph, so that the indexes behind selection
    // and highlighting read them again.
    void InvalidateSceneIndexes();
    // Edges the highlighting knows of (builds its index).
    size_t CountHighlightedEdges();

    int m_bSearching = 0;

    static constexpr float kNeutralGrey = 0.5f;
    static constexpr const char* kNoSuchName = "존재하지 않는 이름입니다";

protected:
    CRepresentation(CInteractionStore& doc, const std::unique_ptr<CNode>& graph, ISceneHost& host);

    // The document's current graph; null when it has none.
    const CNode* Graph() const;
    const ISceneHost& Host() const { return m_host; }

    // Fills m_pNodeRoot with the molecule groups.
    virtual void BuildNodeRoot() = 0;
    // The same in steps 0 .. NodeRootStepCount() - 1; by default one.
    virtual int NodeRootStepCount() const { return 1; }
    virtual void BuildNodeRootStep(int /*step*/) { BuildNodeRoot(); }
    // Puts a new group of the circle's spheres where the old one was; the
    // default replaces the group named "CircleNumber:<circle>" under the
    // node root, keeping its placement transform. 0 when there is none.
    virtual int ReplaceCircleSpheres(int circle);
    // The group holding the circle's spheres, or null when there is none.
    virtual SoNode* CircleSpheres(int circle);
    // Fills a circle group that holds only its placement transform.
    virtual void BuildCircleSpheres(SoSeparator* /*group*/, int /*circle*/) {}
    // Deselects every selected path through `node` (callbacks run), so
    // that nothing selected points into a group about to be replaced.
    void DeselectWithin(SoNode* node);
    // The current molecule leaves the selection.
    void DeselectCurrent();
    // Where the edges leaving node k lie in a circle's edge group (first
    // child, how many); false when the group is not laid out as built.
    bool EdgesOfSource(SoGroup* group, int circle, int k, int& first, int& count) const;
    // Changes below the node root made through it keep the index current.
    CNodeRootIndex& NodeIndex() { return m_nodeIndex; }
    // Direction the camera looks from before viewAll; the default camera
    // looks along -z.
    virtual SbRotation InitialCameraOrientation() const { return SbRotation::identity(); }
    // Whether a cell without a circle still gets its (empty) label and
    // edge groups, named with circle number 0.
    virtual bool GroupsEmptyCells() const { return true; }
    virtual const char* LabelFontName() const = 0;
    virtual float LabelFontSize() const = 0;
    // Whether a shown molecule's label also labels the molecules its links
    // point at, and hidden molecules are labelled only next to shown ones.
    virtual bool NestsNeighbourLabels() const = 0;
    virtual SbVec3f LabelOffset(int size) const = 0;
    virtual bool PutsLabelInRedGroup(int size) const = 0;
    virtual float EdgeRadius(int linkCount) const = 0;
    virtual float EdgeHeight(float distance, int end) const = 0;
    virtual std::optional<float> EdgeTransparency(const MoleculeRecord& source,
                                                  const MoleculeRecord& target) const = 0;

    // The matrix of the sphere of the node at (circle, index), bearing
    // `name`: while the scene is built the first sphere of that name, on
    // later updates where the representation places that node.
    SbMatrix NodeMatrixAt(int circle, int index, const std::string& name) const {
        return m_bNodeMatricesComplete ? RememberedMatrixAt(circle, index, name) : PlacedMatrix(circle, index, name);
    }
    // By default found by name in the scene.
    virtual SbMatrix PlacedMatrix(int /*circle*/, int /*index*/, const std::string& name) const {
        return GetNodeMatrix(name);
    }

    // Sphere matrices known while the node root is built, so that placing
    // labels and edges needs no search over the whole node root. The first
    // matrix remembered for a name wins, as the first node found by name
    // would. Only used when the builder marks its record complete.
    void RememberNodeMatrix(const std::string& name, const SbMatrix& matrix);
    void SetNodeMatricesComplete();

    CGridLayout m_grid;
    std::array<SbColor, kRelationKindCount> m_edgeColors;

    CoinPtr<SoSeparator> m_pRoot;
    CoinPtr<SoSeparator> m_pNodeRoot;
    CoinPtr<SoSeparator> m_pLabelRoot;
    CoinPtr<SoSeparator> m_pEdgeRoot;
    CoinPtr<SoSeparator> m_pRedCharRoot;
    CoinPtr<SoSeparator> m_pGreenCharRoot;
    CoinPtr<CSelectionNode> m_pSelection;
    CoinPtr<SoPerspectiveCamera> m_pCamera;

    CInteractionStore* m_pDoc;

private:
    // Name look-ups of one operation share one CGraphLookup: the graph does
    // not change while an operation runs.
    class LookupScope {
    public:
        explicit LookupScope(CRepresentation& rep);
        ~LookupScope();
        LookupScope(const LookupScope&) = delete;
        LookupScope& operator=(const LookupScope&) = delete;
        CGraphLookup& operator*() const { return *m_rep.m_pLookup; }
        CGraphLookup* operator->() const { return m_rep.m_pLookup; }

    private:
        CRepresentation& m_rep;
        std::unique_ptr<CGraphLookup> m_own;
    };

    static void SelectionCallback(void* data, SoPath* path);
    static void DeselectionCallback(void* data, SoPath* path);
    void DetachSelection();
    void ForgetNodeMatrices();
    // The remembered matrix for the node at (circle, index) named `name`.
    const SbMatrix& RememberedMatrixAt(int circle, int index, const std::string& name) const;
    // The molecule material of a selected path: child 1 of the sphere's group.
    static SoMaterial* MoleculeMaterial(const SoPath* path);
    void SetHighlightedLook(SoPath* path, int mode, bool highlighted);
    // Lists `names` in order, then selects every listed name with the
    // callbacks kept to the highlighting.
    void SelectAdditionally(const std::vector<std::string>& names);
    // The highlight mode the frame's flags name.
    int FlaggedHighlightMode() const;

    const std::unique_ptr<CNode>& m_graph;
    ISceneHost& m_host;
    CSelectNames m_selectNames;
    CSelectNameList& m_lstSelectNames = m_selectNames.m_lstSelectNames;
    std::string m_strCurrentName;
    CGraphLookup* m_pLookup = nullptr;
    CSelectedNodes m_selected;
    // Names resolve inside this scene, never through Coin's name table:
    // with both representations built every molecule name is in both.
    mutable CNodeRootIndex m_nodeIndex;
    // Matrices of the nodes the index finds, without a walk past every turn.
    mutable CNodeMatrixCache m_matrixCache;
    CEdgeHighlighter m_edgeHighlighter;
    // Materials of the edges edits dropped, for the edges they build.
    CEdgeMaterialPool m_edgePool;
    // Every edge material of a kind bears the same name.
    std::array<SbName, kRelationKindCount> m_edgeMaterialNames;
    // Kinds outside the colour table that edges of any scene were built
    // with (names are shared by every scene): reset with the others.
    static std::set<int>& OtherEdgeKinds();
    std::unordered_map<std::string, SbMatrix> m_nodeMatrices;
    // Labels and edges ask for the same few nodes again and again: each node
    // position is looked up by name once, then answered from its slot. A
    // slot also keeps the name it was found for, the node's own string.
    struct MatrixSlot {
        const std::string* name = nullptr;
        const SbMatrix* matrix = nullptr;
    };
    mutable std::vector<MatrixSlot> m_matrixSlots;
    std::vector<size_t> m_firstSlot;  // per circle number; one more at the end
    // Reused for the names of labels.
    std::string m_nameScratch;
    bool m_bNodeMatricesComplete = false;
    // Measures the bounds of the parent's children from `first` on.
    void MeasureNewParts(SoGroup* parent, int first, bool underFont);
    std::unique_ptr<CSceneBounds> m_pBounds;
    bool m_bPlaceCameraAtEnd = true;
    // Where a stepwise build stands.
    SceneStage m_stage = SceneStage::Done;
    int m_stageStep = 0;
    size_t m_stepsDone = 0;
    size_t m_stepCount = 0;
};
