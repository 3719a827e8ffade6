#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

// Widgets need one application object for the whole run; without a display the offscreen
// platform is used so that test discovery works at build time as well.
int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
