#include "BoxRep.h"

#include <algorithm>

#include <Inventor/nodes/SoMaterial.h>
#include <Inventor/nodes/SoSeparator.h>
#include <Inventor/nodes/SoSphere.h>
#include <Inventor/nodes/SoTransform.h>

#include "CameraFit.h"
#include "FieldValues.h"
#include "LinkText.h"
#include "NewNodes.h"
#include "Node.h"
#include "SceneHost.h"
#include "SceneNames.h"

namespace {

// Molecules off the first level are fully transparent.
float Transparency(const MoleculeRecord& m) { return m.level != 0 ? 1.0f : 0.0f; }

}  // namespace

CBoxRep::CBoxRep(CInteractionStore& doc, const std::unique_ptr<CNode>& graph, ISceneHost& host)
    : CRepresentation(doc, graph, host) {
    const SbColor magenta(1, 0, 1), red(1, 0, 0), green(0, 1, 0), cyan(0, 1, 1), blue(0, 0, 1), yellow(1, 1, 0);
    m_edgeColors = {magenta, red, red, green, red, green, cyan, blue, yellow, magenta, magenta};
}

float CBoxRep::EdgeRadius(int linkCount) const { return static_cast<float>((linkCount / 10 + 1) * 0.8); }

std::optional<float> CBoxRep::EdgeTransparency(const MoleculeRecord& source, const MoleculeRecord& target) const {
    return source.level != 0 && target.level != 0 ? 1.0f : 0.0f;
}

int CBoxRep::PlacedCircleCount() const {
    // Circles 1 .. count - 1, as many as the grid has cells.
    return std::max(0, std::min(m_grid.GetFirstCount() * m_grid.GetSecondCount(), m_grid.GetCircleCount() - 1));
}

void CBoxRep::BuildNodeRoot() {
    for (int step = 0; step < NodeRootStepCount(); ++step) {
        BuildNodeRootStep(step);
    }
}

void CBoxRep::BuildNodeRootStep(int step) {
    if (step == 0) {
        m_circleGroups.clear();
    }
    if (step >= PlacedCircleCount()) {
        SetNodeMatricesComplete();
        return;
    }
    const int circle = step + 1;
    CoinPtr<SoSeparator> group = BuildCircleGroup(circle);
    if (!group) {
        return;
    }
    m_pNodeRoot->addChild(group.get());
    m_circleGroups[circle] = group;
    // Nothing above the group moves it, so the matrix along the group is
    // the one a search from the node root would give: the identity times
    // the matrix of the group's transform (before a material and the first
    // sphere), as a matrix action along the path works it out.
    auto matrixOf = [](SoNode* place) { return TransformMatrix(*static_cast<const SoTransform*>(place)); };
    SbMatrix matrix = SbMatrix::identity();
    matrix.multLeft(matrixOf(group->getChild(0)));
    RememberNodeMatrix(GetSceneName(group->getChild(2)), matrix);
    // Molecules added to the circle sit in groups of their own beside the
    // first (transform, material, sphere).
    for (int i = 3; i < group->getNumChildren(); ++i) {
        auto* own = static_cast<SoSeparator*>(group->getChild(i));
        SbMatrix beside = matrix;
        beside.multLeft(matrixOf(own->getChild(0)));
        RememberNodeMatrix(GetSceneName(own->getChild(2)), beside);
    }
}

CoinPtr<SoSeparator> CBoxRep::BuildCircleGroup(int circle) const {
    const CNode* graph = Graph();
    const CCircleData* data = graph ? graph->GetCircle(circle) : nullptr;
    if (!data || data->m_lstMolecules.empty()) {
        return CoinPtr<SoSeparator>();
    }
    const SbColor colour = MoleculeColour();
    auto group = MakeCoin<SoSeparator>();
    for (size_t k = 0; k < data->m_lstMolecules.size(); ++k) {
        const MoleculeRecord& m = data->m_lstMolecules[k];
        // The first molecule stands at its position; molecules added to its
        // circle by hand have none and stand in a row beside it.
        CoinPtr<SoSeparator> own = k == 0 ? group : MakeCoin<SoSeparator>();
        auto place = MakeCoin<SoTransform>();
        SetNewField(place->translation, k == 0 ? CirclePlace(m) : BesideFirst(static_cast<int>(k)));
        AddNewChild(*own, place.get());
        if (k != 0) {
            AddNewChild(*group, own.get());
        }
        auto material = MakeCoin<SoMaterial>();
        material->diffuseColor.setValue(colour);
        material->transparency.setValue(Transparency(m));
        auto sphere = MakeCoin<SoSphere>();
        sphere->radius.setValue(kSphereRadius);
        NameNewSceneNode(sphere.get(), m.name);
        AddNewChild(*own, material.get());
        AddNewChild(*own, sphere.get());
    }
    return group;
}

