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
// Each figure is the median of --reps runs after --warmups unmeasured ones.

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include <Inventor/SbViewportRegion.h>

#include "BenchHost.h"
#include "BenchTiming.h"
#include "InteractionStore.h"
#include "Node.h"
#include "SceneClasses.h"
#include "SphereBuild.h"
#include "SphereVision.h"
#include "StartupLoad.h"

int main(int argc, char** argv) {
    twbench::Options options;
    if (!twbench::ParseOptions(argc, argv, options)) {
        return 2;
    }
    InitSceneClasses();
    BenchHost host;
    std::vector<double> startup, scene, sphereScene;
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

        twbench::Stopwatch build;
        std::unique_ptr<CBoxRep> box = BuildBoxRepresentation(store, graph, host);
        const double buildSeconds = build.Seconds();

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
        }
    }
    std::fprintf(stderr, "scene bench: %d circles, %d sphere-view circles\n", circles, sphereCircles);
    twbench::PrintFigure("startup_load_seconds", twbench::Median(startup));
    twbench::PrintFigure("box_scene_seconds", twbench::Median(scene));
    twbench::PrintFigure("sphere_scene_seconds", twbench::Median(sphereScene));
    return 0;
}
