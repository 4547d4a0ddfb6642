#include <QApplication>
#include <QFile>
#include <QTextStream>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "folders/absolute_path.hpp"
#include "folders/file_enumeration.hpp"
#include "folders/folder_watch.hpp"
#include "folders/native_file_system.hpp"
#include "ports/worker_job.hpp"
#include "ui/close_on_signal.hpp"
#include "ui/command_line.hpp"
#include "ui/main_window.hpp"
#include "ui/print_candidates.hpp"
#include "ui/qt_desktop.hpp"
#include "ui/qt_settings_store.hpp"
#include "ui/single_instance.hpp"

namespace {

// Without a display Qt would abort with a long plugin message; say in one line what to do.
bool DisplayMissing() {
#if defined(Q_OS_LINUX)
    const auto set = [](const char* name) {
        const char* value = std::getenv(name);
        return value != nullptr && *value != '\0';
    };
    return !set("QT_QPA_PLATFORM") && !set("DISPLAY") && !set("WAYLAND_DISPLAY");
#else
    return false;
#endif
}

// Help, the version and a refusal need no window; anything else starts it. Gives the exit
// code, or -1 to go on.
int Answer(const gantrylux::CommandLine& line) {
    using Action = gantrylux::CommandLine::Action;
    if (line.action == Action::Start) {
        return -1;
    }
    const QByteArray text = line.text.toLocal8Bit();
    std::FILE* out = line.action == Action::Refuse ? stderr : stdout;
    std::fwrite(text.constData(), 1, static_cast<std::size_t>(text.size()), out);
    return line.action == Action::Refuse ? 2 : 0;
}

// What the installed program found beside itself and what reached the file list, written once
// the start-up has finished, for the package's tests to check against the installed tree.
void WriteStartUpReport(const QString& reportFile, gantrylux::MainWindow& window,
                        const gantrylux::Desktop& desktop, const gantrylux::FileSystem& fs) {
    QFile file(reportFile);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
        std::fprintf(stderr, "gantrylux: cannot write %s\n", qPrintable(reportFile));
        return;
    }
    const auto origin = [](const QCursor& cursor) {
        return cursor.shape() == Qt::BitmapCursor ? "file" : "platform";
    };
    const std::string folder = desktop.programFolder();
    QTextStream out(&file);
    out << "program folder: " << QString::fromStdString(folder) << '\n';
    out << "hand pointer: " << origin(window.handPointer()) << '\n';
    out << "drag pointer: " << origin(window.dragPointer()) << '\n';
    out << "skin: " << (window.styleSheet().isEmpty() ? "none" : "applied") << '\n';
    out << "layout: "
        << (window.layoutDirection() == Qt::RightToLeft ? "right-to-left" : "left-to-right")
        << '\n';
    for (const std::string& name :
         GetFilesInFolder(fs, folder + fs.separator() + "Samples", "*.*")) {
        out << "sample: " << QString::fromStdString(name) << '\n';
    }
    out.flush();
    // The rows as the bytes they are: a name that is not UTF-8 must be seen as it is.
    for (const std::string& row : window.mainForm().fileList().texts()) {
        file.write("file: ");
        file.write(row.data(), static_cast<qint64>(row.size()));
        file.write("\n");
    }
}

}  // namespace

int main(int argc, char* argv[]) {
    // Only what comes before "--" is the toolkit's to read: the rest are paths, however they
    // look. The toolkit takes its own options out of its part, and the rest stays bytes.
    const int toolkitPart = gantrylux::ToolkitArgumentCount(argc, argv);
    const std::vector<std::string> afterOptions(argv + toolkitPart, argv + argc);
    int toolkitArgc = toolkitPart;
    const auto arguments = [&] {
        std::vector<std::string> all(argv, argv + toolkitArgc);
        all.insert(all.end(), afterOptions.begin(), afterOptions.end());
        return all;
    };
    // A print needs no window, so no toolkit: every argument is the program's.
    if (const gantrylux::CommandLine print =
            gantrylux::ParseCommandLine(std::vector<std::string>(argv, argv + argc));
        print.action == gantrylux::CommandLine::Action::Print) {
        return gantrylux::PrintCandidates(print, stdout, stderr);
    }
    if (DisplayMissing()) {
        // The answers that need no window are still given.
        const QCoreApplication core(toolkitArgc, argv);
        if (const int code = Answer(gantrylux::ParseCommandLine(arguments())); code >= 0) {
            return code;
        }
        std::fputs(
            "gantrylux: no display (neither DISPLAY nor WAYLAND_DISPLAY is set); "
            "on a machine without a screen, run: xvfb-run -a make run\n",
            stderr);
        return 2;
    }
    QApplication app(toolkitArgc, argv);
    // Qt has taken its own options (-platform, -style and the like) out of its part.
    const gantrylux::CommandLine line = gantrylux::ParseCommandLine(arguments());
    if (const int code = Answer(line); code >= 0) {
        return code;
    }
    // One window per user: a later launch hands its paths, absolute since the running window
    // works in another folder, to that window and ends.
    gantrylux::HandOver mine{{}, line.notLocal};
    for (const std::string& path : line.paths) {
        mine.paths.push_back(gantrylux::AbsolutePath(path));
    }
    gantrylux::SingleInstance instance;
    switch (instance.claim(mine)) {
        case gantrylux::SingleInstance::Role::HandedOver:
            return 0;
        case gantrylux::SingleInstance::Role::Alone:
            std::fprintf(stderr, "gantrylux: %s; this window runs on its own\n",
                         qPrintable(instance.failure()));
            break;
        case gantrylux::SingleInstance::Role::First:
            break;
    }
    // Lets the desktop match the window to its launcher entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(GANTRYLUX_APP_ID));
    // The program's icon is compiled into the window's static library, whose resource setup
    // the linker would otherwise leave out.
    Q_INIT_RESOURCE(resources);
    gantrylux::QtSettingsStore store;
    gantrylux::QtDesktop desktop;
    const std::shared_ptr<const gantrylux::FileSystem> fs = gantrylux::MakeNativeFileSystem();
    const gantrylux::SystemClock clock;
    gantrylux::MainWindow window(desktop, store, fs, clock);
    desktop.setWindow(&window);
    window.mainForm().watchFolders(gantrylux::MakeNativeFolderWatch());
    window.mainForm().setCommandLinePaths(line.paths, line.notLocal);
    QObject::connect(&instance, &gantrylux::SingleInstance::handedOver, &window,
                     [&window](const gantrylux::HandOver& handOver) {
                         window.comeForward();
                         window.mainForm().commands().AddCommandLinePaths(handOver.paths, {},
                                                                          handOver.notLocal);
                     });
    if (const QString report = qEnvironmentVariable("GANTRYLUX_STARTUP_REPORT");
        !report.isEmpty()) {
        QObject::connect(&window, &gantrylux::MainWindow::startUpFinished, &window, [&, report] {
            WriteStartUpReport(report, window, desktop, *fs);
            QCoreApplication::exit(0);
        });
    }
    gantrylux::CloseOnTerminationSignals(window);
    window.show();
    const int code = QApplication::exec();
    if (!gantrylux::JoinWorkers(std::chrono::milliseconds(250))) {
        // A worker is stuck in a call on a share that does not answer, or still busy. Waiting
        // could take for ever, and the objects below may not go while it can still wake up and
        // use them: the folder list is stored, so the process ends here.
        std::fflush(nullptr);
        std::_Exit(code);
    }
    return code;
}
