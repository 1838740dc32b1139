// The main of the test programs that draw text: the font database belongs to a GUI application,
// which the library never creates itself. Offscreen unless QT_QPA_PLATFORM says otherwise, so
// no window system is needed.

#include <QGuiApplication>

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    }
    QGuiApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
