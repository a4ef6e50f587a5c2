// GoogleTest main for every test program: a QApplication exists for the whole run
// (offscreen platform under CTest), so table objects, timers and widgets all work.
#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
