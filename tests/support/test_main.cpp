#include <QApplication>
#include <gtest/gtest.h>

#include <cstdlib>

// Every test program runs with a real (offscreen) application object, so that widgets,
// fonts and event processing behave as in the program.
int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
