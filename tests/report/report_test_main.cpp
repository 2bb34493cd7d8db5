#include <QApplication>
#include <gtest/gtest.h>

#include <cstdlib>

// The report tests measure and draw text, so they need a real (offscreen) application.
int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
