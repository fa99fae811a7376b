#include "Representation.h"

#include <algorithm>

#include <Inventor/SoPath.h>
#include <Inventor/actions/SoGetBoundingBoxAction.h>
#include <Inventor/actions/SoGetMatrixAction.h>
#include <Inventor/actions/SoSearchAction.h>
#include <Inventor/nodes/SoCone.h>
#include <Inventor/nodes/SoFont.h>
#include <Inventor/nodes/SoGroup.h>
#include <Inventor/nodes/SoMaterial.h>
#include <Inventor/nodes/SoPerspectiveCamera.h>
#include <Inventor/nodes/SoSelection.h>
#include <Inventor/nodes/SoSeparator.h>
#include <Inventor/nodes/SoText2.h>
#include <Inventor/nodes/SoTransform.h>
#include <Inventor/nodes/SoTranslation.h>

#include "LabelReuse.h"
#include "LinkText.h"
#include "NewNodes.h"
#include "Node.h"
#include "SceneBounds.h"
#include "SceneHost.h"
#include "SceneNames.h"

namespace {

SbVec3f TranslationOf(const SbMatrix& m) { return SbVec3f(m[3][0], m[3][1], m[3][2]); }

// Writes "%d" of `value` at `out` and returns the end: a scene names
// hundreds of thousands of nodes with numbers.
char* WriteNumber(char* out, int value) {
    char digits[12];
    unsigned int rest = value < 0 ? 0u - static_cast<unsigned int>(value) : static_cast<unsigned int>(value);
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + rest % 10);
        rest /= 10;
    } while (rest != 0);
    if (value < 0) {
        *out++ = '-';
    }
    while (count > 0) {
        *out++ = digits[--count];
    }
    return out;
}

char* WriteText(char* out, const char* text) {
    while (*text) {
        *out++ = *text++;
    }
    return out;
}

// Names of the scene's many nodes are written into a buffer on the stack,
// not built from temporary strings. The prefix is a short literal.
struct NumberedName {
    NumberedName(const char* prefix, int number) { *WriteNumber(WriteText(text, prefix), number) = '\0'; }
    operator const char*() const { return text; }
    char text[64];
};

// What SoCamera::viewAll does, without leaving a bounds cache in every
// separator: the scene's single walk would spend a third of the build
// making caches that only a later walk with the same camera reads. Coin's
// separators cache nothing while a reset path is set; the path's reset,
// before the camera (the root's first node), empties bounds that are empty
// still, so the box is the one viewAll finds. The scenes built here are
// measured from their fields instead of by that walk, to the bit, part by
// part as they were built.
void ViewAllUncached(SoPerspectiveCamera& camera, SoSeparator* root, const SbViewportRegion& region,
                     CSceneBounds& parts) {
    SbBox3f box;
    if (!parts.Measure(root, region, box)) {
        SoGetBoundingBoxAction measure(region);
        auto toCamera = MakeCoin<SoPath>(root);
        toCamera->append(&camera);
        measure.setResetPath(toCamera.get(), TRUE, SoGetBoundingBoxAction::BBOX);
        measure.apply(root);
        box = measure.getBoundingBox();
    }
    if (!box.isEmpty()) {
        camera.viewBoundingBox(box, camera.aspectRatio.getValue(), 1.0f);
    }
}

}  // namespace

CRepresentation::CRepresentation(CInteractionStore& doc, const std::unique_ptr<CNode>& graph, ISceneHost& host)
    : m_pRoot(MakeCoin<SoSeparator>()),
      m_pNodeRoot(MakeCoin<SoSeparator>()),
      m_pLabelRoot(MakeCoin<SoSeparator>()),
      m_pEdgeRoot(MakeCoin<SoSeparator>()),
      m_pRedCharRoot(MakeCoin<SoSeparator>()),
      m_pGreenCharRoot(MakeCoin<SoSeparator>()),
      m_pDoc(&doc),
      m_graph(graph),
      m_host(host),
      m_selectNames(graph),
      m_edgeHighlighter(
          m_selected, [this](int kind) { return GetEdgeColor(kind); },
          [this](const std::string& name) -> const SoNode* { return m_nodeIndex.FirstNamed(name); },
          [this] { return m_nodeIndex.Stamp(); }) {
    m_edgeColors.fill(SbColor(kNeutralGrey, kNeutralGrey, kNeutralGrey));
    for (int kind = 0; kind < kRelationKindCount; ++kind) {
        m_edgeMaterialNames[static_cast<size_t>(kind)] = SceneName(std::string(NumberedName("edge_material_", kind)));
    }
}

