// tarnwick_declutter_bench: the uncluttered label mode keeping up with the
// camera.
//   declutter_seconds_2k  one recomputation of the shown labels of a box
//                         scene of 2,000 linked molecules spread over the
//                         plane, for a 1280 x 1024 viewport, after the
//                         camera moved (labels already found once)
// The median of --reps runs after --warmups unmeasured ones. The graph is
// made here, so that the figure does not depend on the database given.

#include <memory>
#include <random>
#include <string>
#include <vector>

#include <Inventor/SbViewportRegion.h>
#include <Inventor/nodes/SoPerspectiveCamera.h>

#include "BenchHost.h"
#include "BenchTiming.h"
#include "BoxRep.h"
#include "InteractionStore.h"
#include "LabelDeclutterScene.h"
#include "Node.h"
#include "SceneClasses.h"
#include "StartupLoad.h"

namespace {

constexpr int kMolecules = 2000;

// Molecules with one to three links each, at random places of the plane.
std::unique_ptr<CNode> MakeGraph() {
    auto graph = std::make_unique<CNode>();
    std::mt19937 random(2000);
    std::uniform_int_distribution<int> target(1, kMolecules), links(1, 3), kind(0, 10);
    std::uniform_real_distribution<float> place(0.0f, 60.0f);
    for (int i = 1; i <= kMolecules; ++i) {
        std::string text;
        for (int k = links(random); k > 0; --k) {
            text += (text.empty() ? "" : " ") + std::to_string(target(random)) + " 0 " + std::to_string(kind(random)) +
                    " 1";
        }
        const std::string name = "MOL" + std::to_string(i);
        graph->NewStartupCircle(name, text, 2);
        graph->RegisterName(name, i, 0, 0);
        MoleculeRecord* m = graph->GetMolecule(i, 0);
        m->level = 0;
        m->posX = place(random);
        m->posY = place(random);
    }
    return graph;
}

}  // namespace

int main(int argc, char** argv) {
    twbench::Options options;
    if (!twbench::ParseOptions(argc, argv, options)) {
        return 2;
    }
    InitSceneClasses();
    BenchHost host;
    host.m_viewport = SbViewportRegion(1280, 1024);
    CInteractionStore store(options.connect);
    std::unique_ptr<CNode> graph = MakeGraph();
    std::unique_ptr<CBoxRep> box = BuildBoxRepresentation(store, graph, host);
    CSceneLabelDeclutter declutter;
    const SbVec2s size(1280, 1024);
    declutter.Apply(*box, graph.get(), size);  // finds the labels once

    SoPerspectiveCamera* camera = box->GetCamera();
    std::vector<double> samples;
    int shown = 0;
    for (int run = 0; run < options.warmups + options.reps; ++run) {
        // A step closer each time, as a zoom would.
        camera->position.setValue(camera->position.getValue() * 0.97f);
        twbench::Stopwatch clock;
        shown = declutter.Apply(*box, graph.get(), size);
        if (run >= options.warmups) {
            samples.push_back(clock.Seconds());
        }
    }
    if (shown <= 0 || declutter.LabelCount() < static_cast<size_t>(kMolecules)) {
        std::fprintf(stderr, "declutter bench: %d of %zu labels shown\n", shown, declutter.LabelCount());
        return 1;
    }
    twbench::PrintFigure("declutter_seconds_2k", twbench::Median(samples));
    return 0;
}
