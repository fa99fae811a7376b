// What moving frames draw, chosen from the durations of earlier frames.
#include <gtest/gtest.h>

#include <vector>

#include "MotionPruning.h"

namespace {

struct Frame {
    bool moving;
    FrameDetail drawn;
    double seconds;
};

}  // namespace

TEST(MotionBudget, MovingFramesDrawWhatTheLastFramesCouldAfford) {
    using D = FrameDetail;
    constexpr double b = CMotionFrameBudget::kDefaultBudget;
    const struct {
        const char* name;
        std::vector<Frame> frames;
        bool forget;
        D expected;
    } cases[] = {
        {"nothing measured", {}, false, D::Complete},
        {"fast still frame", {{false, D::Complete, b / 2}}, false, D::Complete},
        {"labels take half", {{false, D::Complete, b * 1.5}}, false, D::NoLabels},
        {"edges a quarter", {{false, D::Complete, b * 3}}, false, D::MoleculesOnly},
        {"far too slow", {{false, D::Complete, b * 30}}, false, D::MoleculePoints},
        {"slow moving frame goes poorer", {{false, D::Complete, b * 1.5}, {true, D::NoLabels, b * 2}}, false,
         D::MoleculesOnly},
        {"fast moving frame keeps its detail", {{false, D::Complete, b * 1.5}, {true, D::NoLabels, b / 2}}, false,
         D::NoLabels},
        {"a frame of another detail teaches nothing", {{false, D::Complete, b * 1.5}, {true, D::Complete, b * 9}},
         false, D::NoLabels},
        {"the next slow still frame keeps what moving learnt",
         {{false, D::Complete, b * 1.5}, {true, D::NoLabels, b * 2}, {false, D::Complete, b * 1.5}}, false,
         D::MoleculesOnly},
        {"a fast still frame forgets it",
         {{false, D::Complete, b * 1.5}, {true, D::NoLabels, b * 2}, {false, D::Complete, b / 2}}, false,
         D::Complete},
        {"another scene forgets it", {{false, D::Complete, b * 30}}, true, D::Complete},
        {"points stay points", {{false, D::Complete, b * 30}, {true, D::MoleculePoints, b * 9}}, false,
         D::MoleculePoints},
    };
    for (const auto& c : cases) {
        CMotionFrameBudget budget;
        for (const Frame& f : c.frames) {
            budget.FrameDrawn(f.moving, f.drawn, f.seconds);
        }
        if (c.forget) {
            budget.Forget();
        }
        EXPECT_EQ(budget.NextFrame(true), c.expected) << c.name;
        EXPECT_EQ(budget.NextFrame(false), D::Complete) << c.name;
    }
}