CRepresentation::~CRepresentation() {
    DetachSelection();
    // A selected path holds the selection node it starts at: without
    // letting the paths go, the scene would keep itself alive.
    if (m_pSelection) {
        m_pSelection->deselectAll();
    }
}

const CNode* CRepresentation::Graph() const { return m_graph.get(); }

void CRepresentation::DetachSelection() {
    if (m_pSelection) {
        m_pSelection->removeSelectionCallback(&CRepresentation::SelectionCallback, this);
        m_pSelection->removeDeselectionCallback(&CRepresentation::DeselectionCallback, this);
    }
}

SceneNamesReleasedOnExit::~SceneNamesReleasedOnExit() { NoteSceneNamesChanged(); }

void CRepresentation::SelectionCallback(void* data, SoPath* path) {
    auto* self = static_cast<CRepresentation*>(data);
    self->m_selected.Add(path->getTail());
    self->m_edgeHighlighter.NoteSelectionChange(path->getTail());
    self->OnSelect(path);
}

void CRepresentation::DeselectionCallback(void* data, SoPath* path) {
    auto* self = static_cast<CRepresentation*>(data);
    self->m_selected.Remove(path->getTail());
    self->m_edgeHighlighter.NoteSelectionChange(path->getTail());
    self->OnDeselect(path);
}

std::set<int>& CRepresentation::OtherEdgeKinds() {
    static std::set<int> kinds;
    return kinds;
}

SbColor CRepresentation::GetEdgeColor(int kind) const {
    if (kind < 0 || kind >= kRelationKindCount) {
        return SbColor(kNeutralGrey, kNeutralGrey, kNeutralGrey);
    }
    return m_edgeColors[static_cast<size_t>(kind)];
}

void CRepresentation::RememberNodeMatrix(const std::string& name, const SbMatrix& matrix) {
    m_nodeMatrices.emplace(name, matrix);
}

void CRepresentation::SetNodeMatricesComplete() {
    m_bNodeMatricesComplete = true;
    m_matrixSlots.clear();
    m_firstSlot.clear();
    const CNode* graph = Graph();
    if (!graph) {
        return;
    }
    const size_t circles = graph->m_lstCircles.size();
    m_firstSlot.reserve(circles + 2);
    m_firstSlot.push_back(0);  // no circle 0
    m_firstSlot.push_back(0);
    for (size_t c = 0; c < circles; ++c) {
        m_firstSlot.push_back(m_firstSlot.back() + graph->m_lstCircles[c].m_lstMolecules.size());
    }
    m_matrixSlots.resize(m_firstSlot.back());
}

void CRepresentation::ForgetNodeMatrices() {
    m_nodeMatrices.clear();
    m_matrixSlots.clear();
    m_firstSlot.clear();
    m_bNodeMatricesComplete = false;
}

const SbMatrix& CRepresentation::RememberedMatrixAt(int circle, int index, const std::string& name) const {
    static const SbMatrix identity = SbMatrix::identity();
    auto lookUp = [&]() -> const SbMatrix& {
        auto it = m_nodeMatrices.find(name);
        return it == m_nodeMatrices.end() ? identity : it->second;
    };
    if (circle <= 0 || index < 0 || static_cast<size_t>(circle) + 1 >= m_firstSlot.size()) {
        return lookUp();
    }
    const size_t slot = m_firstSlot[static_cast<size_t>(circle)] + static_cast<size_t>(index);
    if (slot >= m_firstSlot[static_cast<size_t>(circle) + 1]) {
        return lookUp();
    }
    MatrixSlot& known = m_matrixSlots[slot];
    if (known.name != &name) {
        known.name = &name;
        known.matrix = &lookUp();
    }
    return *known.matrix;
}

