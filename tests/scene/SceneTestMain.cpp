#include <gtest/gtest.h>

#include "SceneClasses.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    InitSceneClasses();  // no display needed
    return RUN_ALL_TESTS();
}
