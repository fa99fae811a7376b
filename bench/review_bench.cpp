// tarnwick_review_bench: the review commands over the whole table, with
// every question answered No and no boxes, in the state after start-up and
// the sphere view (the box on the start-up graph, the sphere on the
// relation-node graph).
//   statistics_seconds    the statistics command: six filters, eleven walks
//   coordination_seconds  both coordination commands, dictionary included
//   raw_fetch_seconds     (from the fetch bench) is the yardstick
// Each figure is the median of --reps runs after --warmups unmeasured ones;
// every run starts a fresh command, so no dictionary answer is reused.

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "BenchTiming.h"
#include "InteractionStore.h"
#include "ListedNamesTarget.h"
#include "MarkerFilters.h"
#include "ReviewEngine.h"
#include "SilentPrompt.h"
#include "SphereBuild.h"
#include "StartupBuild.h"

int main(int argc, char** argv) {
    twbench::Options options;
    if (!twbench::ParseOptions(argc, argv, options)) {
        return 2;
    }
    CInteractionStore store(options.connect);
    bool loaded = false;
    std::unique_ptr<CNode> startup = BuildStartupGraph(store, loaded);
    std::string error;
    std::unique_ptr<CNode> sphereGraph = loaded ? BuildSphereGraph(store, loaded, error) : nullptr;
    if (!loaded || !sphereGraph) {
        std::fprintf(stderr, "review bench: %s\n", error.empty() ? store.GetDataError().c_str() : error.c_str());
        return 1;
    }
    CListedNamesTarget box(startup);
    CListedNamesTarget sphere(sphereGraph);
    box.m_bRecordSelected = sphere.m_bRecordSelected = false;
    CSilentPrompt prompt;
    ReviewSession session;
    std::vector<double> statistics, coordination;
    int hits = 0;
    int queries = 0;
    for (int run = 0; run < options.warmups + options.reps; ++run) {
        const bool measured = run >= options.warmups;
        twbench::Stopwatch statisticsWatch;
        {
            CReviewEngine engine(store, sphereGraph.get(), {&box, &sphere, &sphere}, prompt, session);
            OnStatistics(engine, session);
        }
        const double statisticsSeconds = statisticsWatch.Seconds();

        twbench::Stopwatch coordinationWatch;
        hits = 0;
        queries = 0;
        for (int id : {32818, 32819}) {
            CReviewEngine engine(store, sphereGraph.get(), {&box, &sphere, &sphere}, prompt, session);
            hits += RunMarkerFilter(engine, session, *FindMarkerFilter(id));
            queries += engine.m_nDictionaryQueries;
        }
        const double coordinationSeconds = coordinationWatch.Seconds();
        if (measured) {
            statistics.push_back(statisticsSeconds);
            coordination.push_back(coordinationSeconds);
        }
    }
    twbench::PrintFigure("statistics_seconds", twbench::Median(statistics));
    twbench::PrintFigure("coordination_seconds", twbench::Median(coordination));
    std::printf("coordination_hits %d\n", hits);
    std::printf("coordination_dictionary_queries %d\n", queries);
    std::printf("precision_expression %d\n", session.m_nPrecision[0]);
    return 0;
}
