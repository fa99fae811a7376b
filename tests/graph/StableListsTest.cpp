#include <gtest/gtest.h>

#include <deque>
#include <random>
#include <string>
#include <unordered_map>
#include <vector>

#include "NameSlots.h"
#include "ShortNameTable.h"
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

// Random insertions and erasures of a few names (so runs collide and
// erasure has to move later slots back), checked against a map.
TEST(NameSlots, FindInsertAndEraseAgreeWithAMap) {
    std::mt19937 random(7);
    std::vector<std::string> keys;  // number -> name, as the graph's index
    for (int i = 0; i < 400; ++i) {
        keys.push_back("n" + std::to_string(i % 150));
    }
    auto keyAt = [&keys](size_t k) -> const std::string& { return keys[k]; };
    CNameSlots slots;
    std::unordered_map<std::string, size_t> expected;
    for (int step = 0; step < 20000; ++step) {
        const size_t k = random() % keys.size();
        const std::string& name = keys[k];
        if (random() % 3) {
            auto [stored, added] = slots.Insert(name, k, keyAt);
            auto [it, expectAdded] = expected.emplace(name, k);
            ASSERT_EQ(added, expectAdded) << name;
            EXPECT_EQ(CNameSlots::Number(stored), it->second);
        } else {
            slots.Erase(name, keyAt);
            expected.erase(name);
        }
        ASSERT_EQ(slots.size(), expected.size());
        for (int probe = 0; probe < 150; probe += 7) {
            const std::string other = "n" + std::to_string(probe);
            auto it = expected.find(other);
            ASSERT_EQ(slots.Find(other, keyAt), it == expected.end() ? CNameSlots::npos : it->second)
                << other << " at step " << step;
        }
    }
}

// Names of every length around the inline head (the empty name, names
// that fill it, longer names sharing a head), inserted in random order
// with repeats: the first value stays, every look-up agrees with a map,
// and the table grows from nothing through its rehashes.
TEST(ShortNameTable, KeepsTheFirstValueOfEveryNameAsAMapDoes) {
    std::mt19937 random(11);
    const std::string head(30, 'h');
    std::vector<std::string> keys = {""};
    for (int i = 0; i < 300; ++i) {
        keys.push_back(head.substr(0, static_cast<size_t>(i % 31)) + std::to_string(i % 120));
    }
    auto keyAt = [&keys](std::uint32_t k) -> const std::string& { return keys[k]; };
    CShortNameTable<std::uint32_t> table;
    std::unordered_map<std::string, std::uint32_t> expected;
    for (int step = 0; step < 3000; ++step) {
        const auto k = static_cast<std::uint32_t>(random() % keys.size());
        auto [stored, added] = table.Insert(keys[k], k, keyAt);
        auto [it, expectAdded] = expected.emplace(keys[k], k);
        ASSERT_EQ(added, expectAdded) << keys[k];
        EXPECT_EQ(*stored, it->second);
        ASSERT_EQ(table.size(), expected.size());
        const std::string& probe = keys[random() % keys.size()];
        const std::uint32_t* found = table.Find(probe, keyAt);
        auto e = expected.find(probe);
        ASSERT_EQ(found != nullptr, e != expected.end()) << probe;
        if (found) {
            EXPECT_EQ(*found, e->second) << probe;
        }
    }
    EXPECT_EQ(table.Find(head + "x", keyAt), nullptr);
}

}  // namespace
