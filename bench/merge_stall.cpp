// Measures how long the window stops answering while it rebuilds the candidate list of a big
// folder: a 1 ms timer ticks throughout, and the longest gap between two ticks is the longest
// time the event loop did not turn.
//
//   merge-stall DIR
//
// Runs on Qt's offscreen platform with throw-away settings. Prints one line of key=value pairs
// for bench/run-bench.

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "folders/native_file_system.hpp"
#include "ui/main_window.hpp"
#include "ui/qt_desktop.hpp"
#include "ui/qt_settings_store.hpp"

namespace {

// The longest gap between consecutive ticks while recording.
class GapRecorder {
  public:
    GapRecorder() {
        clock_.start();
        ticker_.setTimerType(Qt::PreciseTimer);
        ticker_.setInterval(1);
        QObject::connect(&ticker_, &QTimer::timeout, [this] { tick(); });
        ticker_.start();
    }

    void startRecording() {
        last_ = clock_.nsecsElapsed();
        recording_ = true;
    }
    // Stops after the next tick, so that the time from now until the loop turns again counts.
    void stopAtNextTick(std::function<void()> then) { then_ = std::move(then); }

    double maxGapMs() const { return static_cast<double>(maxGap_) / 1e6; }
    long ticks() const { return ticks_; }

  private:
    void tick() {
        if (!recording_) {
            return;
        }
        const qint64 now = clock_.nsecsElapsed();
        maxGap_ = std::max(maxGap_, now - last_);
        last_ = now;
        ++ticks_;
        if (then_) {
            recording_ = false;
            ticker_.stop();
            std::exchange(then_, nullptr)();
        }
    }

    QElapsedTimer clock_;
    QTimer ticker_;
    bool recording_ = false;
    qint64 last_ = 0;
    qint64 maxGap_ = 0;
    long ticks_ = 0;
    std::function<void()> then_;
};

}  // namespace

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fputs("usage: merge-stall DIR\n", stderr);
        return 1;
    }
    std::string row = argv[1];
    if (row.empty() || row.back() != '/') {
        row += '/';
    }

    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir config;
    if (!config.isValid()) {
        std::fputs("merge-stall: cannot create a temporary folder\n", stderr);
        return 2;
    }
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        qputenv("XDG_RUNTIME_DIR", config.path().toLocal8Bit());  // private, as Qt wants it
    }
    QApplication app(argc, argv);

    gantrylux::QtSettingsStore store(config.filePath(QStringLiteral("merge-stall.ini")));
    gantrylux::QtDesktop desktop;
    const std::shared_ptr<const gantrylux::FileSystem> fileSystem =
        gantrylux::MakeNativeFileSystem();
    const gantrylux::SystemClock clock;
    gantrylux::MainWindow window(desktop, store, fileSystem, clock);
    desktop.setWindow(&window);
    window.show();

    // A failure report would wait for a click that never comes; note it and close it.
    int messages = 0;
    QTimer dismisser;
    QObject::connect(&dismisser, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            ++messages;
            std::fprintf(stderr, "merge-stall: message shown: %s\n",
                         box->text().toLocal8Bit().constData());
            box->done(QMessageBox::Ok);
        }
    });
    dismisser.start(100);

    bool finished = false;
    QTimer::singleShot(std::chrono::minutes(5), [&] {
        std::fputs("merge-stall: the merge did not end within 5 minutes\n", stderr);
        QCoreApplication::exit(3);
    });

    GapRecorder gaps;
    QElapsedTimer mergeClock;
    double mergeMs = 0;
    // Lets the window settle first: its first paint is no part of the merge.
    QTimer::singleShot(200, [&] {
        window.mainForm().folderList().append(row);
        gaps.startRecording();
        mergeClock.start();
        window.mainForm().CorrelateListviewsWrapper();
        window.mainForm().whenMerged([&] {
            mergeMs = static_cast<double>(mergeClock.nsecsElapsed()) / 1e6;
            gaps.stopAtNextTick([&] {
                finished = true;
                QCoreApplication::exit(0);
            });
        });
    });

    const int code = QApplication::exec();
    if (!finished) {
        return code == 0 ? 3 : code;
    }
    std::printf("max_gap_ms=%.1f ticks=%ld merge_ms=%.0f candidates=%zu messages=%d\n",
                gaps.maxGapMs(), gaps.ticks(), mergeMs, window.mainForm().candidateList().count(),
                messages);
    return 0;
}