SbMatrix CRepresentation::GetNodeMatrix(const std::string& name) const {
    if (m_bNodeMatricesComplete) {
        auto it = m_nodeMatrices.find(name);
        return it == m_nodeMatrices.end() ? SbMatrix::identity() : it->second;
    }
    SbMatrix matrix = SbMatrix::identity();
    auto apply = [&](SoPath* path) {
        SoGetMatrixAction getMatrix(m_host.GetViewportRegion());
        getMatrix.apply(path);
        matrix = getMatrix.getMatrix();
    };
    // Once the scene is built its index finds the first node of a name, as
    // a search from the node root would (the selection node above adds no
    // transformation).
    if (m_nodeIndex.IsAttached()) {
        if (SoNode* node = m_nodeIndex.FirstNamed(name)) {
            if (CoinPtr<SoPath> path = m_nodeIndex.PathTo(node)) {
                matrix = m_matrixCache.MatrixAt(path.get(), m_host.GetViewportRegion());
            }
        }
        return matrix;
    }
    SoSearchAction search;
    SetSearchName(search, name);
    search.setInterest(SoSearchAction::FIRST);
    search.apply(m_pNodeRoot.get());
    if (SoPath* path = search.getPath()) {
        apply(path);
    }
    return matrix;
}

void CRepresentation::BuildScene() {
    BeginSceneSteps();
    while (BuildSceneStep()) {
    }
}

void CRepresentation::BeginSceneSteps(bool placeCameraAtEnd) {
    // A second build starts from empty roots, not on top of the first scene.
    DetachSelection();
    if (m_pSelection) {
        m_pSelection->deselectAll();
    }
    ForgetNodeMatrices();
    if (const CNode* graph = Graph()) {
        m_nodeMatrices.reserve(graph->m_lstCircles.size());
    }
    m_selected.Clear();
    m_nodeIndex.Attach(nullptr, nullptr);
    m_edgeHighlighter.Attach(nullptr, m_graph);
    for (SoSeparator* root : {m_pRoot.get(), m_pNodeRoot.get(), m_pLabelRoot.get(), m_pEdgeRoot.get(),
                              m_pRedCharRoot.get(), m_pGreenCharRoot.get()}) {
        root->removeAllChildren();
    }
    NoteSceneNamesChanged();

    m_pCamera = MakeCoin<SoPerspectiveCamera>();
    m_pCamera->orientation.setValue(InitialCameraOrientation());
    m_pRoot->addChild(m_pCamera.get());

    auto font = MakeCoin<SoFont>();
    font->name.setValue(LabelFontName());
    font->size.setValue(LabelFontSize());
    m_pLabelRoot->addChild(font.get());

    // Every part hangs in its final place from the start.
    m_pSelection = MakeCoin<CSelectionNode>();
    m_pSelection->policy.setValue(SoSelection::TOGGLE);
    m_pSelection->addSelectionCallback(&CRepresentation::SelectionCallback, this);
    m_pSelection->addDeselectionCallback(&CRepresentation::DeselectionCallback, this);
    m_pSelection->addChild(m_pNodeRoot.get());
    m_host.RedrawOnSelectionChange(m_pSelection.get());
    m_pRoot->addChild(m_pSelection.get());
    m_pLabelRoot->addChild(m_pGreenCharRoot.get());
    m_pLabelRoot->addChild(m_pRedCharRoot.get());
    m_pRoot->addChild(m_pLabelRoot.get());
    m_pRoot->addChild(m_pEdgeRoot.get());
    m_bPlaceCameraAtEnd = placeCameraAtEnd;
    m_pBounds.reset(placeCameraAtEnd ? new CSceneBounds(m_pCamera.get(), m_host.GetViewportRegion()) : nullptr);

    const size_t cells = static_cast<size_t>(m_grid.GetFirstCount()) * static_cast<size_t>(m_grid.GetSecondCount());
    m_stepCount = static_cast<size_t>(std::max(NodeRootStepCount(), 0)) + 2 * cells;
    m_stepsDone = 0;
    m_stage = SceneStage::Molecules;
    m_stageStep = 0;
}

