// The box the clipping planes of complete frames are fitted to: every
// shape's box, a label's anchor alone, found again where the scene changed,
// the same when walked in slices, and no cache left in the scene.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>

#include <Inventor/nodes/SoCube.h>
#include <Inventor/nodes/SoPerspectiveCamera.h>
#include <Inventor/nodes/SoSeparator.h>
#include <Inventor/nodes/SoSphere.h>
#include <Inventor/nodes/SoText2.h>
#include <Inventor/nodes/SoTranslation.h>

#include "CoinPtr.h"
#include "DrawnBounds.h"

namespace {

struct Scene {
    CoinPtr<SoSeparator> root = MakeCoin<SoSeparator>();
    CoinPtr<SoPerspectiveCamera> camera = MakeCoin<SoPerspectiveCamera>();
    CoinPtr<SoTranslation> labelPlace = MakeCoin<SoTranslation>();
    CoinPtr<SoSphere> sphere = MakeCoin<SoSphere>();

    // A sphere of radius 2 at (10, 0, 0), a long label anchored at
    // (0, 5, 0), a cube of side 2 at (0, 0, -7).
    Scene() {
        root->addChild(camera.get());
        auto add = [&](SoNode* place, SoNode* shape) {
            auto part = MakeCoin<SoSeparator>();
            part->addChild(place);
            part->addChild(shape);
            root->addChild(part.get());
        };
        auto spherePlace = MakeCoin<SoTranslation>();
        spherePlace->translation.setValue(10.0f, 0.0f, 0.0f);
        sphere->radius.setValue(2.0f);
        add(spherePlace.get(), sphere.get());
        labelPlace->translation.setValue(0.0f, 5.0f, 0.0f);
        auto label = MakeCoin<SoText2>();
        label->string.setValue("a label far wider than the scene");
        add(labelPlace.get(), label.get());
        auto cubePlace = MakeCoin<SoTranslation>();
        cubePlace->translation.setValue(0.0f, 0.0f, -7.0f);
        add(cubePlace.get(), MakeCoin<SoCube>().get());
    }
};

}  // namespace

TEST(DrawnBounds, HoldsShapesAndLabelAnchorsFollowingChanges) {
    Scene scene;
    CDrawnBounds bounds;
    const struct {
        const char* change;
        std::function<void(Scene&)> apply;
        SbVec3f low, high;
        int leastCalls = 1;  // of a walk in slices
    } cases[] = {
        {"none", [](Scene&) {}, {-1, -2, -8}, {12, 5, 2}},
        {"the label moved", [](Scene& s) { s.labelPlace->translation.setValue(0, 9, 0); }, {-1, -2, -8}, {12, 9, 2}},
        {"the camera moved", [](Scene& s) { s.camera->position.setValue(0, 0, 100); }, {-1, -2, -8}, {12, 9, 2}},
        {"the sphere grew", [](Scene& s) { s.sphere->radius.setValue(4); }, {-1, -4, -8}, {14, 9, 4}},
        // More separators than a walk in slices takes at once.
        {"a crowd of spheres",
         [](Scene& s) {
             auto crowd = MakeCoin<SoSeparator>();
             for (int i = 0; i < 100; ++i) {
                 auto one = MakeCoin<SoSeparator>();
                 auto place = MakeCoin<SoTranslation>();
                 place->translation.setValue(0.0f, -10.0f - 0.1f * static_cast<float>(i), 0.0f);
                 auto sphere = MakeCoin<SoSphere>();
                 sphere->radius.setValue(0.5f);
                 one->addChild(place.get());
                 one->addChild(sphere.get());
                 crowd->addChild(one.get());
             }
             s.root->addChild(crowd.get());
         },
         {-1, -20.4f, -8},
         {14, 9, 4},
         2},
        // A shape beside the separators, moved by what comes before it:
        // the root is walked whole.
        {"a moved cube in the root",
         [](Scene& s) {
             auto place = MakeCoin<SoTranslation>();
             place->translation.setValue(0, -20, 0);
             s.root->addChild(place.get());
             s.root->addChild(MakeCoin<SoCube>().get());
         },
         {-1, -21, -8},
         {14, 9, 4}},
    };
    // Walked again in slices, a run of units at each call, from scratch.
    CDrawnBounds sliced;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.change);
        c.apply(scene);
        const SbBox3f& box = bounds.Of(scene.root.get());
        ASSERT_FALSE(box.isEmpty());
        for (int axis = 0; axis < 3; ++axis) {
            EXPECT_NEAR(box.getMin()[axis], c.low[axis], 1e-4f) << axis;
            EXPECT_NEAR(box.getMax()[axis], c.high[axis], 1e-4f) << axis;
        }
        int calls = 1;
        while (!sliced.WalkUntil(scene.root.get(), std::chrono::steady_clock::now()) && calls < 1000) {
            ++calls;
        }
        EXPECT_TRUE(sliced.Of(scene.root.get()).getMin() == box.getMin());
        EXPECT_TRUE(sliced.Of(scene.root.get()).getMax() == box.getMax());
        EXPECT_GE(calls, c.leastCalls) << "not walked in slices";
        // The viewer's bounding-box action would have left one.
        EXPECT_EQ(scene.sphere->getBoundingBoxCache(), nullptr);
    }
}
