#pragma once

#include <string>
#include <vector>

#include <Inventor/SbColor.h>

class CRepresentation;

// What the colours, sizes and cones of a representation's scene mean, for
// the legend dock: read from the representation, never restated.
struct LegendEdgeRow {
    SbColor colour;
    std::vector<int> kinds;  // relation kinds drawn in this colour, ascending
    std::string names;       // their names, joined with ", "
};

struct LegendSphereRow {
    SbColor colour;
    float radius = 0;
    std::string meaning;
};

struct LegendContent {
    std::string view;       // which representation
    std::string highlight;  // how the highlight mode changes the colours below
    std::vector<LegendSphereRow> spheres;
    std::vector<LegendEdgeRow> edges;
    std::string cone;       // what a cone marks
};

// Kinds sharing a colour share a row; rows in the order of their first kind.
std::vector<LegendEdgeRow> GroupKindsByColour(const CRepresentation& rep);

// The legend of `rep` under highlight mode 0 (box), 1 (selective showing)
// or 2 (by colour).
LegendContent BuildLegend(const CRepresentation& rep, int highlightMode);
