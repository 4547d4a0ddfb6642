#include "ui/qt_desktop.hpp"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>

namespace gantrylux {
namespace {

// True once the flag is set, false after two seconds.
bool WaitFor(const std::atomic<bool>& flag) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (!flag && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return flag;
}

TEST(QtDesktop, TheWindowsEventsAreHandledWhileABackgroundJobRuns) {
    QtDesktop desktop;
    std::atomic<bool> timerFired{false};
    bool jobSawTheTimer = false;
    QTimer::singleShot(0, [&] { timerFired = true; });
    desktop.runInBackground([&](std::stop_token) { jobSawTheTimer = WaitFor(timerFired); });
    EXPECT_TRUE(jobSawTheTimer);
}

TEST(QtDesktop, ABackgroundJobsFailureReachesTheCaller) {
    QtDesktop desktop;
    EXPECT_THROW(
        desktop.runInBackground([](std::stop_token) { throw std::runtime_error("disk on fire"); }),
        std::runtime_error);
}

// The dialog offers one filter, shown as "All Files (*.*)", that still lists names without a dot.
TEST(QtDesktop, TheOpenFileDialogShowsAllFilesAndListsNamesWithoutADot) {
    QTemporaryDir dir;
    for (const char* name : {"README", "a.txt"}) {
        QFile file(QDir(dir.path()).filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    QStringList filters;
    QStringList listed;
    // Runs inside the dialog's own loop; whatever it finds, it closes the dialog.
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        const auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        auto* model = dialog->findChild<QFileSystemModel*>();
        if (types != nullptr && model != nullptr) {
            for (int i = 0; i < types->count(); ++i) {
                filters.append(types->itemText(i));
            }
            dialog->setDirectory(dir.path());
            // The model lists a folder on a thread of its own and adds its rows in batches;
            // the dialog's first folder may finish loading first. Both names are awaited, and
            // a name the dialog hides leaves the wait at its deadline.
            const QModelIndex folder = model->index(dir.path());
            QDeadlineTimer deadline(5000);
            while (model->rowCount(folder) < 2 && !deadline.hasExpired()) {
                QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
                QThread::msleep(5);
            }
            for (int row = 0; row < model->rowCount(folder); ++row) {
                listed.append(model->index(row, 0, folder).data().toString());
            }
        }
        dialog->reject();
    });
    QtDesktop desktop;
    EXPECT_TRUE(desktop.openFiles("Add File(s)").empty());
    EXPECT_EQ(filters.join(QLatin1Char('|')).toStdString(), "All Files (*.*)");
    listed.sort();
    EXPECT_EQ(listed.join(QLatin1Char('|')).toStdString(), "README|a.txt");
}

}  // namespace
}  // namespace gantrylux
