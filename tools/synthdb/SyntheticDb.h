#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

struct SyntheticDbOptions {
    std::size_t rows = 0;
    std::size_t chain = 0;
    std::uint64_t seed = 1;
    std::string schemaPath;
    std::string outPath;
};

// Writes a synthetic InteractionDB SQLite file: the schema file's tables,
// the relation rows and the DIc keywords, in one transaction. The file is
// written beside the target and renamed over it only when complete, so a
// failed run never leaves a half-filled database behind. False with the
// reason in `error`.
bool WriteSyntheticDb(const SyntheticDbOptions& options, std::string& error);
