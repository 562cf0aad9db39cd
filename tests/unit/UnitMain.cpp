// Unit tests run without a display; Qt objects use the offscreen platform.
#include "res/LumicueResources.h"

#include <QApplication>
#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    vRegisterResources(LumicueResources());
    return RUN_ALL_TESTS();
}
