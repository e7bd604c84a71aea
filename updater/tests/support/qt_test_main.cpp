// Test programs that create windows run them on Qt's offscreen platform, under the
// updater's own application object.

#include <gtest/gtest.h>

#include <cstdlib>

#include "ui/torvik_application.h"

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ::testing::InitGoogleTest(&argc, argv);
    int qtArgc = 1;
    torvik::TorvikApplication application(qtArgc, argv);
    return RUN_ALL_TESTS();
}
