// tarnwick_layout_bench: what Lay Out with Graphviz costs.
//   layout_sfdp_seconds  sfdp on the start-up graph's Graphviz export and
//                        reading its placement back: CPU seconds of this
//                        process and of the Graphviz child together (the
//                        graph built beforehand)
// Each figure is the median of --reps runs after --warmups unmeasured ones.

#include <sys/resource.h>

#include <cstdio>
#include <vector>

#include "BenchTiming.h"
#include "DotExport.h"
#include "GraphvizRun.h"
#include "TarnwickDoc.h"

namespace {

double ChildSeconds() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) * 1e-6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

}  // namespace

int main(int argc, char** argv) {
    twbench::Options options;
    if (!twbench::ParseOptions(argc, argv, options)) {
        return 2;
    }
    CTarnwickDoc doc(options.connect);
    if (!doc.BuildStartupPathway()) {
        std::fprintf(stderr, "layout bench: %s\n", doc.GetDataError().c_str());
        return 1;
    }
    const std::string dot = FormatDotGraph(*doc.m_pGraph);
    std::vector<double> samples;
    for (int run = 0; run < options.warmups + options.reps; ++run) {
        const double childrenBefore = ChildSeconds();
        twbench::Stopwatch clock;
        std::string plain;
        std::string error;
        LayoutPlacement placement;
        if (!RunGraphviz("sfdp", dot, plain, error) || !ApplyPlainLayout(*doc.m_pGraph, plain, placement, error)) {
            std::fprintf(stderr, "layout bench: %s\n", error.c_str());
            return 1;
        }
        const double seconds = clock.Seconds() + ChildSeconds() - childrenBefore;
        if (run >= options.warmups) {
            samples.push_back(seconds);
        }
    }
    twbench::PrintFigure("layout_sfdp_seconds", twbench::Median(samples));
    return 0;
}
