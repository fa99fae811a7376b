// tarnwick_evidence_bench: what the evidence panel adds to a click, on the
// start-up box scene in "View By Color".
//   evidence_click_seconds  a click's selection and highlighting of the
//                           molecule most records name (the busiest)
//   evidence_fill_seconds   filling the evidence panel's model for it, with
//                           the index from names to records already built
//                           (it is built once per change of the data)
//   evidence_index_seconds  building that index over the whole table
// and the ratio evidence_click_over_click (fill over click). Each figure is
// the median of --reps runs after --warmups unmeasured ones.

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include <Inventor/SoPath.h>
#include <Inventor/actions/SoSearchAction.h>
#include <Inventor/nodes/SoSelection.h>

#include "BenchHost.h"
#include "BenchTiming.h"
#include "EvidenceIndex.h"
#include "EvidenceModel.h"
#include "EvidenceRows.h"
#include "InteractionStore.h"
#include "Node.h"
#include "SceneClasses.h"
#include "SceneNames.h"
#include "StartupLoad.h"

namespace {

// The member name most records name, and how many.
std::string BusiestMember(const CInteractionStore& store, size_t& records) {
    std::unordered_map<std::string, size_t> counts;
    for (const InteractionRecord& r : store.m_pInteractions) {
        ++counts[r.member1];
        if (r.member2 != r.member1) {
            ++counts[r.member2];
        }
    }
    std::string best;
    records = 0;
    for (const auto& [name, count] : counts) {
        if (!name.empty() && (count > records || (count == records && name < best))) {
            best = name;
            records = count;
        }
    }
    return best;
}

constexpr int kScreenRows = 40;

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
        std::fprintf(stderr, "evidence bench: %s\n", store.GetDataError().c_str());
        return 1;
    }
    CBoxRep& box = *loaded.box;
    size_t records = 0;
    const std::string busiest = BusiestMember(store, records);
    std::fprintf(stderr, "evidence bench: %s is named by %zu records\n", busiest.c_str(), records);

    SoSearchAction search;
    SetSearchName(search, busiest);
    search.setInterest(SoSearchAction::FIRST);
    search.apply(box.GetRoot());
    CoinPtr<SoPath> path(search.getPath() ? search.getPath()->copy() : nullptr);
    if (!path) {
        std::fprintf(stderr, "evidence bench: no sphere for %s\n", busiest.c_str());
        return 1;
    }
    box.CountHighlightedEdges();  // the highlighting's index, as a click finds it after the first

    std::vector<double> clicks, fills, indexes;
    for (int run = 0; run < options.warmups + options.reps; ++run) {
        box.GetSelection()->deselectAll();
        twbench::Stopwatch click;
        box.ToggleSelection(path.get());
        const double clickSeconds = click.Seconds();

        CEvidenceIndex index;
        twbench::Stopwatch build;
        index.RecordsNaming(store, graph.get(), busiest);
        const double indexSeconds = build.Seconds();

        CEvidenceModel model;
        twbench::Stopwatch fill;
        model.SetRows(ListEvidence(store, graph.get(), index, busiest));
        // What the panel paints first: a screenful of rows with their marks.
        for (int row = 0; row < std::min(model.rowCount(), kScreenRows); ++row) {
            for (int column = 0; column < CEvidenceModel::ColumnCount; ++column) {
                model.data(model.index(row, column));
            }
            model.data(model.index(row, CEvidenceModel::SentenceColumn), CEvidenceModel::HtmlRole);
        }
        const double fillSeconds = fill.Seconds();
        if (!box.IsNameSelected(busiest) || static_cast<size_t>(model.rowCount()) != records) {
            std::fprintf(stderr, "evidence bench: %d rows for %zu records\n", model.rowCount(), records);
            return 1;
        }
        if (run >= options.warmups) {
            clicks.push_back(clickSeconds);
            fills.push_back(fillSeconds);
            indexes.push_back(indexSeconds);
        }
    }
    const double click = twbench::Median(clicks);
    const double fill = twbench::Median(fills);
    twbench::PrintFigure("evidence_click_seconds", click);
    twbench::PrintFigure("evidence_fill_seconds", fill);
    twbench::PrintFigure("evidence_index_seconds", twbench::Median(indexes));
    twbench::PrintFigure("evidence_click_over_click", click > 0 ? fill / click : 0.0);
    return 0;
}
