// One QApplication per test binary, on the offscreen platform unless the environment names another.
#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // A view made by a test must never find and open a real receiver on the test machine.
    setenv("BELVANTA_RECEIVER", "/nonexistent/belvanta-test-receiver", 0);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