void CRepresentation::MeasureNewParts(SoGroup* parent, int first, bool underFont) {
    // The bounds of the parent's children from `first` on, under the camera
    // (labels take their size from it) and the label font, measured while
    // their nodes are fresh in the cache: the camera's placement at the end
    // reads them instead of walking the whole scene once more.
    if (!m_pBounds) {
        return;
    }
    const SoFont* font = nullptr;
    if (underFont && m_pLabelRoot->getNumChildren() > 0 &&
        m_pLabelRoot->getChild(0)->isOfType(SoFont::getClassTypeId())) {
        font = static_cast<const SoFont*>(m_pLabelRoot->getChild(0));
    }
    for (int i = first; i < parent->getNumChildren(); ++i) {
        SoNode* child = parent->getChild(i);
        if (child->isOfType(SoGroup::getClassTypeId())) {
            m_pBounds->AddPart(parent, static_cast<const SoGroup*>(child), font);
        }
    }
}

bool CRepresentation::BuildSceneStep() {
    const int cells = m_grid.GetFirstCount() * m_grid.GetSecondCount();
    switch (m_stage) {
    case SceneStage::Molecules:
        if (m_stageStep < NodeRootStepCount()) {
            const int children = m_pNodeRoot->getNumChildren();
            BuildNodeRootStep(m_stageStep++);
            MeasureNewParts(m_pNodeRoot.get(), children, false);
            break;
        }
        m_stage = SceneStage::Labels;
        m_stageStep = 0;
        return true;
    case SceneStage::Labels:
        if (m_stageStep < cells) {
            const int green = m_pGreenCharRoot->getNumChildren();
            const int red = m_pRedCharRoot->getNumChildren();
            BuildCellLabels(m_stageStep++);
            MeasureNewParts(m_pGreenCharRoot.get(), green, true);
            MeasureNewParts(m_pRedCharRoot.get(), red, true);
            break;
        }
        FinishLabels();
        m_stage = SceneStage::Edges;
        m_stageStep = 0;
        return true;
    case SceneStage::Edges:
        if (m_stageStep < cells) {
            const int children = m_pEdgeRoot->getNumChildren();
            BuildCellEdges(m_stageStep++);
            MeasureNewParts(m_pEdgeRoot.get(), children, false);
            break;
        }
        if (m_bPlaceCameraAtEnd && m_pBounds) {
            ViewAllUncached(*m_pCamera, m_pRoot.get(), m_host.GetViewportRegion(), *m_pBounds);
        }
        m_pBounds.reset();
        // Later edits change the scene in place; from now on look nodes up.
        ForgetNodeMatrices();
        // Selection and highlighting follow this scene from now on; its edges
        // start in their own colours, whatever the highlight mode.
        m_nodeIndex.Attach(m_pSelection.get(), m_pNodeRoot.get());
        m_edgeHighlighter.Attach(m_pEdgeRoot.get(), m_graph);
        m_stage = SceneStage::Done;
        return false;
    case SceneStage::Done:
        return false;
    }
    ++m_stepsDone;
    return true;
}

void CRepresentation::InvalidateSceneIndexes() {
    m_nodeIndex.Invalidate();
    m_edgeHighlighter.Invalidate();
}

size_t CRepresentation::CountHighlightedEdges() { return m_edgeHighlighter.EdgeCount(); }

void CRepresentation::BuildCellLabels(int cell) {
    const int circle = m_grid.GetCircleAt(cell / m_grid.GetSecondCount(), cell % m_grid.GetSecondCount());
    if (circle == 0 && !GroupsEmptyCells()) {
        return;
    }
    auto red = MakeCoin<SoSeparator>();
    auto green = MakeCoin<SoSeparator>();
    BuildCircleLabels(circle, green.get(), red.get());
    NameNewSceneNode(green.get(), NumberedName("GreenCharCircleNum:", circle));
    NameNewSceneNode(red.get(), NumberedName("RedCharCircleNum:", circle));
    m_pGreenCharRoot->addChild(green.get());
    m_pRedCharRoot->addChild(red.get());
}

