// tarnwick_scene_bench: what the start-up load and the box scene cost.
//   startup_load_seconds  the whole start-up load on a fresh store: fetch,
//                         start-up build, node positions ("yeast.graph.txt"
//                         in the current folder, if any), layout and box
//                         scene, no rendering
//   box_scene_seconds     a new box representation of that graph: layout
//                         and scene build alone
//   sphere_scene_seconds  a sphere representation (radii 300 and 30) of the
//                         sphere-view graph of the same interactions: layout
//                         and scene build alone, the graph built beforehand
//   node_floor_seconds    the least any box scene build can cost: creating
//                         (and referencing) as many bare Coin nodes of each
//                         type as the box scene holds, in the scene's
//                         depth-first order, with no names, field values or
//                         children. It runs after that box scene was released
//                         and the freed pages were handed back to the system,
//                         so that both allocate from a heap in the same state:
//                         the scene's build touches pages no one had before,
//                         and a floor in the pages the scene just left would
//                         leave out the page faults every build pays.
//   node_floor_reused_seconds  the same nodes made again at once in the pages
//                         the floor's nodes just left: what the floor measured
//                         before it handed the pages back, for comparison.
// Each figure is the median of --reps runs after --warmups unmeasured ones.

#include <cstdio>
#include <malloc.h>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include <Inventor/SbViewportRegion.h>
#include <Inventor/nodes/SoGroup.h>
#include <Inventor/nodes/SoNode.h>

#include "BenchHost.h"
#include "BenchTiming.h"
#include "InteractionStore.h"
#include "Node.h"
#include "SceneClasses.h"
#include "SphereBuild.h"
#include "SphereVision.h"
#include "StartupLoad.h"

namespace {

// The type of every distinct node below `root`, in depth-first order.
std::vector<SoType> NodeTypes(SoNode* root) {
    std::vector<SoType> types;
    std::unordered_set<const SoNode*> seen;
    std::vector<SoNode*> todo{root};
    while (!todo.empty()) {
        SoNode* node = todo.back();
        todo.pop_back();
        if (!seen.insert(node).second) {
            continue;
        }
        types.push_back(node->getTypeId());
        if (node->isOfType(SoGroup::getClassTypeId())) {
            auto* group = static_cast<SoGroup*>(node);
            for (int i = group->getNumChildren() - 1; i >= 0; --i) {
                todo.push_back(group->getChild(i));
            }
        }
    }
    return types;
}

// Seconds to create and reference one bare node per entry of `types`;
// they are released after the clock stops.
double NodeFloorSeconds(const std::vector<SoType>& types) {
    std::vector<SoNode*> nodes;
    nodes.reserve(types.size());
    twbench::Stopwatch watch;
    for (const SoType& type : types) {
        auto* node = static_cast<SoNode*>(type.createInstance());
        node->ref();
        nodes.push_back(node);
    }
    const double seconds = watch.Seconds();
    for (SoNode* node : nodes) {
        node->unref();
    }
    return seconds;
}

}  // namespace

int main(int argc, char** argv) {
    twbench::Options options;
    if (!twbench::ParseOptions(argc, argv, options)) {
        return 2;
    }
    InitSceneClasses();
    BenchHost host;
    std::vector<double> startup, scene, sphereScene, floor, reusedFloor;
    size_t boxNodes = 0;
    int circles = 0;
    int sphereCircles = 0;
    for (int run = 0; run < options.warmups + options.reps; ++run) {
        const bool measured = run >= options.warmups;
        // Everything a run builds is released after its clocks stop.
        CInteractionStore store(options.connect);
        std::unique_ptr<CNode> graph;

        twbench::Stopwatch load;
        StartupLoadResult result = RunStartupLoad(store, graph, host);
        const double loadSeconds = load.Seconds();
        if (!result.dataLoaded) {
            std::fprintf(stderr, "scene bench: %s\n", store.GetDataError().c_str());
            return 1;
        }

        // The build and the floor both start from a trimmed heap.
        malloc_trim(0);
        twbench::Stopwatch build;
        std::unique_ptr<CBoxRep> box = BuildBoxRepresentation(store, graph, host);
        const double buildSeconds = build.Seconds();
        const std::vector<SoType> types = NodeTypes(box->GetRoot());
        box.reset();
        malloc_trim(0);
        const double floorSeconds = NodeFloorSeconds(types);
        const double reusedFloorSeconds = NodeFloorSeconds(types);
        boxNodes = types.size();

        std::unique_ptr<CNode> sphereGraph = BuildSphereGraphFromArray(store);
        twbench::Stopwatch sphereBuild;
        auto sphere = std::make_unique<CSphereVision>(store, sphereGraph, host, 300, 30, sphereGraph->m_circle_count);
        sphere->Layout();
        sphere->BuildScene();
        const double sphereSeconds = sphereBuild.Seconds();

        circles = graph->m_circle_count - 1;
        sphereCircles = sphereGraph->m_circle_count - 1;
        if (measured) {
            startup.push_back(loadSeconds);
            scene.push_back(buildSeconds);
            sphereScene.push_back(sphereSeconds);
            floor.push_back(floorSeconds);
            reusedFloor.push_back(reusedFloorSeconds);
        }
    }
    std::fprintf(stderr, "scene bench: %d circles, %d sphere-view circles, %zu box scene nodes\n", circles,
                 sphereCircles, boxNodes);
    twbench::PrintFigure("startup_load_seconds", twbench::Median(startup));
    twbench::PrintFigure("box_scene_seconds", twbench::Median(scene));
    twbench::PrintFigure("sphere_scene_seconds", twbench::Median(sphereScene));
    twbench::PrintFigure("node_floor_seconds", twbench::Median(floor));
    twbench::PrintFigure("node_floor_reused_seconds", twbench::Median(reusedFloor));
    return 0;
}
