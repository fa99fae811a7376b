// tarnwick_generate_db: writes a synthetic InteractionDB SQLite file for
// benchmarks and stress tests. The same options give the same file.

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "SyntheticDb.h"

namespace {

const char* const kUsage =
    "usage: tarnwick_generate_db --rows N --seed S --out FILE [--chain K] [--schema FILE]\n"
    "  --rows N      ordinary interactions r__1..r__N\n"
    "  --seed S      seed of the generator (same seed, same file)\n"
    "  --out FILE    SQLite file to write (replaced if it exists)\n"
    "  --chain K     K more interactions, each naming the previous one as member1\n"
    "  --schema FILE table definitions (default: " TW_DEFAULT_SCHEMA ")\n";

bool ParseCount(const char* text, unsigned long long& value) {
    if (!text || !*text || *text == '-') {
        return false;
    }
    char* end = nullptr;
    errno = 0;
    value = std::strtoull(text, &end, 10);
    return errno == 0 && *end == '\0';
}

}  // namespace

int main(int argc, char** argv) {
    SyntheticDbOptions options;
    options.schemaPath = TW_DEFAULT_SCHEMA;
    bool haveRows = false, haveSeed = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        unsigned long long number = 0;
        if (arg == "--rows" && ParseCount(value, number) && number <= 50000000ull) {
            options.rows = number;
            haveRows = true;
        } else if (arg == "--chain" && ParseCount(value, number) && number <= 50000000ull) {
            options.chain = number;
        } else if (arg == "--seed" && ParseCount(value, number)) {
            options.seed = number;
            haveSeed = true;
        } else if (arg == "--out" && value && *value) {
            options.outPath = value;
        } else if (arg == "--schema" && value && *value) {
            options.schemaPath = value;
        } else {
            std::fprintf(stderr, "tarnwick_generate_db: bad or incomplete option %s\n%s", arg.c_str(), kUsage);
            return 2;
        }
        ++i;
    }
    if (!haveRows || !haveSeed || options.outPath.empty()) {
        std::fprintf(stderr, "tarnwick_generate_db: --rows, --seed and --out are required\n%s", kUsage);
        return 2;
    }
    std::string error;
    if (!WriteSyntheticDb(options, error)) {
        std::fprintf(stderr, "tarnwick_generate_db: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
