#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include <Inventor/SbBox2f.h>
#include <Inventor/SbBox3f.h>
#include <Inventor/SbViewVolume.h>
#include <Inventor/SbViewportRegion.h>
#include <Inventor/SoPath.h>
#include <Inventor/actions/SoGetBoundingBoxAction.h>
#include <Inventor/nodes/SoCone.h>
#include <Inventor/nodes/SoCube.h>
#include <Inventor/nodes/SoFont.h>
#include <Inventor/nodes/SoRotationXYZ.h>
#include <Inventor/nodes/SoPerspectiveCamera.h>
#include <Inventor/nodes/SoSeparator.h>
#include <Inventor/nodes/SoSphere.h>
#include <Inventor/nodes/SoText2.h>
#include <Inventor/nodes/SoTransform.h>
#include <Inventor/nodes/SoTranslation.h>

#include "CameraFit.h"
#include "CoinPtr.h"
#include "SceneBounds.h"

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

// The at-once camera's bounds, read from the nodes' fields, must be the
// very box Coin's bounding-box walk gives, whatever the labels say and
// wherever the camera stands: texts put together from glyphs (the long one
// last reaches farthest), texts measured whole (other bytes, an empty
// text), labels out of view, and turned edges whose boxes Coin unites in
// their own frames. So must the box gathered from parts measured one by
// one as a build makes them, after a part changed, behind a shift of the
// parts that follow it, and after the camera moved.
TEST(SceneBounds, EqualsCoinsWalkBitForBit) {
    std::vector<std::string> texts = {"M0:M3:0", "ab cd", "T\xc3\xa9l\xc3\xa9", "", "jj_Wq", "x"};
    // Past the first few, which are measured whole as a check.
    for (const char* more : {"AV-To", "r__3", "Wa.fi", "E_2:0-3:0", "gyp", "LT", "ff", "M10", "(1)", "q/Y"}) {
        texts.push_back(more);
    }
    std::string wide;
    while (wide.size() < 600) {
        wide += "jW_q1 ";
    }
    texts.push_back(wide);
    auto root = MakeCoin<SoSeparator>();
    auto camera = MakeCoin<SoPerspectiveCamera>();
    root->addChild(camera.get());
    auto shapes = MakeCoin<SoSeparator>();
    auto labels = MakeCoin<SoSeparator>();
    auto font = MakeCoin<SoFont>();
    font->name.setValue("Times-Roman");
    font->size.setValue(18.0f);
    labels->addChild(font.get());
    for (size_t i = 0; i < texts.size(); ++i) {
        const float at = 3.0f * static_cast<float>(i);
        auto label = MakeCoin<SoSeparator>();
        auto place = MakeCoin<SoTransform>();
        place->translation.setValue(at, 0.5f * at, -at);
        auto lift = MakeCoin<SoTranslation>();
        lift->translation.setValue(0.0f, 3.0f, 0.0f);
        auto text = MakeCoin<SoText2>();
        text->string.setValue(texts[i].c_str());
        label->addChild(place.get());
        label->addChild(lift.get());
        label->addChild(text.get());
        labels->addChild(label.get());
        auto edge = MakeCoin<SoSeparator>();
        auto aim = MakeCoin<SoTransform>();
        aim->pointAt(SbVec3f(at, 0.0f, -at), SbVec3f(-at, at, 2.0f * at));
        auto turn = MakeCoin<SoRotationXYZ>();
        turn->angle.setValue(0.3f * static_cast<float>(i));
        auto cone = MakeCoin<SoCone>();
        cone->height.setValue(at - 1.0f);
        auto sphere = MakeCoin<SoSphere>();
        edge->addChild(aim.get());
        edge->addChild(turn.get());
        edge->addChild(cone.get());
        edge->addChild(sphere.get());
        shapes->addChild(edge.get());
        if (i == texts.size() / 2) {
            auto shift = MakeCoin<SoTranslation>();
            shift->translation.setValue(0.5f, -2.0f, 1.0f);
            shapes->addChild(shift.get());
            labels->addChild(shift.get());
        }
    }
    root->addChild(shapes.get());
    root->addChild(labels.get());
    const SbViewportRegion region(640, 480);
    auto coinsBox = [&] {
        SoGetBoundingBoxAction walk(region);
        auto toCamera = MakeCoin<SoPath>(root.get());
        toCamera->append(camera.get());
        walk.setResetPath(toCamera.get(), TRUE, SoGetBoundingBoxAction::BBOX);
        walk.apply(root.get());
        return walk.getBoundingBox();
    };
    // As built (most labels beyond the far plane), then looking at it all
    // from two sides.
    const SbRotation sides[] = {SbRotation::identity(), SbRotation(SbVec3f(1.0f, 0.0f, 0.0f), -1.0f),
                                SbRotation(SbVec3f(0.0f, 1.0f, 0.0f), 2.5f)};
    auto* firstCone = static_cast<SoCone*>(static_cast<SoGroup*>(shapes->getChild(0))->getChild(2));
    for (const SbRotation& side : sides) {
        camera->orientation.setValue(side);
        for (int placed = 0; placed < 2; ++placed) {
            CSceneBounds parts(camera.get(), region);
            for (SoSeparator* group : {shapes.get(), labels.get()}) {
                for (int i = 0; i < group->getNumChildren(); ++i) {
                    if (group->getChild(i)->isOfType(SoSeparator::getClassTypeId())) {
                        parts.AddPart(group, static_cast<SoGroup*>(group->getChild(i)),
                                      group == labels.get() ? font.get() : nullptr);
                    }
                }
            }
            firstCone->height.setValue(firstCone->height.getValue() + 1.0f);
            SbBox3f ours, gathered;
            ASSERT_TRUE(MeasureSceneBounds(root.get(), camera.get(), region, ours));
            ASSERT_TRUE(parts.Measure(root.get(), region, gathered));
            const SbBox3f coins = coinsBox();
            for (const SbBox3f* box : {&ours, &gathered}) {
                EXPECT_EQ(std::memcmp(box, &coins, sizeof coins), 0)
                    << box->getMin()[0] << " " << box->getMax()[0] << " / " << coins.getMin()[0] << " "
                    << coins.getMax()[0];
            }
            camera->viewAll(root.get(), region);
            ASSERT_TRUE(parts.Measure(root.get(), region, gathered));
            const SbBox3f moved = coinsBox();
            EXPECT_EQ(std::memcmp(&gathered, &moved, sizeof moved), 0);
        }
    }
    // A node the measure does not know leaves the walk to Coin.
    shapes->addChild(MakeCoin<SoCube>().get());
    SbBox3f unknown;
    EXPECT_FALSE(MeasureSceneBounds(root.get(), camera.get(), region, unknown));
}
