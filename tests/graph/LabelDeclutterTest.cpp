#include <gtest/gtest.h>

#include <random>
#include <string>

#include "LabelDeclutter.h"

namespace {

ScreenLabel At(float x, float y, int degree, bool keep = false, float w = 40, float h = 10) {
    return ScreenLabel{x, y, x + w, y + h, degree, keep};
}

std::string Shown(const std::vector<bool>& shown) {
    std::string s;
    for (bool b : shown) {
        s += b ? '1' : '0';
    }
    return s;
}

TEST(LabelDeclutter, BetterConnectedAndKeptLabelsWin) {
    const struct {
        const char* what;
        std::vector<ScreenLabel> labels;
        const char* shown;
    } cases[] = {
        {"apart, all shown", {At(0, 0, 1), At(100, 0, 1), At(0, 50, 1)}, "111"},
        {"the better connected of two wins", {At(0, 0, 1), At(10, 5, 3)}, "01"},
        {"equal degree: the first wins", {At(0, 0, 2), At(10, 5, 2)}, "10"},
        {"touching edges do not overlap", {At(0, 0, 1), At(40, 0, 1), At(0, 10, 1)}, "111"},
        {"a hidden label blocks nothing", {At(0, 0, 5), At(30, 0, 3), At(60, 0, 1)}, "101"},
        {"kept labels stay, even over each other",
         {At(0, 0, 9), At(10, 0, 0, true), At(20, 0, 0, true)},
         "011"},
        {"off screen: not shown unless kept", {At(-100, 0, 1), At(0, 2000, 1, true), At(395, 295, 1)}, "011"},
        {"a label across many buckets", {At(0, 0, 9, false, 390, 10), At(200, 5, 1), At(200, 20, 1)}, "101"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Shown(DeclutterLabels(c.labels, 400, 300)), c.shown) << c.what;
    }
}

// The bucket index must decide as comparing every pair would.
TEST(LabelDeclutter, BucketsAgreeWithPairwiseGreedy) {
    std::mt19937 random(7);
    std::uniform_real_distribution<float> x(-50, 850), y(-50, 650), w(5, 120), h(6, 20);
    std::uniform_int_distribution<int> degree(0, 6);
    for (int round = 0; round < 20; ++round) {
        std::vector<ScreenLabel> labels;
        for (int i = 0; i < 300; ++i) {
            ScreenLabel r = At(x(random), y(random), degree(random), i % 37 == 0, w(random), h(random));
            labels.push_back(r);
        }
        std::vector<size_t> order;
        for (int pass = 0; pass < 2; ++pass) {
            for (int d = 6; d >= 0; --d) {
                for (size_t i = 0; i < labels.size(); ++i) {
                    if (labels[i].keep == (pass == 0) && (pass == 0 || labels[i].degree == d) &&
                        (pass == 1 || d == 6)) {
                        order.push_back(i);
                    }
                }
            }
        }
        std::vector<bool> expected(labels.size(), false);
        for (size_t i : order) {
            const ScreenLabel& r = labels[i];
            bool free = r.keep;
            if (!free) {
                free = r.x1 >= 0 && r.x0 <= 800 && r.y1 >= 0 && r.y0 <= 600;
                for (size_t k = 0; free && k < labels.size(); ++k) {
                    const ScreenLabel& o = labels[k];
                    free = !(expected[k] && r.x0 < o.x1 && o.x0 < r.x1 && r.y0 < o.y1 && o.y0 < r.y1);
                }
            }
            expected[i] = free;
        }
        EXPECT_EQ(Shown(DeclutterLabels(labels, 800, 600)), Shown(expected)) << "round " << round;
    }
}

}  // namespace
