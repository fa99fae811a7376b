#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "InteractionStore.h"
#include "Node.h"
#include "SelectNameList.h"
#include "SelectNames.h"
#include "SphereBuild.h"

namespace {

// Against a plain model, over enough names that the lookup table grows
// several times, and again after a Clear that keeps the capacity.
TEST(SelectNameList, MatchesPlainListAcrossGrowthAndClear) {
    CSelectNameList list;
    for (int round = 0; round < 2; ++round) {
        std::vector<std::string> model;
        std::set<std::string> listed;
        for (int i = 0; i < 3000; ++i) {
            // Repeats, long names and the empty name all occur.
            const std::string name =
                i % 7 == 0 ? std::string() : "n" + std::to_string(i % 1100) + std::string(static_cast<size_t>(i % 40), '_');
            const bool isNew = listed.count(name) == 0;
            if (i % 3 == 0) {
                list.Append(name);
                model.push_back(name);
                listed.insert(name);
            } else {
                ASSERT_EQ(list.AppendNew(name), isNew) << name;
                if (isNew) {
                    model.push_back(name);
                    listed.insert(name);
                }
            }
        }
        EXPECT_EQ(list.Names(), model);
        for (const std::string& name : listed) {
            EXPECT_TRUE(list.Contains(name)) << name;
        }
        EXPECT_FALSE(list.Contains("n1100"));
        // A name listed again from the list itself, while the buffer may move.
        const std::string first(list[0]);
        list.Append(list[0]);
        EXPECT_EQ(list[list.size() - 1], first);
        EXPECT_FALSE(list.AppendNew(list[1]));
        list.Clear();
        EXPECT_TRUE(list.empty());
        EXPECT_FALSE(list.Contains(first));
    }
}

// A walk skips members it has listed by position; the list must come out
// as without the walk, also when the list is emptied midway and when the
// walk has ended and another begins.
TEST(SelectNames, AWalkListsWhatSingleCallsList) {
    CInteractionStore store("");
    // Few molecules in many interactions, repeats included: members recur.
    for (int i = 0; i < 1500; ++i) {
        InteractionRecord r;
        r.id = "r" + std::to_string(i);
        r.member1 = "m" + std::to_string(i % 37);
        r.member2 = "m" + std::to_string((i * 7) % 1201);  // enough for the table to grow
        r.kind = i % 4;
        store.m_pInteractions.push_back(r);
    }
    store.m_nInteractions = static_cast<int>(store.m_pInteractions.size());
    auto graph = std::make_unique<CNode>(&store);
    CSphereBuilder(*graph, store).BuildPathway();

    auto listAll = [&](CSelectNames& names, bool walking) {
        std::vector<std::string> lists;
        for (int pass = 0; pass < 2; ++pass) {
            std::unique_ptr<CSelectNames::Walk> walk;
            if (walking) {
                walk = std::make_unique<CSelectNames::Walk>(names);
            }
            for (const InteractionRecord& r : store.m_pInteractions) {
                if (r.nodeCircle <= 0) {
                    continue;
                }
                if (r.id == "r700") {
                    names.Clear();
                }
                names.AddElementNames(r.nodeCircle, r.nodeIndex, -1, 1);
                names.AddElementNames(r.nodeCircle, r.nodeIndex, r.kind == 1 ? 1 : 0, 0);
            }
        }
        return names.m_lstSelectNames.Names();
    };
    CSelectNames plain(graph), walked(graph);
    const std::vector<std::string> expected = listAll(plain, false);
    ASSERT_GT(expected.size(), 100u);
    EXPECT_EQ(listAll(walked, true), expected);
}

}  // namespace
