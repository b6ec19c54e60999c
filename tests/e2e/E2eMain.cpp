// The court's test binary: one QApplication on the offscreen platform with the operator's monitor and the
// public scoreboard's monitor, unless the environment names another platform.
#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (!platform || std::strcmp(platform, "offscreen") == 0)
        setenv("QT_QPA_PLATFORM", "offscreen:configfile=" BELVANTA_E2E_SCREENS, 1);
    setenv("BELVANTA_RECEIVER", "/nonexistent/belvanta-test-receiver", 0);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
