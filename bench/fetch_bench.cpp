// tarnwick_fetch_bench: what reading the relation table costs on its own,
// and what the start-up path adds on top of it.
//   raw_fetch_seconds  connect, SELECT the 13 columns with bound buffers and
//                      fetch every row, touching each value, copying nothing
//   load_seconds       CInteractionStore::LoadInteractions on a fresh store
//   build_seconds      CollectSpecialTokens + BuildStartupGraphFromArray,
//                      as BuildStartupGraph runs them after the load
// Each figure is the median of --reps runs after --warmups unmeasured ones.

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "BenchTiming.h"
#include "InteractionStore.h"
#include "OdbcConnection.h"
#include "OdbcStatement.h"
#include "StartupBuild.h"

namespace {

constexpr const char* kRelationSelect =
    "SELECT [rel_ID], [rel_name], [rel_name2], [rel_mem1], [rel_mem2], [rel_kind], [rel_situ], [rel_org], "
    "[rel_source], [rel_rem], [rel_prep1], [rel_prep2], [rel_prep3] FROM [relation]";
constexpr int kColumns = 13;
constexpr int kKindColumn = 5;

// Where the touched values end up, so the compiler cannot drop the touching.
volatile unsigned long long g_sink = 0;

// Rows fetched, or -1 with the reason on stderr. `checksum` keeps the
// touched values alive.
long RawFetch(const std::string& connect, unsigned long long& checksum) {
    std::string error;
    tw::odbc::Connection connection;
    if (!connection.Open(connect, error)) {
        std::fprintf(stderr, "fetch bench: %s\n", error.c_str());
        return -1;
    }
    tw::odbc::Statement stmt;
    if (!stmt.Prepare(connection, kRelationSelect, error) || !stmt.Execute(error)) {
        std::fprintf(stderr, "fetch bench: %s\n", error.c_str());
        return -1;
    }
    for (int c = 0; c < kColumns; ++c) {
        if (c == kKindColumn) {
            stmt.BindIntColumn(c);
        } else {
            stmt.BindTextColumn(c);
        }
    }
    long rows = 0;
    while (stmt.Fetch(error)) {
        for (int c = 0; c < kColumns; ++c) {
            if (c == kKindColumn) {
                checksum += static_cast<unsigned>(stmt.Int(c));
            } else {
                size_t length = 0;
                const char* text = stmt.Text(c, length);
                checksum += length + (length ? static_cast<unsigned char>(text[length - 1]) : 0);
            }
        }
        ++rows;
    }
    if (!error.empty()) {
        std::fprintf(stderr, "fetch bench: %s\n", error.c_str());
        return -1;
    }
    return rows;
}

}  // namespace

int main(int argc, char** argv) {
    twbench::Options options;
    if (!twbench::ParseOptions(argc, argv, options)) {
        return 2;
    }
    std::vector<double> raw, load, build;
    unsigned long long checksum = 0;
    long rows = 0;
    size_t circles = 0;
    for (int run = 0; run < options.warmups + options.reps; ++run) {
        const bool measured = run >= options.warmups;

        twbench::Stopwatch rawWatch;
        rows = RawFetch(options.connect, checksum);
        const double rawSeconds = rawWatch.Seconds();
        if (rows < 0) {
            return 1;
        }

        CInteractionStore store(options.connect);  // opens the dictionary, as the document does
        twbench::Stopwatch loadWatch;
        const bool loaded = store.LoadInteractions();
        const double loadSeconds = loadWatch.Seconds();
        if (!loaded) {
            std::fprintf(stderr, "fetch bench: %s\n", store.GetDataError().c_str());
            return 1;
        }
        if (store.m_nInteractions != rows) {
            std::fprintf(stderr, "fetch bench: the load holds %d rows, the raw fetch saw %ld\n",
                         store.m_nInteractions, rows);
            return 1;
        }

        twbench::Stopwatch buildWatch;
        store.CollectSpecialTokens();
        std::unique_ptr<CNode> graph = BuildStartupGraphFromArray(store);
        const double buildSeconds = buildWatch.Seconds();
        circles = static_cast<size_t>(graph->m_circle_count - 1);

        if (measured) {
            raw.push_back(rawSeconds);
            load.push_back(loadSeconds);
            build.push_back(buildSeconds);
        }
    }
    twbench::PrintFigure("raw_fetch_seconds", twbench::Median(raw));
    twbench::PrintFigure("load_seconds", twbench::Median(load));
    twbench::PrintFigure("build_seconds", twbench::Median(build));
    std::printf("rows %ld\n", rows);
    std::printf("startup_circles %zu\n", circles);
    g_sink = checksum;
    return 0;
}
