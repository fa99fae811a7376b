#pragma once

#include "Representation.h"

class SbMatrix;

// The sphere representation: the circles of the relation-node graph on the
// upper half of a sphere of radius m_nBigRadius, one latitude ring per
// breadth-first depth and one meridian per column of the cell map, each
// molecule sphere m_nSmallRadius away from its circle's centre.
class CSphereVision : public CRepresentation {
public:
    CSphereVision(CInteractionStore& doc, const std::unique_ptr<CNode>& graph, ISceneHost& host, int bigRadius,
                  int smallRadius, int circleCount);

    // Fills the cell map (column, ring) and the column and ring counts.
    void Layout();

    // Adds the molecule sphere(s) of circle `circle` to its circle group,
    // a new one (see NewNodes.h).
    void BuildCircleSpheres(SoSeparator* group, int circle);

    int GetColumns() const { return m_grid.GetFirstCount(); }
    int GetRings() const { return m_grid.GetSecondCount(); }
    int GetCircleCount() const { return m_nCircleCount; }

    const int m_nBigRadius;
    const int m_nSmallRadius;
    const int m_nCircleCount;

    static constexpr float kMoleculeRadius = 2.0f;
    static constexpr float kRelationNodeRadius = 1.0f;
    static constexpr float kEdgeRadius = 0.75f;
    static constexpr float kTwoPi = 6.2831853f;
    // Sphere colours outside View By Color.
    static SbColor MoleculeColour() { return SbColor(1, 0, 0); }
    static SbColor RelationNodeColour() { return SbColor(0, 1, 0); }

protected:
    void BuildNodeRoot() override;
    // The sphere's cell map is sparse (a group's columns on every ring, most
    // of them empty): groups for empty cells would outnumber the circles
    // many times over, all under the same names, which Coin's name table
    // lets go of one linear search at a time.
    bool GroupsEmptyCells() const override { return false; }
    const char* LabelFontName() const override { return "Arial"; }
    float LabelFontSize() const override { return 12.0f; }
    bool NestsNeighbourLabels() const override { return false; }
    SbVec3f LabelOffset(int size) const override;
    // Relation nodes (size 0) are labelled in the green group, the rest red.
    bool PutsLabelInRedGroup(int size) const override { return size != 0; }
    float EdgeRadius(int /*linkCount*/) const override { return kEdgeRadius; }
    // An edge that ends at a relation node stops one unit short of it.
    float EdgeHeight(float distance, int end) const override { return end != 0 ? distance - 1.0f : distance; }
    std::optional<float> EdgeTransparency(const MoleculeRecord& /*source*/,
                                          const MoleculeRecord& /*target*/) const override {
        return std::nullopt;
    }

private:
    // Adds the spheres and, when `groupMatrix` is given (the accumulated
    // transformation at the circle group), remembers each sphere's matrix.
    void AddCircleSpheres(SoSeparator* group, int circle, const SbMatrix* groupMatrix);
};