void CRepresentation::FinishLabels() {
    // The first child of each label root is the switch of the label modes.
    for (SoSeparator* root : {m_pGreenCharRoot.get(), m_pRedCharRoot.get()}) {
        auto material = MakeCoin<SoMaterial>();
        material->diffuseColor.setValue(1.0f, 1.0f, 1.0f);
        material->transparency.setValue(0.0f);
        root->insertChild(material.get(), 0);
    }
}

void CRepresentation::BuildCircleLabels(int circle, SoSeparator* greenGroup, SoSeparator* redGroup,
                                        CLabelReuse* reuse) {
    const CNode* graph = Graph();
    const CCircleData* data = (graph && circle != 0) ? graph->GetCircle(circle) : nullptr;
    if (!data) {
        return;
    }
    // The list index, not the number: after a deletion the two differ.
    for (size_t k = 0; k < data->m_lstMolecules.size(); ++k) {
        const MoleculeRecord& m = data->m_lstMolecules[k];
        const bool red = PutsLabelInRedGroup(m.size);
        if (SoSeparator* same = reuse ? reuse->Take(m.name, red, LabelOffset(m.size),
                                                    NodeMatrixAt(circle, static_cast<int>(k), m.name))
                                      : nullptr) {
            AddNewChild(*(red ? redGroup : greenGroup), same);
            continue;
        }
        auto group = MakeCoin<SoSeparator>();
        BuildMoleculeLabel(group.get(), circle, static_cast<int>(k), m.size, m.name, false);
        AddNewChild(*(red ? redGroup : greenGroup), group.get());
    }
}

void CRepresentation::BuildMoleculeLabel(SoSeparator* group, int circle, int index, int size,
                                         const std::string& name, bool nested) {
    const CNode* graph = Graph();
    const MoleculeRecord* self = graph ? graph->GetMolecule(circle, index) : nullptr;
    if (!self) {
        return;
    }
    const bool nests = NestsNeighbourLabels();
    bool shownNeighbour = false;
    if (nests && !nested) {
        for (const LinkEntry& link : ParseLinkEntries(self->links)) {
            // A link to a molecule that does not exist labels nothing.
            if (const MoleculeRecord* neighbour = graph->GetMolecule(link.circle, link.index)) {
                if (neighbour->level == 0) {
                    shownNeighbour = true;
                }
                if (self->level == 0) {
                    auto nestedGroup = MakeCoin<SoSeparator>();
                    BuildMoleculeLabel(nestedGroup.get(), link.circle, link.index, neighbour->size,
                                       neighbour->name, true);
                    AddNewChild(*group, nestedGroup.get());
                }
            }
            if (link.circle <= 0) {
                break;
            }
        }
    }
    if (nests && !nested && self->level != 0 && !shownNeighbour) {
        return;
    }
    auto transform = MakeCoin<SoTransform>();
    {
        CQuietNewNode quiet(*transform);
        transform->setMatrix(NodeMatrixAt(circle, index, name));
    }
    auto offset = MakeCoin<SoTranslation>();
    SetNewField(offset->translation, LabelOffset(size));
    auto text = MakeCoin<SoText2>();
    text->string.setValue(name.c_str());
    m_nameScratch.assign("text_").append(name);
    NameNewSceneNode(text.get(), m_nameScratch);
    AddNewChild(*group, transform.get());
    AddNewChild(*group, offset.get());
    AddNewChild(*group, text.get());
}

void CRepresentation::BuildCellEdges(int cell) {
    const int circle = m_grid.GetCircleAt(cell / m_grid.GetSecondCount(), cell % m_grid.GetSecondCount());
    if (circle == 0 && !GroupsEmptyCells()) {
        return;
    }
    auto group = MakeCoin<SoSeparator>();
    NameNewSceneNode(group.get(), NumberedName("circleNumEdge:", circle));
    BuildCircleEdges(circle, group.get());
    m_pEdgeRoot->addChild(group.get());
}

