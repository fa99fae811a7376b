#pragma once

#include "InteractionRows.h"

#include <memory>
#include <string>
#include <vector>

#include <Inventor/SbMatrix.h>
#include <Inventor/SbVec3f.h>
#include <Inventor/SbViewportRegion.h>
#include <Inventor/nodes/SoGroup.h>

#include "CoinPtr.h"

#include "InteractionStore.h"
#include "Node.h"
#include "SceneHost.h"

class SoPath;
class SoSelection;

// A host without a window: plain flags and a fixed viewport.
class TestSceneHost : public ISceneHost {
public:
    const ModeFlags& GetModeFlags() const override { return m_flags; }
    const SbViewportRegion& GetViewportRegion() const override { return m_viewport; }
    void RedrawOnSelectionChange(SoSelection* selection) override { m_redrawSelections.push_back(selection); }
    void UseRenderActionFor(int highlightMode) override { m_renderActions.push_back(highlightMode); }
    void SetNodeNameText(const std::string& text) override { m_nodeName = text; }
    void SetTextSourceText(const std::string& text) override { m_textSource = text; }
    void ShowMessage(const std::string& text) override { m_messages.push_back(text); }

    ModeFlags m_flags;
    SbViewportRegion m_viewport{640, 480};
    std::vector<SoSelection*> m_redrawSelections;
    std::vector<int> m_renderActions;  // highlight modes, one per switch
    std::string m_nodeName;
    std::string m_textSource;
    std::vector<std::string> m_messages;
};

// One interaction row of a test graph.
// Fills the store with the rows and runs the start-up build over them.
std::unique_ptr<CNode> BuildTestGraph(CInteractionStore& store, const std::vector<TestRow>& rows);

template <class T>
T* As(SoNode* node) {
    return node && node->isOfType(T::getClassTypeId()) ? static_cast<T*>(node) : nullptr;
}
// A group's number of children, -1 for a node that is no group.
int ChildCount(SoNode* group);
// A copy of the path to the first node named `name` under `root`.
CoinPtr<SoPath> PathTo(SoNode* root, const std::string& name);
// The accumulated transformation along a path, and that of a single node.
SbMatrix MatrixAlong(SoPath* path);
SbMatrix MatrixOf(SoNode* node);
inline SbVec3f TranslationOf(const SbMatrix& m) { return SbVec3f(m[3][0], m[3][1], m[3][2]); }

// The first node under `root` bearing that (decoded) name, or null.
SoNode* FindNamed(SoNode* root, const std::string& name);
// Every node under `root` bearing that name, in depth-first order.
std::vector<SoNode*> FindAllNamed(SoNode* root, const std::string& name);

// The whole scene as Coin writes it: types, names and field values in order.
std::string SceneText(SoNode* root);
// Everything below the roots that an update may change, as Coin writes it;
// a zero reads the same whatever its sign (nodes at the origin give both).
class CRepresentation;
std::string Shown(const CRepresentation& rep);
