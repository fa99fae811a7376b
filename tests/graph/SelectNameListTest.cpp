#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "SelectNameList.h"

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

}  // namespace
