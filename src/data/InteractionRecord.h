#pragma once

#include <cstdint>
#include <string>

// One row of the relation table as the document holds it. The fields every
// build reads or writes of every row come first: the records are large and
// read in order, so those share the record's first two cache lines and the
// texts only the views read stay behind them.
struct InteractionRecord {
    std::string id;
    std::string member1;  // normalised; the acting molecule of a directed kind
    std::string member2;  // normalised; the acted-on molecule
    std::int32_t kind = 0;
    std::int32_t built = 0;  // 1 once the relation-node build placed it
    std::int32_t nodeCircle = 0;
    std::int32_t nodeIndex = 0;
    std::int32_t state = 0;
    std::string name;
    std::string name2;   // always empty
    std::string source;  // the source sentence
    std::string remark;  // starts with the interaction's level
    std::string prep1;   // publication identifier (PMID)
};
