// "Show in Folder" on Linux: the file manager's ShowItems call on the session bus, and the
// folder itself when no file manager answers, both for a folder whose name is not UTF-8. Run on a
// private bus (dbus-run-session); without a bus at all, only the fallback is checked.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QDeadlineTimer>
#include <QStringList>

#include "fakes/fake_xdg_open.hpp"
#include "fakes/temp_tree.hpp"
#include "ui/qt_desktop.hpp"

namespace gantrylux {
namespace {

// A file manager that only records the items it is asked to show.
class FileManagerStandIn : public QDBusVirtualObject {
  public:
    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        if (message.member() != QStringLiteral("ShowItems")) {
            return false;
        }
        shown += message.arguments().value(0).toStringList();
        connection.send(message.createReply());
        return true;
    }
    QStringList shown;
};

void ProcessEventsUntil(const std::function<bool()>& done) {
    const QDeadlineTimer deadline(10'000);
    while (!done() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
}

TEST(ShowInFolder, ReachesTheFileManagerOrElseOpensTheFolder) {
    testing::TempTree tree;
    tree.file("Mu\xffsic/a b.mp3");
    testing::FakeXdgOpen xdgOpen;
    QtDesktop desktop;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected()) {
        FileManagerStandIn fileManager;
        ASSERT_TRUE(bus.registerVirtualObject(QStringLiteral("/org/freedesktop/FileManager1"),
                                              &fileManager));
        ASSERT_TRUE(bus.registerService(QStringLiteral("org.freedesktop.FileManager1")));
        desktop.showInFolder(tree.path("Mu\xffsic/a b.mp3"));
        ProcessEventsUntil([&] { return !fileManager.shown.isEmpty(); });
        bus.unregisterService(QStringLiteral("org.freedesktop.FileManager1"));
        bus.unregisterObject(QStringLiteral("/org/freedesktop/FileManager1"));
        EXPECT_EQ(fileManager.shown.join(QLatin1Char('|')).toStdString(),
                  "file://" + tree.path("Mu%FFsic/a%20b.mp3"));
    }
    // No file manager answers now: the row's folder opens.
    desktop.showInFolder(tree.path("Mu\xffsic/a b.mp3"));
    std::vector<std::string> opened;
    ProcessEventsUntil([&] { return !(opened = xdgOpen.opened(0)).empty(); });
    EXPECT_EQ(opened, std::vector<std::string>{tree.path("Mu\xffsic")});
    if (!bus.isConnected()) {
        GTEST_SKIP() << "no session bus: the file manager's call was not checked";
    }
}

}  // namespace
}  // namespace gantrylux
