#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include <Inventor/SbBox2f.h>
#include <Inventor/SbBox3f.h>
#include <Inventor/SbViewVolume.h>
#include <Inventor/SbViewportRegion.h>
#include <Inventor/nodes/SoCube.h>
#include <Inventor/nodes/SoPerspectiveCamera.h>
#include <Inventor/nodes/SoSeparator.h>
#include <Inventor/nodes/SoTranslation.h>

#include "CameraFit.h"
#include "CoinPtr.h"

namespace {

struct FitCase {
    const char* name;
    SbRotation orientation;
    short width;
    short height;
};

// Where the corners of the cubes land on the viewport, from 0 to 1 on
// each side.
SbBox2f ScreenExtent(const SoPerspectiveCamera& camera, const std::vector<SbBox3f>& cubes,
                     const SbViewportRegion& region) {
    const SbViewVolume volume =
        const_cast<SoPerspectiveCamera&>(camera).getViewVolume(region.getViewportAspectRatio());
    SbBox2f extent;
    for (const SbBox3f& cube : cubes) {
        const SbVec3f& lo = cube.getMin();
        const SbVec3f& hi = cube.getMax();
        for (int corner = 0; corner < 8; ++corner) {
            SbVec3f onScreen;
            volume.projectToScreen(
                SbVec3f((corner & 1) ? hi[0] : lo[0], (corner & 2) ? hi[1] : lo[1], (corner & 4) ? hi[2] : lo[2]),
                onScreen);
            extent.extendBy(SbVec2f(onScreen[0], onScreen[1]));
        }
    }
    return extent;
}

}  // namespace

// A flat pathway, wider than deep and a little lifted, seen from the start
// camera's tilt and from other directions on wide and tall viewports: after
// the fit every corner is on screen and the tighter side is filled.
TEST(CameraFit, BoxFillsTheViewWithoutLeavingItFromAnyDirection) {
    const float kTilt = -static_cast<float>(M_PI) / 3.0f;
    const FitCase cases[] = {
        {"from the front", SbRotation::identity(), 1001, 901},
        {"tilted", SbRotation(SbVec3f(1, 0, 0), kTilt), 1001, 901},
        {"tilted, tall view", SbRotation(SbVec3f(1, 0, 0), kTilt), 400, 800},
        {"tilted, wide view", SbRotation(SbVec3f(1, 0, 0), kTilt), 1200, 300},
        {"turned and tilted", SbRotation(SbVec3f(1, 0, 0), kTilt) * SbRotation(SbVec3f(0, 1, 0), 0.5f), 800, 600},
    };
    const float kFill = 0.9f;
    for (const FitCase& c : cases) {
        SCOPED_TRACE(c.name);
        CoinPtr<SoSeparator> root(new SoSeparator);
        auto* camera = new SoPerspectiveCamera;
        root->addChild(camera);
        std::vector<SbBox3f> cubes;
        for (const SbVec3f& at : {SbVec3f(-50, 0, -30), SbVec3f(50, 4, 30), SbVec3f(20, 2, -10)}) {
            auto* place = new SoSeparator;
            auto* move = new SoTranslation;
            move->translation.setValue(at);
            place->addChild(move);
            place->addChild(new SoCube);  // 2 x 2 x 2
            root->addChild(place);
            cubes.emplace_back(at - SbVec3f(1, 1, 1), at + SbVec3f(1, 1, 1));
        }
        camera->orientation.setValue(c.orientation);
        const SbViewportRegion region(c.width, c.height);
        camera->viewAll(root.get(), region, 1.0f);

        ASSERT_TRUE(FitCameraToScene(*camera, root.get(), region, kFill));
        EXPECT_TRUE(camera->orientation.getValue().equals(c.orientation, 1e-6f));
        const SbBox2f after = ScreenExtent(*camera, cubes, region);
        float lowX, lowY, highX, highY;
        after.getBounds(lowX, lowY, highX, highY);
        EXPECT_GE(lowX, -1e-3f);
        EXPECT_GE(lowY, -1e-3f);
        EXPECT_LE(highX, 1.0f + 1e-3f);
        EXPECT_LE(highY, 1.0f + 1e-3f);
        float width, height;
        after.getSize(width, height);
        EXPECT_NEAR(std::max(width, height), kFill, 0.02f);
    }
}

TEST(CameraFit, EmptySceneLeavesTheCameraAlone) {
    CoinPtr<SoSeparator> root(new SoSeparator);
    auto* camera = new SoPerspectiveCamera;
    root->addChild(camera);
    camera->position.setValue(1, 2, 3);
    EXPECT_FALSE(FitCameraToScene(*camera, root.get(), SbViewportRegion(640, 480), 0.9f));
    EXPECT_EQ(camera->position.getValue(), SbVec3f(1, 2, 3));
}
