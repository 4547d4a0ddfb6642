// The window's colours and its skin.
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QRadioButton>
#include <stdexcept>
#include <utility>

#include "ui/main_window.hpp"
#include "ui/window_colours.hpp"

namespace gantrylux {

// The skin's colours: the window and its plain controls take the button face, then the style
// sheet dresses the whole window.
void MainWindow::applySkin(const std::string& skinPath) {
    QFile file(QString::fromStdString(skinPath));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        throw std::runtime_error("Cannot read the skin " + skinPath + ": " +
                                 file.errorString().toStdString());
    }
    skinSheet_ = QString::fromUtf8(file.readAll());
    applyColours();
}

// The window paints its own faces, so it gives every colour that lies on them too: white faces
// with black text, or with the skin the system's button face with text readable on it. Message
// boxes and dialogs are windows of their own and keep the user's scheme.
void MainWindow::applyColours() {
    if (std::exchange(colouring_, true)) {
        return;
    }
    if (!skinSheet_) {
        setPalette(WhiteFacePalette());
    } else {
        const QPalette system = QApplication::palette();
        const QPalette face =
            FacePalette(system.color(QPalette::Button), system.color(QPalette::ButtonText));
        // The sheet comes off while the colours change: the controls it dresses take no
        // palette of their parent's, and its rules for a dark face are chosen as it goes on.
        setStyleSheet(QString());
        setProperty("darkFace", IsDarkFace(face.color(QPalette::Window)));
        for (QWidget* widget : {static_cast<QWidget*>(this), static_cast<QWidget*>(frame1_),
                                static_cast<QWidget*>(check3_), static_cast<QWidget*>(frame2_),
                                static_cast<QWidget*>(frame5_), static_cast<QWidget*>(option3_),
                                static_cast<QWidget*>(option2_), static_cast<QWidget*>(option1_)}) {
            widget->setPalette(face);
            widget->setAutoFillBackground(true);
        }
        setStyleSheet(*skinSheet_);
    }
    colouring_ = false;
}

// A change of the user's colour scheme reaches the window as a new application palette or
// theme: the skin's face follows it. The window's own palette sets every role, so no scheme's
// colour reaches the white faces in the first place.
bool MainWindow::event(QEvent* event) {
    const bool handled = QWidget::event(event);
    if (event->type() == QEvent::ApplicationPaletteChange || event->type() == QEvent::ThemeChange) {
        applyColours();
    }
    return handled;
}

}  // namespace gantrylux
