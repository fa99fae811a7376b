#pragma once

#include <string>
#include <vector>

#include "InteractionStore.h"

// Interactions written by hand for tests that need no database: ids
// "r__1", "r__2", ... in row order, members taken as already normalised.
struct TestRow {
    std::string m1, m2;
    int kind = 2;
    std::string remark{};
};

inline void FillInteractions(CInteractionStore& store, const std::vector<TestRow>& rows) {
    for (const TestRow& row : rows) {
        InteractionRecord r;
        r.id = "r__" + std::to_string(store.m_pInteractions.size() + 1);
        r.member1 = row.m1;
        r.member2 = row.m2;
        r.kind = row.kind;
        r.remark = row.remark;
        store.m_pInteractions.push_back(r);
    }
    store.m_nInteractions = static_cast<int>(store.m_pInteractions.size());
    store.InvalidateInteractionIndex();
}
