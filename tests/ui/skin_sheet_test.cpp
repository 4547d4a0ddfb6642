#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QFont>
#include <QImage>
#include <QPushButton>
#include <QStringList>
#include <QTreeView>
#include <memory>
#include <vector>

#include "fakes/memory_settings_store.hpp"
#include "fakes/recording_desktop.hpp"
#include "folders/native_file_system.hpp"
#include "ui/main_window.hpp"

namespace gantrylux {
namespace {

// Qt reports a style sheet it cannot read only as a warning while it styles a widget.
QStringList gParseWarnings;

void CatchParseWarnings(QtMsgType, const QMessageLogContext&, const QString& message) {
    if (message.contains(QLatin1String("Could not parse"))) {
        gParseWarnings.append(message);
    }
}

// Gives the sheet to the widget, styles it and all its children, and returns Qt's complaints.
QStringList ParseWarningsOf(QWidget& widget, const QString& sheet) {
    gParseWarnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler(CatchParseWarnings);
    widget.setStyleSheet(sheet);
    widget.show();
    widget.ensurePolished();
    for (QWidget* child : widget.findChildren<QWidget*>()) {
        child->ensurePolished();
    }
    QApplication::processEvents();
    qInstallMessageHandler(previous);
    return gParseWarnings;
}

QString SkinSheet() {
    QFile file(QStringLiteral(GANTRYLUX_ASSETS_DIR "/x/o.cjs"));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly | QIODevice::Text))
        << "missing " << GANTRYLUX_ASSETS_DIR;
    return QString::fromUtf8(file.readAll());
}

// The check itself: a broken sheet must be noticed, or a passing skin test proves nothing.
TEST(SkinSheetTest, ParseWarningsAreCaughtForBrokenSheetsOnly) {
    const struct {
        const char* sheet;
        bool broken;
    } cases[] = {
        {"QPushButton { color: red; }", false},
        {"QPushButton#PushButton2:hover { border: 1px solid #123456; }", false},
        {"QPushButton { color: red; ", true},
        {"QPushButton color: red; }", true},
        {"QGroupBox::title { subcontrol-origin: margin; } }", true},
    };
    for (const auto& c : cases) {
        QWidget widget;
        QPushButton button(QStringLiteral("x"), &widget);
        EXPECT_EQ(!ParseWarningsOf(widget, QString::fromLatin1(c.sheet)).isEmpty(), c.broken)
            << c.sheet;
    }
}

class SkinOnWindowTest : public ::testing::Test {
  protected:
    testing::RecordingDesktop desktop;
    testing::MemorySettingsStore store;
    std::shared_ptr<FileSystem> fs = MakeNativeFileSystem();
    SystemClock clock;
    MainWindow window{desktop, store, fs, clock};
};

TEST_F(SkinOnWindowTest, TheSkinParsesAndLeavesFontsAndPlacesAlone) {
    const QString sheet = SkinSheet();
    ASSERT_FALSE(sheet.trimmed().isEmpty());
    EXPECT_FALSE(sheet.contains(QLatin1String("font-family")));
    EXPECT_FALSE(sheet.contains(QLatin1String("font-size")));

    struct Before {
        QWidget* widget;
        QFont font;
        QRect geometry;
    };
    std::vector<Before> before;
    // The window's own controls; Qt's inner parts (viewports, headers) may well move.
    for (QWidget* child : window.findChildren<QWidget*>()) {
        const QString name = child->objectName();
        if (!name.isEmpty() && !name.startsWith(QLatin1String("qt_"))) {
            before.push_back({child, child->font(), child->geometry()});
        }
    }
    ASSERT_GT(before.size(), 10U);

    EXPECT_EQ(ParseWarningsOf(window, sheet), QStringList());
    for (const Before& b : before) {
        EXPECT_EQ(b.widget->font(), b.font) << b.widget->objectName().toStdString();
        EXPECT_EQ(b.widget->geometry(), b.geometry) << b.widget->objectName().toStdString();
    }
}

// The rules name the start button: renaming it would quietly unskin it.
TEST_F(SkinOnWindowTest, TheNamedRulesReachTheStartButton) {
    ASSERT_EQ(ParseWarningsOf(window, SkinSheet()), QStringList());
    auto* start = window.findChild<QPushButton*>(QStringLiteral("PushButton2"));
    auto* other = window.findChild<QPushButton*>(QStringLiteral("PushButton1"));
    ASSERT_NE(start, nullptr);
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(start->palette().color(QPalette::ButtonText), QColor(Qt::white));
    EXPECT_NE(other->palette().color(QPalette::ButtonText), QColor(Qt::white));
    auto* list = window.findChild<QTreeView*>(QStringLiteral("ListView1"));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->palette().color(QPalette::Base), QColor(Qt::white));
}

// A check box or option button draws its box from these colours: see-through ones hide it.
TEST_F(SkinOnWindowTest, IndicatorsKeepOpaqueColours) {
    ASSERT_EQ(ParseWarningsOf(window, SkinSheet()), QStringList());
    for (const char* name : {"Check3", "Option1", "Option2", "Option3"}) {
        auto* button = window.findChild<QAbstractButton*>(QString::fromLatin1(name));
        ASSERT_NE(button, nullptr) << name;
        EXPECT_EQ(button->palette().color(QPalette::Window).alpha(), 255) << name;
        EXPECT_EQ(button->palette().color(QPalette::Base).alpha(), 255) << name;
    }
}

// Where each plain control shows its own background: a corner clear of its text, box and border.
TEST_F(SkinOnWindowTest, TheShippedSkinLeavesTheButtonFaceShowing) {
    window.applySkin(GANTRYLUX_ASSETS_DIR "/x/o.cjs");
    window.show();
    const QImage shot = window.grab().toImage();
    const QColor face = QApplication::palette().color(QPalette::Button);
    for (const char* name :
         {"Frame1", "Frame2", "Frame5", "Check3", "Option1", "Option2", "Option3"}) {
        auto* widget = window.findChild<QWidget*>(QString::fromLatin1(name));
        ASSERT_NE(widget, nullptr) << name;
        const bool frame = QString::fromLatin1(name).startsWith(QLatin1String("Frame"));
        const QPoint inside = frame ? QPoint(widget->width() - 8, widget->height() - 8)
                                    : QPoint(1, widget->height() - 1);
        EXPECT_EQ(shot.pixelColor(widget->mapTo(&window, inside)).name().toStdString(),
                  face.name().toStdString())
            << name;
    }
    EXPECT_EQ(shot.pixelColor(2, 2).name().toStdString(), face.name().toStdString())
        << "the window";
}

}  // namespace
}  // namespace gantrylux