void CRepresentation::BuildCircleEdges(int circle, SoSeparator* group, CEdgeReuse* reuse) {
    const CNode* graph = Graph();
    const CCircleData* data = (graph && circle != 0) ? graph->GetCircle(circle) : nullptr;
    if (!data || data->m_lstMolecules.empty()) {
        return;
    }
    // Indices up to the last molecule's number; none beyond the list exists.
    const int last = std::min(data->m_lstMolecules.back().number, static_cast<int>(data->m_lstMolecules.size()) - 1);
    for (int k = 0; k <= last; ++k) {
        BuildSourceEdges(circle, k, group, reuse);
    }
}

void CRepresentation::BuildSourceEdges(int circle, int k, SoGroup* group, CEdgeReuse* reuse) {
    const CNode* graph = Graph();
    const MoleculeRecord* source = graph ? graph->GetMolecule(circle, k) : nullptr;
    if (!source) {
        return;
    }
    const SbVec3f from = TranslationOf(NodeMatrixAt(circle, k, source->name));
    for (const LinkEntry& link : ParseLinkEntries(source->links)) {
        // A link to a molecule that does not exist draws nothing.
        if (const MoleculeRecord* target = graph->GetMolecule(link.circle, link.index)) {
            const SbVec3f to = TranslationOf(NodeMatrixAt(link.circle, link.index, target->name));
            const std::optional<float> transparency = EdgeTransparency(*source, *target);
            SoNode* same = reuse ? reuse->Take(LookOfEdge(from, to, link.kind, link.end, circle, k, link.circle,
                                                          link.index, source->linkCount, transparency))
                                 : nullptr;
            if (same) {
                AddNewChild(*group, same);
            } else {
                auto edge = BuildEdge(from, to, link.kind, link.end, circle, k, link.circle, link.index,
                                      source->linkCount, transparency, reuse ? reuse->Pool() : nullptr);
                AddNewChild(*group, edge.get());
            }
        }
        if (link.circle <= 0) {
            break;
        }
    }
}

CoinPtr<SoSeparator> CRepresentation::BuildEdge(SbVec3f from, SbVec3f to, int kind, int end, int fromCircle,
                                                int fromIndex, int toCircle, int toIndex, int linkCount,
                                                std::optional<float> transparency, CEdgeMaterialPool* pool) {
    const float distance = (to - from).length();

    auto aim = MakeCoin<SoTransform>();
    {
        CQuietNewNode quiet(*aim);
        aim->pointAt(from, to);
    }
    auto turn = MakeCoin<SoTransform>();
    SetNewField(turn->rotation, ConeTurn());
    auto shift = MakeCoin<SoTransform>();
    SetNewField(shift->translation, 0.0f, distance / 2, 0.0f);

    const bool inTable = kind >= 0 && kind < kRelationKindCount;
    if (!inTable) {
        OtherEdgeKinds().insert(kind);
    }
    const SbName materialName = inTable ? m_edgeMaterialNames[static_cast<size_t>(kind)]
                                        : SceneName(std::string(NumberedName("edge_material_", kind)));
    CoinPtr<SoMaterial> material = pool ? pool->Take(materialName) : CoinPtr<SoMaterial>();
    if (!material) {
        material = MakeCoin<SoMaterial>();
        NameNewSceneNode(material.get(), materialName);
    }
    material->diffuseColor.setValue(GetEdgeColor(kind));
    if (transparency) {
        material->transparency.setValue(*transparency);
    }

    auto cone = MakeCoin<SoCone>();
    // "E_%d:%d-%d:%d"
    char coneName[64];
    char* at = WriteNumber(WriteText(coneName, "E_"), fromCircle);
    at = WriteNumber(WriteText(at, ":"), fromIndex);
    at = WriteNumber(WriteText(at, "-"), toCircle);
    *WriteNumber(WriteText(at, ":"), toIndex) = '\0';
    NameNewSceneNode(cone.get(), coneName);
    cone->bottomRadius.setValue(EdgeRadius(linkCount));
    cone->height.setValue(EdgeHeight(distance, end));

    auto group = MakeCoin<SoSeparator>();
    AddNewChild(*group, aim.get());
    AddNewChild(*group, turn.get());
    AddNewChild(*group, shift.get());
    AddNewChild(*group, material.get());
    AddNewChild(*group, cone.get());
    return group;
}