SbColor CBoxRep::MoleculeColour() const {
    return Host().GetModeFlags().m_bViewByColor != 0 ? SbColor(1, 1, 1) : SphereColour();
}

void CBoxRep::AddCircleLayout(int circle, CLayoutExtent& extent) const {
    const CNode* graph = Graph();
    const CCircleData* data = graph ? graph->GetCircle(circle) : nullptr;
    if (!data || data->m_lstMolecules.empty()) {
        return;
    }
    const SbColor colour = MoleculeColour();
    const SbVec3f place = CirclePlace(data->m_lstMolecules[0]);
    for (size_t k = 0; k < data->m_lstMolecules.size(); ++k) {
        const MoleculeRecord& m = data->m_lstMolecules[k];
        // As the group's transforms add up: the first at its place, the others beside it.
        const SbVec3f centre = k == 0 ? place : place + BesideFirst(static_cast<int>(k));
        extent.AddMolecule(centre, kSphereRadius, m.name, colour, Transparency(m) < 1.0f);
    }
}

SbVec3f CBoxRep::CirclePlace(const MoleculeRecord& first) const {
    return SbVec3f(m_nSpacingXY * first.posX, static_cast<float>(m_nSpacingXY * first.level), m_nSpacingZ * first.posY);
}

SbMatrix CBoxRep::PlacedMatrix(int circle, int index, const std::string& name) const {
    const CNode* graph = Graph();
    if (!graph) {
        return GetNodeMatrix(name);
    }
    // A name borne twice stands where its first bearer is, as a look-up
    // by name finds it; the name index knows the first.
    int c = 0, i = 0;
    if (ParsePosition(graph->LookUp(name), c, i) && graph->GetMoleculeName(c, i) == name) {
        circle = c;
        index = i;
    }
    const MoleculeRecord* first = graph->GetMolecule(circle, 0);
    if (!first || !graph->GetMolecule(circle, index)) {
        return GetNodeMatrix(name);
    }
    SbMatrix matrix;
    matrix.setTranslate(CirclePlace(*first) + BesideFirst(index));
    return matrix;
}

SoNode* CBoxRep::CircleSpheres(int circle) {
    auto it = m_circleGroups.find(circle);
    return it == m_circleGroups.end() ? nullptr : it->second.get();
}

int CBoxRep::ReplaceCircleSpheres(int circle) {
    CoinPtr<SoSeparator> group = BuildCircleGroup(circle);
    auto old = m_circleGroups.find(circle);
    if (old != m_circleGroups.end()) {
        DeselectWithin(old->second.get());
        if (group) {
            NodeIndex().ReplaceChild(m_pNodeRoot.get(), old->second.get(), group.get());
            old->second = group;
        } else {
            m_pNodeRoot->removeChild(old->second.get());
            m_circleGroups.erase(old);
        }
    } else if (group) {
        // A circle emptied earlier comes back where it stood: before the
        // group of the next circle shown.
        int at = -1;
        for (int next = circle + 1; next <= PlacedCircleCount() && at < 0; ++next) {
            auto later = m_circleGroups.find(next);
            if (later != m_circleGroups.end()) {
                at = m_pNodeRoot->findChild(later->second.get());
            }
        }
        if (at < 0) {
            m_pNodeRoot->addChild(group.get());
        } else {
            m_pNodeRoot->insertChild(group.get(), at);
        }
        m_circleGroups[circle] = group;
    }
    return 1;
}

SbRotation CBoxRep::InitialCameraOrientation() const {
    // 60 degrees down from the horizon; larger y of the position file is
    // nearer the bottom of the screen.
    return SbRotation(SbVec3f(1.0f, 0.0f, 0.0f), -static_cast<float>(M_PI) / 3.0f);
}
