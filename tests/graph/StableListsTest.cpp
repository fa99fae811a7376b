#include <gtest/gtest.h>

#include <deque>
#include <random>
#include <string>
#include <vector>

#include "StableLists.h"

namespace {

// Long enough to live on the heap, so a lost or doubled move shows.
std::string Value(int n) { return "value number " + std::to_string(n) + " of the list under test"; }

template <class List>
void ExpectSame(const List& list, const std::deque<std::string>& expected) {
    ASSERT_EQ(list.size(), expected.size());
    EXPECT_EQ(list.empty(), expected.empty());
    size_t k = 0;
    for (const std::string& s : list) {
        EXPECT_EQ(s, expected[k++]);
    }
}

// Random appends, erasures, copies, moves and clears, checked step by
// step against a deque; addresses of elements present before an append
// must not change.
template <class List>
void RunAgainstDeque(unsigned seed) {
    std::mt19937 random(seed);
    List list;
    std::deque<std::string> expected;
    int next = 0;
    for (int step = 0; step < 3000; ++step) {
        const unsigned op = random() % 100;
        if (op < 70) {
            std::vector<const std::string*> before;
            for (const std::string& s : list) {
                before.push_back(&s);
            }
            const std::string v = Value(next++);
            if (op % 2) {
                list.push_back(v);
            } else {
                list.emplace_back() = v;
            }
            expected.push_back(v);
            for (size_t i = 0; i < before.size(); ++i) {
                ASSERT_EQ(before[i], &list[i]) << "element " << i << " moved at step " << step;
            }
        } else if (op < 85 && !expected.empty()) {
            const size_t at = random() % expected.size();
            auto it = list.erase(list.begin() + static_cast<std::ptrdiff_t>(at));
            expected.erase(expected.begin() + static_cast<std::ptrdiff_t>(at));
            EXPECT_EQ(it - list.begin(), static_cast<std::ptrdiff_t>(at));
        } else if (op < 90) {
            List copy(list);
            ExpectSame(copy, expected);
            List other;
            other.push_back(Value(-1));
            other = copy;  // reuses other's storage
            ExpectSame(other, expected);
            list = std::move(other);
        } else if (op < 95) {
            List moved(std::move(list));
            ExpectSame(moved, expected);
            list = List();
            list = std::move(moved);
        } else if (op == 99) {
            list.clear();
            expected.clear();
        }
        ASSERT_NO_FATAL_FAILURE(ExpectSame(list, expected)) << "at step " << step;
        if (!expected.empty()) {
            EXPECT_EQ(list.front(), expected.front());
            EXPECT_EQ(list.back(), expected.back());
        }
    }
}

TEST(StableLists, BehaveAsADequeWhoseElementsNeverMove) {
    for (unsigned seed : {1u, 2u, 3u}) {
        SCOPED_TRACE(seed);
        RunAgainstDeque<SmallBlockList<std::string>>(seed);
        RunAgainstDeque<BlockList<std::string, 2>>(seed);
        RunAgainstDeque<BlockList<std::string>>(seed);
    }
}

}  // namespace
