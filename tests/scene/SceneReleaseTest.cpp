// Letting go of a replaced scene a slice at a time.
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include <Inventor/nodes/SoCube.h>
#include <Inventor/nodes/SoSeparator.h>
#include <Inventor/sensors/SoNodeSensor.h>

#include "CoinPtr.h"
#include "SceneRelease.h"

namespace {

// Counts the nodes of a scene as they die.
class DeathCount {
public:
    template <class T>
    T* Watch(T* node) {
        auto sensor = std::make_unique<SoNodeSensor>();
        sensor->attach(node);
        sensor->setDeleteCallback([](void* count, SoSensor*) { ++*static_cast<int*>(count); }, &m_dead);
        m_sensors.push_back(std::move(sensor));
        ++m_watched;
        return node;
    }
    // A separator with `leaves` cubes, all watched.
    SoSeparator* Group(int leaves) {
        auto* group = Watch(new SoSeparator);
        for (int i = 0; i < leaves; ++i) {
            group->addChild(Watch(new SoCube));
        }
        return group;
    }
    int Dead() const { return m_dead; }
    int Watched() const { return m_watched; }

private:
    std::vector<std::unique_ptr<SoNodeSensor>> m_sensors;
    int m_dead = 0;
    int m_watched = 0;
};

TEST(SceneReleaseTest, LetsGoInSmallSlicesAndSparesNodesALiveSceneHolds) {
    DeathCount deaths;
    CoinPtr<SoNode> root(deaths.Group(0));
    auto* top = static_cast<SoSeparator*>(root.get());
    // Many small groups, as a circle's edges.
    SoSeparator* wide = deaths.Group(0);
    for (int i = 0; i < 200; ++i) {
        wide->addChild(deaths.Group(5));
    }
    top->addChild(wide);
    // A deep subtree under single children: no one slice may take it whole.
    SoSeparator* chain = deaths.Group(0);
    SoSeparator* middle = deaths.Group(0);
    middle->addChild(deaths.Group(3000));
    chain->addChild(middle);
    top->addChild(chain);
    // A group a live scene holds too keeps its children.
    CoinPtr<SoSeparator> live(new SoSeparator);
    auto* shared = new SoSeparator;
    for (int i = 0; i < 50; ++i) {
        shared->addChild(new SoCube);
    }
    live->addChild(shared);
    top->addChild(shared);

    CSceneRelease release;
    release.Add(std::move(root));
    EXPECT_FALSE(release.Done());
    int steps = 0;
    int largestSlice = 0;
    for (bool done = false; !done && steps < 100000; ++steps) {
        const int before = deaths.Dead();
        done = release.Step(0.0);
        largestSlice = std::max(largestSlice, deaths.Dead() - before);
    }
    EXPECT_TRUE(release.Done());
    EXPECT_EQ(deaths.Dead(), deaths.Watched());
    EXPECT_GT(steps, 100);
    EXPECT_LE(largestSlice, 600) << "a slice destroyed too much at once";
    EXPECT_EQ(live->getNumChildren(), 1);
    EXPECT_EQ(shared->getNumChildren(), 50);
    EXPECT_EQ(shared->getRefCount(), 1);
}

}  // namespace
