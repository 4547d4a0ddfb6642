#include <QApplication>
#include <cstdio>
#include <cstdlib>

#include "folders/native_file_system.hpp"
#include "ui/main_window.hpp"
#include "ui/qt_desktop.hpp"
#include "ui/qt_settings_store.hpp"

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

}  // namespace

int main(int argc, char* argv[]) {
    if (DisplayMissing()) {
        std::fputs(
            "gantrylux: no display (neither DISPLAY nor WAYLAND_DISPLAY is set); "
            "on a machine without a screen, run: xvfb-run -a make run\n",
            stderr);
        return 2;
    }
    QApplication app(argc, argv);
    // The program's icon is compiled into the window's static library, whose resource setup
    // the linker would otherwise leave out.
    Q_INIT_RESOURCE(resources);
    gantrylux::QtSettingsStore store;
    gantrylux::QtDesktop desktop;
    const auto fs = gantrylux::MakeNativeFileSystem();
    const gantrylux::SystemClock clock;
    gantrylux::MainWindow window(desktop, store, *fs, clock);
    desktop.setWindow(&window);
    window.show();
    return QApplication::exec();
}
