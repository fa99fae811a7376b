#pragma once

// Shared by the benchmark executables: the command line every one of them
// takes, a stopwatch, and the median of repeated runs. The machine is
// shared, so single runs are noisy; one warm-up fills the page cache and
// the driver's caches, the median of the rest drops the outliers.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <time.h>
#include <vector>

namespace twbench {

struct Options {
    std::string connect;  // ODBC connection string of the database to read
    int reps = 5;
    int warmups = 1;
};

// --connect STRING [--reps N] [--warmups N]; a lone positional argument is
// taken as the connection string. False (after a usage line on stderr)
// when the command line is not understood.
inline bool ParseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--connect" && hasValue) {
            options.connect = argv[++i];
        } else if (arg == "--reps" && hasValue) {
            options.reps = std::atoi(argv[++i]);
        } else if (arg == "--warmups" && hasValue) {
            options.warmups = std::atoi(argv[++i]);
        } else if (arg.rfind("--", 0) != 0 && options.connect.empty()) {
            options.connect = arg;
        } else {
            options.connect.clear();
            break;
        }
    }
    if (options.connect.empty() || options.reps < 1 || options.warmups < 0) {
        std::fprintf(stderr, "usage: %s --connect \"Driver=SQLite3;Database=FILE\" [--reps N] [--warmups N]\n",
                     argc > 0 ? argv[0] : "bench");
        return false;
    }
    return true;
}

// CPU seconds of this process (user and system), not wall time: on a
// machine whose two cores are shared with compilers and test runs, wall
// time mostly measures the neighbours. Cache misses and page faults of the
// measured code still count.
class Stopwatch {
public:
    Stopwatch() : m_start(Now()) {}
    double Seconds() const { return Now() - m_start; }

private:
    static double Now() {
        timespec t{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
    }
    double m_start;
};

inline double Median(std::vector<double> samples) {
    if (samples.empty()) {
        return 0.0;
    }
    std::sort(samples.begin(), samples.end());
    const size_t mid = samples.size() / 2;
    return samples.size() % 2 ? samples[mid] : (samples[mid - 1] + samples[mid]) / 2;
}

// One figure as the runner reads it: "name value".
inline void PrintFigure(const char* name, double value) { std::printf("%s %.6f\n", name, value); }

}  // namespace twbench
