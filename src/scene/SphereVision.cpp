#include "SphereVision.h"

#include <cmath>
#include <cstdio>

#include <Inventor/SbMatrix.h>
#include <Inventor/SbRotation.h>
#include <Inventor/nodes/SoMaterial.h>
#include <Inventor/nodes/SoRotationXYZ.h>
#include <Inventor/nodes/SoSeparator.h>
#include <Inventor/nodes/SoSphere.h>
#include <Inventor/nodes/SoTransform.h>

#include "NewNodes.h"
#include "Node.h"
#include "SceneHost.h"
#include "SceneNames.h"
#include "SphereLayout.h"

namespace {

// Matrices of the nodes as a matrix action accumulates them (each node's
// matrix multiplied on the left), so that the remembered matrices are the
// ones a search from the node root would find.
SbMatrix Translation(const SbVec3f& t) {
    SbMatrix m;
    m.setTranslate(t);
    return m;
}

SbMatrix RotationAboutY(float angle) {
    SbMatrix m;
    m.setRotate(SbRotation(SbVec3f(0.0f, 1.0f, 0.0f), angle));
    return m;
}

}  // namespace

CSphereVision::CSphereVision(CInteractionStore& doc, const std::unique_ptr<CNode>& graph, ISceneHost& host,
                             int bigRadius, int smallRadius, int circleCount)
    : CRepresentation(doc, graph, host),
      m_nBigRadius(bigRadius),
      m_nSmallRadius(smallRadius),
      m_nCircleCount(circleCount) {
    const SbColor magenta(1, 0, 1), yellow(1, 1, 0);
    const SbColor brown(0.5450981f, 0.2705882f, 0.0745098f), cornsilk(1.0f, 0.9725490f, 0.8627451f);
    m_edgeColors = {magenta, yellow, yellow, brown, yellow, brown, cornsilk, yellow, brown, magenta, magenta};
}

void CSphereVision::Layout() {
    const CNode* graph = Graph();
    if (graph) {
        LayOutSphere(*graph, m_nCircleCount, m_grid);
    } else {
        m_grid.Clear();
        m_grid.SetSize(1, 1);
    }
}

SbVec3f CSphereVision::LabelOffset(int size) const {
    return size == 1 ? SbVec3f(2.25f, 0.0f, 2.25f) : SbVec3f(1.25f, 0.0f, 1.25f);
}

void CSphereVision::BuildNodeRoot() {
    const int columns = GetColumns();
    const int rings = GetRings();
    if (columns < 1 || rings < 1) {
        return;
    }
    const int ringStep = m_nBigRadius / rings;
    auto lift = MakeCoin<SoTransform>();
    lift->translation.setValue(0.0f, static_cast<float>(ringStep), 0.0f);
    const SbMatrix liftMatrix = Translation(lift->translation.getValue());
    const float columnAngle = static_cast<float>(6.2831853 / columns);
    const SbMatrix columnTurn = RotationAboutY(columnAngle);

    SbMatrix ringMatrix = SbMatrix::identity();
    for (int ring = 0; ring < rings; ++ring) {
        auto ringGroup = MakeCoin<SoSeparator>();
        const int height = ring * ringStep;
        const float z = static_cast<float>(std::sqrt(static_cast<double>(m_nBigRadius * m_nBigRadius - height * height)));
        SbMatrix columnMatrix = ringMatrix;
        for (int column = 0; column < columns; ++column) {
            // Every column turns the ring on, occupied or not.
            auto turn = MakeCoin<SoRotationXYZ>();
            SetNewField(turn->axis, SoRotationXYZ::Y);
            SetNewField(turn->angle, columnAngle);
            AddNewChild(*ringGroup, turn.get());
            columnMatrix.multLeft(columnTurn);

            const int circle = m_grid.GetCircleAt(column, ring);
            if (circle <= 0) {
                continue;
            }
            auto out = MakeCoin<SoTransform>();
            SetNewField(out->translation, 0.0f, 0.0f, z);
            auto circleGroup = MakeCoin<SoSeparator>();
            char name[32];
            std::snprintf(name, sizeof name, "CircleNumber:%d", circle);
            NameNewSceneNode(circleGroup.get(), name);
            AddNewChild(*circleGroup, out.get());
            SbMatrix groupMatrix = columnMatrix;
            groupMatrix.multLeft(Translation(out->translation.getValue()));
            AddCircleSpheres(circleGroup.get(), circle, &groupMatrix);
            AddNewChild(*ringGroup, circleGroup.get());
        }
        m_pNodeRoot->addChild(ringGroup.get());
        m_pNodeRoot->addChild(lift.get());
        ringMatrix.multLeft(liftMatrix);
    }
    SetNodeMatricesComplete();
}

void CSphereVision::BuildCircleSpheres(SoSeparator* group, int circle) { AddCircleSpheres(group, circle, nullptr); }

void CSphereVision::AddCircleSpheres(SoSeparator* group, int circle, const SbMatrix* groupMatrix) {
    const CNode* graph = Graph();
    if (!graph || !group) {
        return;
    }
    const int width = graph->GetScanWidth(circle);
    const float angle = kTwoPi / static_cast<float>(width);
    auto turn = MakeCoin<SoRotationXYZ>();
    SetNewField(turn->axis, SoRotationXYZ::Y);
    SetNewField(turn->angle, angle);
    auto out = MakeCoin<SoTransform>();
    SetNewField(out->translation, 0.0f, 0.0f, static_cast<float>(m_nSmallRadius));

    const ModeFlags& flags = Host().GetModeFlags();
    SbMatrix turned = groupMatrix ? *groupMatrix : SbMatrix::identity();
    const SbMatrix turnMatrix = RotationAboutY(angle);
    for (int k = 0; k < width; ++k) {
        const MoleculeRecord* m = graph->GetMolecule(circle, k);
        if (!m) {
            continue;
        }
        AddNewChild(*group, turn.get());
        turned.multLeft(turnMatrix);

        const bool molecule = m->size != 0;
        auto material = MakeCoin<SoMaterial>();
        static const SbName red = SceneName("node_material_red");
        static const SbName green = SceneName("node_material_green");
        NameNewSceneNode(material.get(), molecule ? red : green);
        material->diffuseColor.setValue(flags.m_bViewByColor ? SbColor(1, 1, 1)
                                                             : (molecule ? MoleculeColour() : RelationNodeColour()));
        if (flags.m_bSelectiveShowing) {
            material->transparency.setValue(1.0f);
        }
        auto sphere = MakeCoin<SoSphere>();
        sphere->radius.setValue(molecule ? kMoleculeRadius : kRelationNodeRadius);
        NameNewSceneNode(sphere.get(), m->name);

        auto moleculeGroup = MakeCoin<SoSeparator>();
        AddNewChild(*moleculeGroup, out.get());
        AddNewChild(*moleculeGroup, material.get());
        AddNewChild(*moleculeGroup, sphere.get());
        AddNewChild(*group, moleculeGroup.get());

        if (groupMatrix) {
            SbMatrix sphereMatrix = turned;
            sphereMatrix.multLeft(Translation(out->translation.getValue()));
            RememberNodeMatrix(m->name, sphereMatrix);
        }
    }
}
