#include "ui/qt_desktop.hpp"

#include <QClipboard>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QGuiApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <system_error>

#include "base/product.hpp"
#include "folders/absolute_path.hpp"
#include "ports/worker_job.hpp"
#include "run/shell_execute_arguments.hpp"

#ifdef Q_OS_WIN
#include <shellapi.h>
#include <windows.h>
#else
#include "ui/detached_spawn.hpp"
#endif

namespace gantrylux {
namespace {

// Message texts break lines with CR LF or a bare CR, as the Windows box shows them; Qt's
// labels only break at LF.
QString DisplayText(const std::string& text) {
    QString shown = QString::fromStdString(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}

}  // namespace

int QtDesktop::messageBox(const std::string& text, int style, const std::string& title) {
    QMessageBox box(window_);
    box.setWindowTitle(QString::fromStdString(title.empty() ? title_ : title));
    box.setText(DisplayText(text));
    box.setTextFormat(Qt::PlainText);
    if ((style & 0x70) == message_style::kExclamation) {
        box.setIcon(QMessageBox::Warning);
    }
    if ((style & 0x0F) == message_style::kYesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    switch (box.exec()) {
        case QMessageBox::Yes:
            return message_answer::kYes;
        case QMessageBox::No:
            return message_answer::kNo;
        default:
            return message_answer::kOk;
    }
}

namespace {

std::string ToText(const QString& text) {
    return text.toStdString();
}
QString FromText(const std::string& text) {
    return QString::fromStdString(text);
}

std::string NativePath(const QString& path) {
    return ToText(QDir::toNativeSeparators(path));
}

}  // namespace

std::vector<std::string> QtDesktop::openFiles(const std::string& title) {
    // The filter must take names without a dot too, so it matches "*", not "*.*". Qt takes a
    // filter's patterns from its last parentheses, and hiding the details cuts those off the
    // text: the dialog shows "All Files (*.*)" and matches "*".
    const QStringList picked = QFileDialog::getOpenFileNames(
        window_, FromText(title), QString(), QStringLiteral("All Files (*.*) (*)"), nullptr,
        QFileDialog::HideNameFilterDetails);
    std::vector<std::string> paths;
    for (const QString& path : picked) {
        paths.push_back(NativePath(path));
    }
    return paths;
}

std::string QtDesktop::inputBox(const std::string& prompt, const std::string& proposal) {
    bool accepted = false;
    const QString answer = QInputDialog::getText(window_, FromText(title_), DisplayText(prompt),
                                                 QLineEdit::Normal, FromText(proposal), &accepted);
    return accepted ? ToText(answer) : std::string();
}

std::string QtDesktop::browseForFolder(const std::string& title, const std::string& startFolder) {
    const QString chosen =
        QFileDialog::getExistingDirectory(window_, FromText(title), FromText(startFolder));
    return chosen.isEmpty() ? std::string() : NativePath(chosen);
}

std::string QtDesktop::programFolder() const {
    return NativePath(QCoreApplication::applicationDirPath());
}

QtDesktop::QtDesktop()
    : jobs_([this] {
          QMetaObject::invokeMethod(
              &eventTarget_, [this] { jobs_.deliver(); }, Qt::QueuedConnection);
      }) {}

void QtDesktop::startInBackground(std::function<void()> job,
                                  std::function<void(std::exception_ptr)> finished) {
    jobs_.start(std::move(job), std::move(finished));
}

// Sleeps in an event loop until the deadline: events are handled as they come, and the timer
// ends the loop once the deadline has passed, also when a handler ran past it.
void QtDesktop::waitForEvents(std::chrono::steady_clock::time_point deadline) {
    using std::chrono::milliseconds;
    const auto remaining =
        std::chrono::ceil<milliseconds>(deadline - std::chrono::steady_clock::now());
    if (closing_ || remaining <= milliseconds::zero()) {
        return;
    }
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    timer.start(static_cast<int>(std::min<milliseconds::rep>(remaining.count(), INT_MAX)));
    loop.exec();
}

void QtDesktop::processPendingEvents() {
    QCoreApplication::processEvents();
}

std::string QtDesktop::shellOpen(const std::string& path, int showCommand) {
#ifdef Q_OS_WIN
    const ShellExecuteArguments a = MakeShellExecuteArguments(path, showCommand);
    const auto wide = [](const std::u16string& text) {
        return reinterpret_cast<const wchar_t*>(text.c_str());
    };
    ShellExecuteW(window_ ? reinterpret_cast<HWND>(window_->winId()) : nullptr, nullptr,
                  wide(a.file), nullptr, wide(a.directory), a.showCommand);
    return {};
#else
    (void)showCommand;  // desktops here have no say in the window state of another program
    // The path goes to xdg-open as one argument with its bytes as they are, never through a
    // shell or a text conversion: a name that is not UTF-8 must not become a look-alike. A
    // relative path that begins with "-" would read as an option.
    const std::string argument = path.starts_with('-') ? "./" + path : path;
    const int error = SpawnDetached("xdg-open", {argument});
    if (error == 0) {
        return {};
    }
    const std::string reason =
        error == ENOENT || error == EACCES
            ? "it is not on the PATH, or not executable. Install the package xdg-utils"
            : std::generic_category().message(error);
    return "Files cannot be opened: xdg-open, which opens each file with its default "
           "application, cannot be started: " +
           reason + ".";
#endif
}

// The file manager's own call (org.freedesktop.FileManager1 ShowItems), without waiting for its
// answer: a file manager that hangs holds nothing up. Without a session bus, or when no file
// manager answers, the row's folder is opened instead. Both keep the path's bytes, which need
// not be UTF-8: the URL percent-encodes them, and the folder is cut from them.
void QtDesktop::showInFolder(const std::string& path) {
    const std::string file = AbsolutePath(path);
    const std::size_t slash = file.rfind('/');
    const std::string folder = slash == std::string::npos ? "."
                               : slash == 0               ? "/"
                                                          : file.substr(0, slash);
    const auto openFolder = [this, folder] { (void)shellOpen(folder, 1); };
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        openFolder();
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"),
        QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
    const QByteArray url =
        "file://" + QByteArray::fromStdString(file).toPercentEncoding("/!$&'()*+,;=:@");
    call << QStringList{QString::fromLatin1(url)} << QString();
    auto* answer = new QDBusPendingCallWatcher(bus.asyncCall(call, 10'000), &eventTarget_);
    QObject::connect(answer, &QDBusPendingCallWatcher::finished, &eventTarget_,
                     [answer, openFolder] {
                         if (answer->isError()) {
                             openFolder();
                         }
                         answer->deleteLater();
                     });
}

void QtDesktop::copyText(const std::string& text) {
    QGuiApplication::clipboard()->setText(QString::fromUtf8(text.data(), qsizetype(text.size())));
}

// Every event loop, nested waits included, returns once the program is closing.
void QtDesktop::closeProgram() {
    closing_ = true;
    jobs_.close();
    QCoreApplication::exit(0);
}

}  // namespace gantrylux
