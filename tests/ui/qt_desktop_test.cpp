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
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
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

// The start returns while the job still runs; its end, failure included, arrives later as an
// event on the window's thread, and none arrives once the program is closing.
TEST(QtDesktop, ABackgroundJobsEndArrivesAsAnEventOnTheWindowsThread) {
    QtDesktop desktop;
    std::atomic<bool> release{false};
    std::exception_ptr failure;
    QThread* endedOn = nullptr;
    desktop.startInBackground(
        [&] {
            WaitFor(release);
            throw std::runtime_error("disk on fire");
        },
        [&](std::exception_ptr f) {
            failure = f;
            endedOn = QThread::currentThread();
        });
    EXPECT_EQ(endedOn, nullptr);
    release = true;
    const QDeadlineTimer deadline(5000);
    while (endedOn == nullptr && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    EXPECT_EQ(endedOn, QThread::currentThread());
    EXPECT_THROW(std::rethrow_exception(failure), std::runtime_error);

    bool endedAfterClosing = false;
    std::atomic<bool> jobRan{false};
    desktop.startInBackground([&] { jobRan = true; },
                              [&](std::exception_ptr) { endedAfterClosing = true; });
    desktop.closeProgram();
    WaitFor(jobRan);
    QCoreApplication::processEvents();
    EXPECT_FALSE(endedAfterClosing);
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

namespace gantrylux {
namespace {

// The proposal is selected in a focused field: typing replaces it and Enter accepts.
TEST(QtDesktop, TheInputBoxTakesTypingAtOnce) {
    QtDesktop desktop;
    QTimer::singleShot(0, [] {
        auto* field = qobject_cast<QLineEdit*>(QApplication::activeModalWidget()->focusWidget());
        ASSERT_NE(field, nullptr);
        EXPECT_EQ(field->selectedText(), "csv");
        QTest::keyClicks(field, QStringLiteral("txt"));
        QTest::keyClick(field, Qt::Key_Return);
    });
    EXPECT_EQ(desktop.inputBox("Enter file extension to load:", "csv"), "txt");
}

}  // namespace
}  // namespace gantrylux
