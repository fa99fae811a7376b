#include "LegendContent.h"

#include "BoxRep.h"
#include "RelationKind.h"
#include "SphereVision.h"

std::vector<LegendEdgeRow> GroupKindsByColour(const CRepresentation& rep) {
    std::vector<LegendEdgeRow> rows;
    for (int kind = 0; kind < kRelationKindCount; ++kind) {
        const SbColor colour = rep.GetEdgeColor(kind);
        auto row = rows.begin();
        while (row != rows.end() && row->colour != colour) {
            ++row;
        }
        if (row == rows.end()) {
            rows.push_back(LegendEdgeRow{colour, {}, {}});
            row = rows.end() - 1;
        }
        row->kinds.push_back(kind);
        row->names += (row->names.empty() ? "" : ", ") + std::string(RelationKindCaption(kind));
    }
    return rows;
}

LegendContent BuildLegend(const CRepresentation& rep, int highlightMode) {
    LegendContent legend;
    legend.edges = GroupKindsByColour(rep);
    // Box molecule materials bear no name: the highlight modes leave
    // their transparency alone and colour a selected one green.
    const bool box = dynamic_cast<const CBoxRep*>(&rep) != nullptr;
    if (box) {
        legend.view = "Box view: one sphere per molecule, placed by the node-position file.";
        legend.spheres.push_back({CBoxRep::SphereColour(), CBoxRep::kSphereRadius, "molecule"});
        legend.cone =
            "Each cone is one interaction: it starts at the first member and its tip points at the second "
            "member, the one acted on. Its base widens with the interactions counted on the first member "
            "(one step per ten). A molecule not placed by the file is lifted and drawn invisible; only its "
            "label shows beside a placed neighbour.";
    } else if (dynamic_cast<const CSphereVision*>(&rep)) {
        legend.view = "Sphere view: each interaction has a relation node between its members.";
        legend.spheres.push_back(
            {CSphereVision::MoleculeColour(), CSphereVision::kMoleculeRadius, "molecule (larger sphere)"});
        legend.spheres.push_back({CSphereVision::RelationNodeColour(), CSphereVision::kRelationNodeRadius,
                                  "relation node: one interaction (smaller sphere)"});
        legend.cone =
            "Cones join a member to its relation node. A cone's tip points at the node acted on: from the "
            "first member to the relation node, and from the relation node to the second member (stopping "
            "short of a relation node). Bind and Homo_xmer have no direction.";
    }
    switch (highlightMode) {
        case 1:
            legend.highlight = box ? "Selective Showing: all molecules stay visible; only edges between two "
                                     "selected molecules are drawn."
                                   : "Selective Showing: only selected spheres and the edges between two "
                                     "selected spheres are drawn.";
            break;
        case 2:
            legend.highlight = box ? "View By Color: everything is white; a selected molecule turns green and an "
                                     "edge between two selected molecules takes its colour below."
                                   : "View By Color: everything is white; selected spheres and the edges "
                                     "between two selected spheres take their colours below.";
            break;
        default:
            legend.highlight = "View With Box: every sphere and edge in its own colour; white boxes frame the "
                               "selected spheres.";
            break;
    }
    return legend;
}
