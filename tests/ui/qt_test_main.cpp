#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>

// Every window test runs without a display and away from the user's own settings, also when
// the test binary is started by hand.
int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
