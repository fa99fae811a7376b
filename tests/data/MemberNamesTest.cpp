#include <gtest/gtest.h>

#include "InteractionStore.h"
#include "MemberNames.h"

namespace {

struct NormaliseCase {
    std::string m1, m2;
    int kind;
    std::string want1, want2;
    int wantKind;
};

class NormaliseTest : public ::testing::TestWithParam<NormaliseCase> {};

TEST_P(NormaliseTest, GivesTheStoredNames) {
    NormaliseCase c = GetParam();
    std::int32_t kind = c.kind;
    NormaliseMemberNames(c.m1, c.m2, kind);
    EXPECT_EQ(c.m1, c.want1);
    EXPECT_EQ(c.m2, c.want2);
    EXPECT_EQ(kind, c.wantKind);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, NormaliseTest,
    ::testing::Values(
        // A molecule binding itself becomes a homo-multimer with a second copy.
        NormaliseCase{"Ste5", "Ste5", 0, "Ste5", "Ste5_2", 9},
        // Only Bind is turned into Homo_xmer.
        NormaliseCase{"Ste5", "Ste5", 2, "Ste5", "Ste5", 2},
        // The self test runs before trimming: these differ.
        NormaliseCase{"Ste5", "_Ste5", 0, "Ste5", "Ste5", 0},
        // The copy's suffix survives trimming; the original's underscores go.
        NormaliseCase{"_Gpa1_", "_Gpa1_", 0, "Gpa1", "Gpa1__2", 9},
        NormaliseCase{"_Fus3_", "(Gbg)", 1, "Fus3", "_(Gbg)", 1},
        NormaliseCase{"14-3-3", "[PIP2]", 3, "_14-3-3", "_[PIP2]", 3},
        // Trimmed first, then prefixed again; no second prefix for a digit.
        NormaliseCase{"_[PIP2]", "__2micron__", 4, "_[PIP2]", "_2micron", 4},
        NormaliseCase{"___", "", 0, "", "", 0},
        NormaliseCase{"", "", 0, "", "_2", 9}));

TEST(SpecialTokens, CollectsWordsBetweenUnderscoresOnceInFirstSeenOrder) {
    CInteractionStore store("");
    auto add = [&](std::string m1, std::string m2) {
        InteractionRecord r;
        r.member1 = std::move(m1);
        r.member2 = std::move(m2);
        store.m_pInteractions.push_back(r);
    };
    add("the_Ste5_protein", "Ste5_protein");    // Ste5; nothing: no underscore before
    add("a_Cdc28-P_b", "x_Ste5_y");             // Cdc28-P (digit 2 comes before '-'), Ste5 again
    add("p_Ca2+_and_Mg2+_q", "Ste5");            // only the first '2' and first '+' count
    add("start_x-y", "z_a\\b_c");               // '-' in the last word: nothing; backslash
    store.m_nInteractions = static_cast<int>(store.m_pInteractions.size());
    store.CollectSpecialTokens();
    store.CollectSpecialTokens();  // a second build adds nothing twice
    std::vector<std::string> want = {"Ste5", "Cdc28-P", "Ca2+", "a\\b"};
    EXPECT_EQ(store.m_lstSpecialTokens, want);
    EXPECT_TRUE(store.HasSpecialToken("Ca2+"));
    EXPECT_FALSE(store.HasSpecialToken("Mg2+"));
}

}  // namespace
