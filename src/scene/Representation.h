#pragma once

#include <Inventor/SbRotation.h>

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include <Inventor/SbColor.h>
#include <Inventor/SbMatrix.h>
#include <Inventor/SbVec3f.h>

#include "CoinPtr.h"
#include "GridLayout.h"
#include "SceneClasses.h"
#include "RelationKind.h"

class CInteractionStore;
class CNode;
class ISceneHost;
struct MoleculeRecord;
class SoPath;
class SoPerspectiveCamera;
class SoSelection;
class SoSeparator;

// What the box and the sphere representation share: the scene roots, the
// selection node, the camera, the cell map, the select-names bookkeeping,
// and the scene construction of labels and edges. A representation adds
// its layout, the molecule groups under the node root, and the few label
// and edge details that differ (hooks below).
//
// The graph is read through the document's graph slot, so a representation
// that outlives a rebuild sees the current graph, never a freed one.
class CRepresentation : private SceneClassesReady {
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

    // The accumulated transformation of the first node named `name` under
    // the node root; the identity when there is none.
    SbMatrix GetNodeMatrix(const std::string& name) const;

    // Label and edge construction, cell by cell (first coordinate outer).
    void BuildLabels(SoSeparator* labelRoot);
    void BuildCircleLabels(int circle, SoSeparator* greenGroup, SoSeparator* redGroup);
    void BuildMoleculeLabel(SoSeparator* group, int circle, int index, int size, const std::string& name,
                            bool nested);
    void BuildEdges();
    void BuildCircleEdges(int circle, SoSeparator* group);
    // One edge group; an absent transparency leaves the material's default.
    CoinPtr<SoSeparator> BuildEdge(SbVec3f from, SbVec3f to, int kind, int end, int fromCircle, int fromIndex,
                                   int toCircle, int toIndex, int linkCount, std::optional<float> transparency);

    // Edge colour of a relation kind; kinds outside 0..10 get neutral grey.
    SbColor GetEdgeColor(int kind) const;

    // Selection callbacks of the selection node, in our terms.
    void OnSelect(SoPath* path);
    void OnDeselect(SoPath* path);

    // Names to select and the name last clicked.
    void ClearSelectNames() { m_lstSelectNames.clear(); }
    const std::string& GetCurrentName() const { return m_strCurrentName; }
    void SetCurrentName(const std::string& name) { m_strCurrentName = name; }

    int m_bSearching = 0;
    std::vector<std::string> m_lstSelectNames;
    std::string m_strCurrentName;

    static constexpr float kNeutralGrey = 0.5f;

protected:
    CRepresentation(CInteractionStore& doc, const std::unique_ptr<CNode>& graph, ISceneHost& host);

    // The document's current graph; null when it has none.
    const CNode* Graph() const;
    const ISceneHost& Host() const { return m_host; }

    // Fills m_pNodeRoot with the molecule groups.
    virtual void BuildNodeRoot() = 0;
    // Direction the camera looks from before viewAll; the default camera
    // looks along -z.
    virtual SbRotation InitialCameraOrientation() const { return SbRotation::identity(); }
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

    // Sphere matrices known while the node root is built, so that placing
    // labels and edges needs no search over the whole node root. The first
    // matrix remembered for a name wins, as the first node found by name
    // would. Only used when the builder marks its record complete.
    void RememberNodeMatrix(const std::string& name, const SbMatrix& matrix);
    void SetNodeMatricesComplete() { m_bNodeMatricesComplete = true; }

    CGridLayout m_grid;
    std::array<SbColor, kRelationKindCount> m_edgeColors;

    CoinPtr<SoSeparator> m_pRoot;
    CoinPtr<SoSeparator> m_pNodeRoot;
    CoinPtr<SoSeparator> m_pLabelRoot;
    CoinPtr<SoSeparator> m_pEdgeRoot;
    CoinPtr<SoSeparator> m_pRedCharRoot;
    CoinPtr<SoSeparator> m_pGreenCharRoot;
    CoinPtr<SoSelection> m_pSelection;
    CoinPtr<SoPerspectiveCamera> m_pCamera;

    CInteractionStore* m_pDoc;

private:
    static void SelectionCallback(void* data, SoPath* path);
    static void DeselectionCallback(void* data, SoPath* path);
    void DetachSelection();
    void ForgetNodeMatrices();

    const std::unique_ptr<CNode>& m_graph;
    ISceneHost& m_host;
    std::unordered_map<std::string, SbMatrix> m_nodeMatrices;
    bool m_bNodeMatricesComplete = false;
};
