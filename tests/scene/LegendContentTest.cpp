// The legend's rows against the scenes they describe.
#include <gtest/gtest.h>

#include <Inventor/nodes/SoMaterial.h>
#include <Inventor/nodes/SoSphere.h>

#include "ExploreFixture.h"
#include "LegendContent.h"
#include "SphereBuild.h"
#include "SphereVision.h"

namespace {

using Kinds = std::vector<std::vector<int>>;

std::vector<std::vector<int>> KindsOf(const std::vector<LegendEdgeRow>& rows) {
    Kinds kinds;
    for (const LegendEdgeRow& row : rows) {
        kinds.push_back(row.kinds);
    }
    return kinds;
}

// The material and radius a built sphere of that name is drawn with.
void SphereLook(SoNode* nodeRoot, const std::string& name, SbColor& colour, float& radius) {
    CoinPtr<SoPath> path = PathTo(nodeRoot, name);
    ASSERT_TRUE(path) << name;
    auto* group = static_cast<SoGroup*>(path->getNodeFromTail(1));
    colour = static_cast<SoMaterial*>(group->getChild(1))->diffuseColor[0];
    radius = static_cast<SoSphere*>(path->getTail())->radius.getValue();
}

// The first drawn node (index 0 of a circle) of that size.
std::string FirstDrawn(const CNode& graph, bool molecule) {
    for (int c = 1; c < graph.m_circle_count; ++c) {
        const MoleculeRecord* m = graph.GetMolecule(c, 0);
        if (m && (m->size != 0) == molecule) {
            return m->name;
        }
    }
    return {};
}

class LegendContentTest : public ExploreTest {};

TEST_F(LegendContentTest, KindsSharingAColourShareARowAndSpheresMatchTheScene) {
    FillInteractions(store, {{"A", "B", 2}, {"B", "C", 6}});
    std::unique_ptr<CNode> sphereGraph = BuildSphereGraphFromArray(store);
    CSphereVision sphere(store, sphereGraph, host, 300, 30, sphereGraph->m_circle_count);
    sphere.Layout();
    sphere.BuildScene();
    Build({{"A", "B", 2}, {"B", "C", 6}});

    const struct {
        const char* what;
        const CRepresentation* rep;
        Kinds kinds;
        std::vector<std::string> sphereNames;  // one per legend sphere row
    } cases[] = {
        {"box", box.get(), {{0, 9, 10}, {1, 2, 4}, {3, 5}, {6}, {7}, {8}}, {"A"}},
        {"sphere",
         &sphere,
         {{0, 9, 10}, {1, 2, 4, 7}, {3, 5, 8}, {6}},
         {FirstDrawn(*sphereGraph, true), FirstDrawn(*sphereGraph, false)}},
    };
    for (const auto& c : cases) {
        const LegendContent legend = BuildLegend(*c.rep, 0);
        EXPECT_EQ(KindsOf(legend.edges), c.kinds) << c.what;
        for (const LegendEdgeRow& row : legend.edges) {
            for (int kind : row.kinds) {
                EXPECT_EQ(row.colour, c.rep->GetEdgeColor(kind)) << c.what << " kind " << kind;
                EXPECT_NE(row.names.find(RelationKindCaption(kind)), std::string::npos) << row.names;
            }
        }
        ASSERT_EQ(legend.spheres.size(), c.sphereNames.size()) << c.what;
        for (size_t i = 0; i < c.sphereNames.size(); ++i) {
            SbColor colour;
            float radius = 0;
            SphereLook(c.rep->GetNodeRoot(), c.sphereNames[i], colour, radius);
            EXPECT_EQ(legend.spheres[i].colour, colour) << c.what << " " << c.sphereNames[i];
            EXPECT_EQ(legend.spheres[i].radius, radius) << c.what << " " << c.sphereNames[i];
        }
        // Each highlight mode says something of its own.
        EXPECT_NE(BuildLegend(*c.rep, 1).highlight, legend.highlight) << c.what;
        EXPECT_NE(BuildLegend(*c.rep, 2).highlight, BuildLegend(*c.rep, 1).highlight) << c.what;
    }
}

}  // namespace
