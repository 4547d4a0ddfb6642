#include "ui/qt_desktop.hpp"

#include <QEventLoop>
#include <QMessageBox>
#include <QString>
#include <exception>
#include <thread>

#include "app/product.hpp"

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
    box.setWindowTitle(
        QString::fromStdString(title.empty() ? std::string(kApplicationTitle) : title));
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

void QtDesktop::runInBackground(const std::function<void(std::stop_token)>& job) {
    QEventLoop loop;
    std::exception_ptr failure;
    {
        std::jthread worker([&](std::stop_token stop) {
            try {
                job(stop);
            } catch (...) {
                failure = std::current_exception();
            }
            // Queued: the quit arrives through the loop even if the job ends before it runs.
            QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
        });
        loop.exec();
    }
    if (failure) {
        std::rethrow_exception(failure);
    }
}

}  // namespace gantrylux
