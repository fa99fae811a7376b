// tarnwick_files_bench: what writing and reading the pathway file costs,
// on the sphere-view graph (built once beforehand, as Sphere View... does).
//   pathway_save_seconds  SavePathway writing the graph to a file (no box
//                         layout: a 1 x 1 grid, no cells)
//   pathway_load_seconds  LoadPathway reading that file into a new graph
//   pathway_open_seconds  the whole open in the core (CTarnwickDoc::
//                         OpenPathway): the read, every record pointed at its
//                         relation node, the graph swapped in; everything the
//                         open command does but building the scene
// Each figure is the median of --reps runs after --warmups unmeasured ones.

#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "BenchTiming.h"
#include "PathwayFile.h"
#include "TarnwickDoc.h"

int main(int argc, char** argv) {
    twbench::Options options;
    if (!twbench::ParseOptions(argc, argv, options)) {
        return 2;
    }
    CTarnwickDoc doc(options.connect);
    if (!doc.BuildSpherePathway()) {
        std::fprintf(stderr, "files bench: %s\n", doc.GetDataError().c_str());
        return 1;
    }
    const size_t circles = doc.m_pGraph->m_lstCircles.size();
    char path[] = "/tmp/tarnwick_files_bench_XXXXXX";
    const int fd = mkstemp(path);
    if (fd < 0) {
        std::perror("files bench");
        return 1;
    }
    close(fd);

    std::vector<double> save, load, open;
    std::string error;
    bool ok = true;
    for (int run = 0; ok && run < options.warmups + options.reps; ++run) {
        const bool measured = run >= options.warmups;
        twbench::Stopwatch saveWatch;
        ok = SavePathway(*doc.m_pGraph, path, PathwayGrid(), error);
        const double saveSeconds = saveWatch.Seconds();

        LoadedPathway loaded;
        twbench::Stopwatch loadWatch;
        ok = ok && LoadPathway(path, &doc, loaded, error);
        const double loadSeconds = loadWatch.Seconds();
        ok = ok && loaded.graph->m_lstCircles.size() == circles;
        loaded.graph.reset();

        twbench::Stopwatch openWatch;
        ok = ok && doc.OpenPathway(path, error);
        const double openSeconds = openWatch.Seconds();
        ok = ok && doc.m_pGraph->m_lstCircles.size() == circles;
        if (ok && measured) {
            save.push_back(saveSeconds);
            load.push_back(loadSeconds);
            open.push_back(openSeconds);
        }
    }
    unlink(path);
    if (!ok) {
        std::fprintf(stderr, "files bench: %s\n", error.empty() ? "the file read back differs" : error.c_str());
        return 1;
    }
    twbench::PrintFigure("pathway_save_seconds", twbench::Median(save));
    twbench::PrintFigure("pathway_load_seconds", twbench::Median(load));
    twbench::PrintFigure("pathway_open_seconds", twbench::Median(open));
    std::printf("pathway_circles %zu\n", circles);
    return 0;
}
