// tarnwick_sphere_bench: what the sphere-view build costs.
//   sphere_build_seconds  CollectSpecialTokens + BuildSphereGraphFromArray
//                         over interactions already loaded, as
//                         BuildSphereGraph runs them after the load
//   sphere_load_seconds   LoadInteractions and the same build: the whole
//                         sphere-view command up to the layout
//   sphere_layout_seconds the breadth-first sphere layout of that graph
// Each figure is the median of --reps runs after --warmups unmeasured ones.
//
// A relation node's name holds the names of its members, and a member that
// refers to another interaction brings that interaction's whole name, so a
// long chain of references makes names whose total length grows with the
// square of the chain. The machine is shared: the bench caps its address
// space and reports running out of it instead of waking the kernel's
// out-of-memory killer.

#include <sys/resource.h>

#include <cstdio>
#include <memory>
#include <new>
#include <vector>

#include "BenchTiming.h"
#include "InteractionStore.h"
#include "SphereBuild.h"
#include "SphereLayout.h"

namespace {

constexpr rlim_t kAddressSpaceLimit = rlim_t{8} << 30;

struct Figures {
    std::vector<double> build, load, layout;
    int rows = 0;
    size_t circles = 0;
};

// False, with the reason on stderr, when a run fails.
bool Measure(const twbench::Options& options, Figures& figures) {
    for (int run = 0; run < options.warmups + options.reps; ++run) {
        CInteractionStore store(options.connect);  // opens the dictionary, as the document does

        twbench::Stopwatch loadWatch;
        if (!store.LoadInteractions()) {
            std::fprintf(stderr, "sphere bench: %s\n", store.GetDataError().c_str());
            return false;
        }
        twbench::Stopwatch buildWatch;
        store.CollectSpecialTokens();
        std::string error;
        std::unique_ptr<CNode> graph = BuildSphereGraphFromArray(store, error);
        const double buildSeconds = buildWatch.Seconds();
        const double loadSeconds = loadWatch.Seconds();
        if (!graph) {
            std::fprintf(stderr, "sphere bench: %s\n", error.c_str());
            return false;
        }

        twbench::Stopwatch layoutWatch;
        CGridLayout grid;
        LayOutSphere(*graph, graph->m_circle_count, grid);
        const double layoutSeconds = layoutWatch.Seconds();
        if (grid.GetEntries().size() != 2 * static_cast<size_t>(graph->m_circle_count - 1)) {
            std::fprintf(stderr, "sphere bench: the layout left circles without a cell\n");
            return false;
        }

        figures.rows = store.m_nInteractions;
        figures.circles = static_cast<size_t>(graph->m_circle_count - 1);
        for (const InteractionRecord& r : store.m_pInteractions) {
            if (!r.built) {
                std::fprintf(stderr, "sphere bench: interaction %s was not built\n", r.id.c_str());
                return false;
            }
        }
        if (run >= options.warmups) {
            figures.build.push_back(buildSeconds);
            figures.load.push_back(loadSeconds);
            figures.layout.push_back(layoutSeconds);
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    twbench::Options options;
    if (!twbench::ParseOptions(argc, argv, options)) {
        return 2;
    }
    const rlimit limit{kAddressSpaceLimit, kAddressSpaceLimit};
    setrlimit(RLIMIT_AS, &limit);
    Figures figures;
    try {
        if (!Measure(options, figures)) {
            return 1;
        }
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "sphere bench: out of memory (address space capped at %llu GB)\n",
                     static_cast<unsigned long long>(kAddressSpaceLimit >> 30));
        return 1;
    }
    twbench::PrintFigure("sphere_build_seconds", twbench::Median(figures.build));
    twbench::PrintFigure("sphere_load_seconds", twbench::Median(figures.load));
    twbench::PrintFigure("sphere_layout_seconds", twbench::Median(figures.layout));
    std::printf("rows %d\n", figures.rows);
    std::printf("sphere_circles %zu\n", figures.circles);
    return 0;
}
