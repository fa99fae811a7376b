// Highlight and label modes: materials of molecules and edges, the
// render action, and the two label roots.
#include <Inventor/SoPath.h>
#include <Inventor/lists/SoNodeList.h>
#include <Inventor/lists/SoPathList.h>
#include <Inventor/nodes/SoMaterial.h>
#include <Inventor/nodes/SoSelection.h>
#include <Inventor/nodes/SoSeparator.h>

#include "FieldValues.h"
#include "Representation.h"
#include "SceneHost.h"
#include "SceneNames.h"

namespace {

const SbColor kRed(1.0f, 0.0f, 0.0f);
const SbColor kGreen(0.0f, 1.0f, 0.0f);
const SbColor kWhite(1.0f, 1.0f, 1.0f);

// The material child of a molecule group and of a label root.
constexpr int kMoleculeMaterialChild = 1;
constexpr int kLabelSwitchChild = 0;

SoMaterial* MaterialChild(SoNode* group, int index) {
    if (!group || !group->isOfType(SoGroup::getClassTypeId())) {
        return nullptr;
    }
    auto* g = static_cast<SoGroup*>(group);
    if (index >= g->getNumChildren() || !g->getChild(index)->isOfType(SoMaterial::getClassTypeId())) {
        return nullptr;
    }
    return static_cast<SoMaterial*>(g->getChild(index));
}

// Every material of every existing scene bearing that name (edge
// materials waiting for reuse are in none).
template <class F>
void ForEachMaterialNamed(const std::string& name, F&& f) {
    SoNodeList nodes;
    SoNode::getByName(SceneName(name), nodes);
    for (int i = 0; i < nodes.getLength(); ++i) {
        if (nodes[i]->isOfType(SoMaterial::getClassTypeId()) && !CEdgeMaterialPool::IsWaiting(nodes[i])) {
            f(static_cast<SoMaterial*>(nodes[i]));
        }
    }
}

// The look of a material with nothing selected: its own colour (mode 0),
// transparent (1), or white (2).
void SetResetLook(SoMaterial* material, int mode, const SbColor& own) {
    SetFirstValue(material->diffuseColor, mode == 2 ? kWhite : own);
    SetFirstValue(material->transparency, mode == 1 ? 1.0f : 0.0f);
}

}  // namespace

SoMaterial* CRepresentation::MoleculeMaterial(const SoPath* path) {
    if (!path || path->getLength() < 2) {
        return nullptr;
    }
    return MaterialChild(path->getNodeFromTail(1), kMoleculeMaterialChild);
}

void CRepresentation::SetHighlightMode(int newMode, int oldMode) {
    if (newMode != 0 && newMode != oldMode) {
        m_host.UseRenderActionFor(newMode);
    }
    if (newMode == 0) {
        m_host.UseRenderActionFor(0);
    }
    ResetHighlight(newMode);
    if (m_pSelection) {
        HighlightPaths(*m_pSelection->getList(), newMode);
    }
}

void CRepresentation::ResetHighlight(int mode) {
    if (mode >= 0 && mode <= 2) {
        ForEachMaterialNamed("node_material_red", [&](SoMaterial* m) { SetResetLook(m, mode, kRed); });
        ForEachMaterialNamed("node_material_green", [&](SoMaterial* m) { SetResetLook(m, mode, kGreen); });
        for (int kind = 0; kind < kRelationKindCount; ++kind) {
            const SbColor own = m_edgeColors[static_cast<size_t>(kind)];
            ForEachMaterialNamed("edge_material_" + std::to_string(kind),
                                 [&](SoMaterial* m) { SetResetLook(m, mode, own); });
        }
        // Else an edge of such a kind kept the look of the mode before.
        for (int kind : OtherEdgeKinds()) {
            const SbColor own = GetEdgeColor(kind);
            ForEachMaterialNamed("edge_material_" + std::to_string(kind),
                                 [&](SoMaterial* m) { SetResetLook(m, mode, own); });
        }
    }
    m_edgeHighlighter.ForgetLooks();
    m_lstSelectNames.Clear();
}

void CRepresentation::SetHighlightedLook(SoPath* path, int mode, bool highlighted) {
    SoMaterial* material = MoleculeMaterial(path);
    if (!material) {
        return;
    }
    if (mode == 1) {
        SetFirstValue(material->transparency, highlighted ? 0.0f : 1.0f);
    } else if (mode == 2) {
        if (highlighted) {
            const bool red = GetSceneName(material).find("red") != std::string::npos;
            SetFirstValue(material->diffuseColor, red ? kRed : kGreen);
        } else {
            SetFirstValue(material->diffuseColor, kWhite);
            SetFirstValue(material->transparency, 0.0f);
        }
    }
}

void CRepresentation::HighlightPath(SoPath* path, int mode) {
    SetHighlightedLook(path, mode, true);
    if (path) {
        m_edgeHighlighter.UpdateAround(path->getTail(), mode);
    }
}

void CRepresentation::HighlightPaths(const SoPathList& paths, int mode) {
    for (int i = 0; i < paths.getLength(); ++i) {
        SetHighlightedLook(paths[i], mode, true);
    }
    UpdateEdgeHighlight(mode);
}

void CRepresentation::UnhighlightPath(SoPath* path, int mode) {
    SetHighlightedLook(path, mode, false);
    if (path) {
        m_edgeHighlighter.UpdateAround(path->getTail(), mode);
    }
}

void CRepresentation::UpdateEdgeHighlight(int mode) { m_edgeHighlighter.UpdateAll(mode); }

void CRepresentation::SetLabelVisibility(int value) {
    const bool redShown = value == 0 || value == 1 || value == 2;
    const bool greenShown = value == 0 || value == 2;
    if (SoMaterial* red = MaterialChild(m_pRedCharRoot.get(), kLabelSwitchChild)) {
        SetFirstValue(red->transparency, redShown ? 0.0f : 1.0f);
    }
    if (SoMaterial* green = MaterialChild(m_pGreenCharRoot.get(), kLabelSwitchChild)) {
        SetFirstValue(green->transparency, greenShown ? 0.0f : 1.0f);
    }
}
