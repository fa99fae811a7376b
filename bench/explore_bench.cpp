// tarnwick_explore_bench: what selecting costs on the start-up box scene in
// "View By Color", where every selection change recolours edges.
//   edge_pass_seconds    one full UpdateEdgeHighlight pass over every edge
//   select_1000_seconds  selecting 1,000 listed names programmatically, as
//                        the review commands do (callbacks kept to the
//                        highlighting)
//   click_seconds        what a click on the molecule with the most links
//                        does once it is picked: selection, highlighting,
//                        the element text
// and the ratios select_1000_over_edge_pass and click_over_edge_pass.
// Each figure is the median of --reps runs after --warmups unmeasured ones;
// each run starts from an empty selection.

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include <Inventor/SbViewportRegion.h>
#include <Inventor/SoPath.h>
#include <Inventor/actions/SoSearchAction.h>
#include <Inventor/nodes/SoSelection.h>

#include "BenchHost.h"
#include "BenchTiming.h"
#include "InteractionStore.h"
#include "LinkText.h"
#include "Node.h"
#include "SceneClasses.h"
#include "SceneNames.h"
#include "StartupLoad.h"

namespace {

// The circle of the molecule with the most links, out and in.
int MostLinkedCircle(const CNode& graph) {
    std::vector<int> links(static_cast<size_t>(graph.m_circle_count) + 1, 0);
    for (int c = 1; c < graph.m_circle_count; ++c) {
        const MoleculeRecord* m = graph.GetMolecule(c, 0);
        if (!m) {
            continue;
        }
        for (const LinkEntry& link : ParseLinkEntries(m->links)) {
            ++links[static_cast<size_t>(c)];
            if (link.circle > 0 && link.circle < graph.m_circle_count) {
                ++links[static_cast<size_t>(link.circle)];
            }
        }
    }
    int best = 1;
    for (int c = 1; c < graph.m_circle_count; ++c) {
        if (links[static_cast<size_t>(c)] > links[static_cast<size_t>(best)]) {
            best = c;
        }
    }
    std::fprintf(stderr, "explore bench: the most linked molecule has %d links\n", links[static_cast<size_t>(best)]);
    return best;
}

CoinPtr<SoPath> PathToSphere(CBoxRep& box, const std::string& name) {
    SoSearchAction search;
    SetSearchName(search, name);
    search.setInterest(SoSearchAction::FIRST);
    search.apply(box.GetRoot());
    return CoinPtr<SoPath>(search.getPath() ? search.getPath()->copy() : nullptr);
}

}  // namespace

int main(int argc, char** argv) {
    twbench::Options options;
    if (!twbench::ParseOptions(argc, argv, options)) {
        return 2;
    }
    InitSceneClasses();
    BenchHost host;
    host.ViewByColor();
    CInteractionStore store(options.connect);
    std::unique_ptr<CNode> graph;
    StartupLoadResult loaded = RunStartupLoad(store, graph, host);
    if (!loaded.dataLoaded) {
        std::fprintf(stderr, "explore bench: %s\n", store.GetDataError().c_str());
        return 1;
    }
    CBoxRep& box = *loaded.box;
    const int circles = graph->m_circle_count - 1;
    std::fprintf(stderr, "explore bench: %d circles, %zu edges\n", circles, box.CountHighlightedEdges());
    if (circles < 2) {
        std::fprintf(stderr, "explore bench: the graph is too small\n");
        return 1;
    }

    // 1,000 names spread over the graph (fewer on a small one).
    std::vector<NodePos> listed;
    const int wanted = std::min(1000, circles);
    for (int k = 0; k < wanted; ++k) {
        listed.push_back(NodePos{1 + static_cast<int>(static_cast<long long>(k) * circles / wanted), 0});
    }
    const MoleculeRecord* hub = graph->GetMolecule(MostLinkedCircle(*graph), 0);
    CoinPtr<SoPath> hubPath = PathToSphere(box, hub->name);
    if (!hubPath) {
        std::fprintf(stderr, "explore bench: no sphere for %s\n", hub->name.c_str());
        return 1;
    }

    std::vector<double> passes, selects, clicks;
    for (int run = 0; run < options.warmups + options.reps; ++run) {
        const bool measured = run >= options.warmups;

        box.GetSelection()->deselectAll();
        box.ClearSelectNames();
        for (const NodePos& at : listed) {
            box.AddElementNames(at.circle, at.index, -1, 1);
        }
        twbench::Stopwatch select;
        box.m_bSearching = 1;
        box.SelectListedNames();
        box.m_bSearching = 0;
        const double selectSeconds = select.Seconds();
        if (box.GetSelection()->getNumSelected() != wanted || host.m_messages != 0) {
            std::fprintf(stderr, "explore bench: %d of %d names selected, %d messages (%s)\n",
                         box.GetSelection()->getNumSelected(), wanted, host.m_messages, host.m_lastMessage.c_str());
            return 1;
        }

        // A full pass with those names selected.
        twbench::Stopwatch pass;
        box.UpdateEdgeHighlight(2);
        const double passSeconds = pass.Seconds();

        box.GetSelection()->deselectAll();
        twbench::Stopwatch click;
        box.ToggleSelection(hubPath.get());
        const double clickSeconds = click.Seconds();
        if (!box.IsNameSelected(hub->name) || host.m_nodeName.empty()) {
            std::fprintf(stderr, "explore bench: the click selected nothing\n");
            return 1;
        }

        if (measured) {
            selects.push_back(selectSeconds);
            passes.push_back(passSeconds);
            clicks.push_back(clickSeconds);
        }
    }
    const double pass = twbench::Median(passes);
    const double select = twbench::Median(selects);
    const double click = twbench::Median(clicks);
    twbench::PrintFigure("edge_pass_seconds", pass);
    twbench::PrintFigure("select_1000_seconds", select);
    twbench::PrintFigure("click_seconds", click);
    twbench::PrintFigure("select_1000_over_edge_pass", pass > 0 ? select / pass : 0.0);
    twbench::PrintFigure("click_over_edge_pass", pass > 0 ? click / pass : 0.0);
    return 0;
}
