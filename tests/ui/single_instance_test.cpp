#include "ui/single_instance.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QDataStream>
#include <QLocalSocket>
#include <QProcess>
#include <QTest>
#include <memory>

#include "fakes/memory_settings_store.hpp"
#include "fakes/temp_tree.hpp"
#include "folders/native_file_system.hpp"
#include "ui/main_window.hpp"
#include "ui/qt_desktop.hpp"

namespace gantrylux {
namespace {

// Launches of the real program in a runtime folder of the test's own, so that no other test
// and no window of the user's takes them.
class SingleInstanceTest : public ::testing::Test {
  protected:
    SingleInstanceTest() {
        tree.folder("run");
        tree.folder("config");
        saved = qgetenv("XDG_RUNTIME_DIR");
        qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(tree.path("run")));
    }
    ~SingleInstanceTest() override { qputenv("XDG_RUNTIME_DIR", saved); }

    std::unique_ptr<QProcess> launch(const QStringList& arguments,
                                     const QString& report = QString()) {
        auto program = std::make_unique<QProcess>();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"),
                           QString::fromStdString(tree.path("config")));
        if (!report.isEmpty()) {
            environment.insert(QStringLiteral("GANTRYLUX_STARTUP_REPORT"), report);
        }
        program->setProcessEnvironment(environment);
        program->setWorkingDirectory(QString::fromStdString(tree.path()));
        program->start(QStringLiteral(GANTRYLUX_PROGRAM), arguments);
        return program;
    }
    // Serves this process's window while the program runs.
    static bool ended(QProcess& program) {
        return QTest::qWaitFor([&] { return program.state() == QProcess::NotRunning; }, 30000);
    }

    testing::TempTree tree;
    QByteArray saved;
};

// A socket file that nobody listens at, as a program that crashed leaves it.
void LeaveStaleSocket(const QString& path) {
    const int socket = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray bytes = path.toLocal8Bit();
    std::copy(bytes.begin(), bytes.end(), address.sun_path);
    ::bind(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    ::close(socket);
}

// This process has the window; later launches, with relative paths, with none, or sending
// garbage, end at once with status 0 and their paths reach this window only.
TEST_F(SingleInstanceTest, ALaterLaunchHandsItsPathsToTheRunningWindow) {
    tree.file("a b.txt");
    tree.file("c.txt");
    LeaveStaleSocket(SingleInstance::socketPath());
    QtDesktop desktop;
    testing::MemorySettingsStore store;
    const SystemClock clock;
    MainWindow window(desktop, store, MakeNativeFileSystem(), clock);
    desktop.setWindow(&window);
    SingleInstance instance;
    ASSERT_EQ(instance.claim({}), SingleInstance::Role::First) << instance.failure().toStdString();
    QObject::connect(&instance, &SingleInstance::handedOver, &window, [&](const HandOver& h) {
        window.mainForm().commands().AddCommandLinePaths(h.paths, {}, h.notLocal);
    });

    QLocalSocket garbage;
    garbage.connectToServer(SingleInstance::socketPath());
    ASSERT_TRUE(garbage.waitForConnected(1000));
    garbage.write(QByteArray(8, '\0') + "x");

    const auto withPaths = launch({QStringLiteral("--"), QStringLiteral("a b.txt")});
    const auto without = launch({});
    const auto another = launch({QStringLiteral("--"), QString::fromStdString(tree.path("c.txt"))});
    for (QProcess* program : {withPaths.get(), without.get(), another.get()}) {
        ASSERT_TRUE(ended(*program));
        EXPECT_EQ(program->exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program->exitCode(), 0) << program->readAllStandardError().toStdString();
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.mainForm().fileList().count() == 2; }));
    EXPECT_THAT(window.mainForm().fileList().texts(),
                ::testing::UnorderedElementsAre(tree.path("a b.txt"), tree.path("c.txt")));
}

// Two launches at the same instant, with no window yet: one hands its path to the other, and
// only one window stays.
TEST_F(SingleInstanceTest, TwoLaunchesAtOnceMakeOneWindow) {
    tree.file("a.txt");
    const auto first = launch({QStringLiteral("--"), QStringLiteral("a.txt")});
    const auto second = launch({QStringLiteral("--"), QStringLiteral("a.txt")});
    const auto running = [&] {
        return int{first->state() != QProcess::NotRunning} +
               int{second->state() != QProcess::NotRunning};
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return running() == 1; }, 30000));
    QTest::qWait(500);
    EXPECT_EQ(running(), 1);
    for (QProcess* program : {first.get(), second.get()}) {
        program->terminate();  // closes the window
        ASSERT_TRUE(ended(*program));
        EXPECT_EQ(program->exitCode(), 0);
    }
}

}  // namespace
}  // namespace gantrylux
