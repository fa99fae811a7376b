#pragma once

#include <unordered_map>

#include "Representation.h"

class CLayoutExtent;

// The box representation: circles on a rectangular grid of cells, each
// molecule drawn at its node-position coordinates and lifted by its level.
class CBoxRep : public CRepresentation {
public:
    CBoxRep(CInteractionStore& doc, const std::unique_ptr<CNode>& graph, ISceneHost& host);

    // Places the circles 1 .. circleCount - 1 on the grid; call before
    // BuildScene.
    void Layout(int circleCount) { m_grid.Layout(circleCount); }

    int GetNumHor() const { return m_grid.GetFirstCount(); }
    int GetNumVer() const { return m_grid.GetSecondCount(); }
    int GetCircleCount() const { return m_grid.GetCircleCount(); }
    // Circles 1 .. PlacedCircleCount() get a group under the node root.
    int PlacedCircleCount() const;
    // The molecules of the circle's group, read from the graph before the
    // group exists, into `extent` in the group's order: a picture of them
    // needs no scene node.
    void AddCircleLayout(int circle, CLayoutExtent& extent) const;

    int m_nSpacingXY = 30;  // scale of x and of the level height
    int m_nSpacingZ = 30;   // scale of y, which becomes the scene's z

    static constexpr float kSphereRadius = 0.4f;
    static constexpr float kLabelLift = 3.0f;
    // Colour of a molecule sphere outside View By Color.
    static SbColor SphereColour() { return SbColor(0, 1, 0); }

protected:
    void BuildNodeRoot() override;
    // One circle per step, then a step that marks the matrices complete.
    int NodeRootStepCount() const override { return PlacedCircleCount() + 1; }
    void BuildNodeRootStep(int step) override;
    // The box scene has no named circle groups: it keeps its own, so that
    // an edit in the box view shows too.
    int ReplaceCircleSpheres(int circle) override;
    SoNode* CircleSpheres(int circle) override;
    // Read from the graph, as the circle group places it: no scene search.
    SbMatrix PlacedMatrix(int circle, int index, const std::string& name) const override;
    // Molecules lie in the x-z plane, lifted by level along y: seen along -z
    // the plane is edge-on and every shown molecule sits on one line, so the
    // camera starts looking down onto the plane at an angle instead.
    SbRotation InitialCameraOrientation() const override;
    const char* LabelFontName() const override { return "Times-Roman"; }
    float LabelFontSize() const override { return 18.0f; }
    bool NestsNeighbourLabels() const override { return true; }
    SbVec3f LabelOffset(int /*size*/) const override { return SbVec3f(0.0f, kLabelLift, 0.0f); }
    bool PutsLabelInRedGroup(int /*size*/) const override { return false; }
    float EdgeRadius(int linkCount) const override;
    float EdgeHeight(float distance, int /*end*/) const override { return distance - 1.0f; }
    std::optional<float> EdgeTransparency(const MoleculeRecord& source, const MoleculeRecord& target) const override;

private:
    // The group of the circle's molecules: the first at its position, any
    // others beside it. Null for a circle without molecules.
    CoinPtr<SoSeparator> BuildCircleGroup(int circle) const;
    // Where the circle's first molecule stands, and how far beside it a
    // molecule added later stands.
    SbVec3f CirclePlace(const MoleculeRecord& first) const;
    static SbVec3f BesideFirst(int index) { return SbVec3f(3.0f * kSphereRadius * static_cast<float>(index), 0, 0); }
    SbColor MoleculeColour() const;

    std::unordered_map<int, CoinPtr<SoSeparator>> m_circleGroups;
};
