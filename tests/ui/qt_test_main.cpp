#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>

// Every window test runs without a display and away from the user's own settings, also when
// the test binary is started by hand; a test may give the offscreen platform screens of its own.
int main(int argc, char* argv[]) {
    if (!qEnvironmentVariable("QT_QPA_PLATFORM").startsWith(QLatin1String("offscreen"))) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
