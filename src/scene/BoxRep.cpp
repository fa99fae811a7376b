#include "BoxRep.h"

#include <Inventor/SoPath.h>
#include <Inventor/actions/SoGetMatrixAction.h>
#include <Inventor/nodes/SoMaterial.h>
#include <Inventor/nodes/SoSeparator.h>
#include <Inventor/nodes/SoSphere.h>
#include <Inventor/nodes/SoTransform.h>

#include "Node.h"
#include "SceneHost.h"
#include "SceneNames.h"

CBoxRep::CBoxRep(CInteractionStore& doc, const std::unique_ptr<CNode>& graph, ISceneHost& host)
    : CRepresentation(doc, graph, host) {
    const SbColor magenta(1, 0, 1), red(1, 0, 0), green(0, 1, 0), cyan(0, 1, 1), blue(0, 0, 1), yellow(1, 1, 0);
    m_edgeColors = {magenta, red, red, green, red, green, cyan, blue, yellow, magenta, magenta};
}

float CBoxRep::EdgeRadius(int linkCount) const { return static_cast<float>((linkCount / 10 + 1) * 0.8); }

std::optional<float> CBoxRep::EdgeTransparency(const MoleculeRecord& source, const MoleculeRecord& target) const {
    return source.level != 0 && target.level != 0 ? 1.0f : 0.0f;
}

void CBoxRep::BuildNodeRoot() {
    const CNode* graph = Graph();
    const bool white = Host().GetModeFlags().m_bViewByColor != 0;
    SoGetMatrixAction getMatrix(Host().GetViewportRegion());
    int circle = 1;
    for (int hor = 0; hor < m_grid.GetFirstCount(); ++hor) {
        for (int ver = 0; ver < m_grid.GetSecondCount() && circle < m_grid.GetCircleCount(); ++ver, ++circle) {
            const MoleculeRecord* m = graph ? graph->GetMolecule(circle, 0) : nullptr;
            if (!m) {
                continue;
            }
            auto transform = MakeCoin<SoTransform>();
            transform->translation.setValue(m_nSpacingXY * m->posX, static_cast<float>(m_nSpacingXY * m->level),
                                            m_nSpacingZ * m->posY);
            auto material = MakeCoin<SoMaterial>();
            material->diffuseColor.setValue(white ? SbColor(1, 1, 1) : SbColor(0, 1, 0));
            material->transparency.setValue(m->level != 0 ? 1.0f : 0.0f);
            auto sphere = MakeCoin<SoSphere>();
            sphere->radius.setValue(kSphereRadius);
            SetSceneName(sphere.get(), m->name);

            auto group = MakeCoin<SoSeparator>();
            group->addChild(transform.get());
            group->addChild(material.get());
            group->addChild(sphere.get());
            m_pNodeRoot->addChild(group.get());

            // Nothing above the group moves it, so the matrix along the group
            // is the one a search from the node root would give.
            auto path = MakeCoin<SoPath>(group.get());
            path->append(2);
            getMatrix.apply(path.get());
            RememberNodeMatrix(m->name, getMatrix.getMatrix());
        }
    }
    SetNodeMatricesComplete();
}

SbRotation CBoxRep::InitialCameraOrientation() const {
    // 60 degrees down from the horizon; larger y of the position file is
    // nearer the bottom of the screen.
    return SbRotation(SbVec3f(1.0f, 0.0f, 0.0f), -static_cast<float>(M_PI) / 3.0f);
}
