#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QGroupBox>
#include <QImage>
#include <QMouseEvent>
#include <QPushButton>
#include <QTemporaryDir>

#include "fakes/memory_settings_store.hpp"
#include "fakes/recording_desktop.hpp"
#include "folders/native_file_system.hpp"
#include "ui/cursor_file.hpp"
#include "ui/main_window.hpp"

namespace gantrylux {
namespace {

class PresentationTest : public ::testing::Test {
  protected:
    PresentationTest() { window.show(); }

    void mouse(QWidget* widget, QEvent::Type type, QPoint at, Qt::MouseButtons held) {
        QMouseEvent event(type, at, widget->mapToGlobal(at),
                          type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, held,
                          Qt::NoModifier);
        QApplication::sendEvent(widget, &event);
    }

    testing::RecordingDesktop desktop;
    testing::MemorySettingsStore store;
    std::shared_ptr<FileSystem> fs = MakeNativeFileSystem();
    SystemClock clock;
    MainWindow window{desktop, store, fs, clock};
};

TEST_F(PresentationTest, TheHandShowsOverButtonsButNeverOverTheHourglass) {
    auto* button = window.findChild<QPushButton*>(QStringLiteral("PushButton1"));
    auto* frame = window.findChild<QGroupBox*>(QStringLiteral("Frame1"));
    mouse(button, QEvent::MouseMove, {5, 5}, Qt::NoButton);
    EXPECT_EQ(window.cursor().shape(), Qt::PointingHandCursor);
    mouse(frame, QEvent::MouseMove, {5, 5}, Qt::NoButton);
    EXPECT_EQ(window.cursor().shape(), Qt::ArrowCursor);
    BusyGuard busy(window.mainForm().busy());
    mouse(button, QEvent::MouseMove, {5, 5}, Qt::NoButton);
    EXPECT_EQ(window.cursor().shape(), Qt::WaitCursor);
}

TEST_F(PresentationTest, TheSkinGivesTheButtonFaceAndDressesTheWindow) {
    QTemporaryDir dir;
    const QString skin = dir.filePath(QStringLiteral("o.cjs"));
    QFile file(skin);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("QPushButton { border-radius: 4px; }");
    file.close();
    window.applySkin(skin.toStdString());
    const QColor face = QApplication::palette().color(QPalette::Button);
    for (const char* name : {"Form1", "Frame1", "Check3", "Option2"}) {
        QWidget* widget = QString(name) == "Form1" ? static_cast<QWidget*>(&window)
                                                   : window.findChild<QWidget*>(name);
        EXPECT_EQ(widget->palette().color(QPalette::Window), face) << name;
    }
    EXPECT_EQ(window.styleSheet(), QStringLiteral("QPushButton { border-radius: 4px; }"));
    EXPECT_THROW(window.applySkin(dir.filePath(QStringLiteral("missing")).toStdString()),
                 std::runtime_error);
}

// A cursor file with one 2x2 entry whose image is `payload`.
std::string CursorBytes(int type, int hotX, int hotY, const std::string& payload, int offset = 22) {
    std::string bytes(22, '\0');
    bytes[2] = static_cast<char>(type);
    bytes[4] = 1;
    bytes[6] = 2;
    bytes[7] = 2;
    bytes[10] = static_cast<char>(hotX);
    bytes[12] = static_cast<char>(hotY);
    bytes[14] = static_cast<char>(payload.size());
    bytes[18] = static_cast<char>(offset);
    return bytes + payload;
}

TEST(CursorFile, TheHotSpotAndImageComeFromTheDirectory) {
    const std::string cursorBytes = CursorBytes(2, 1, 0, "PNGDATA");  // the image points into it
    const auto cursor = ReadCursorFile(cursorBytes);
    ASSERT_TRUE(cursor);
    EXPECT_EQ(cursor->hotspotX, 1);
    EXPECT_EQ(cursor->hotspotY, 0);
    EXPECT_EQ(cursor->imageBytes, "PNGDATA");
    const std::string iconBytes = CursorBytes(1, 7, 7, "PNGDATA");
    const auto icon = ReadCursorFile(iconBytes);
    ASSERT_TRUE(icon);
    EXPECT_EQ(icon->hotspotX, 1);  // an icon's hot spot is its centre
    for (const std::string& bad : {std::string("short"), CursorBytes(3, 0, 0, "x"),
                                   CursorBytes(2, 2, 0, "x"), CursorBytes(2, 0, 0, "x", 200)}) {
        EXPECT_FALSE(ReadCursorFile(bad)) << bad.size();
    }
#ifdef GANTRYLUX_ASSETS_DIR
    QFile hand(QStringLiteral(GANTRYLUX_ASSETS_DIR "/HAND-M.CUR"));
    ASSERT_TRUE(hand.open(QIODevice::ReadOnly));
    const QByteArray bytes = hand.readAll();
    const auto ours = ReadCursorFile(std::string_view(bytes.constData(), bytes.size()));
    ASSERT_TRUE(ours);
    EXPECT_EQ(ours->width, 32);
    EXPECT_LT(ours->hotspotY, 6);  // on the fingertip, at the top
    EXPECT_FALSE(QImage::fromData(reinterpret_cast<const uchar*>(ours->imageBytes.data()),
                                  static_cast<int>(ours->imageBytes.size()))
                     .isNull());
#endif
}

// The same drawings in the shipped PNG form and in the classic bitmap form (a paletted
// cursor with its mask, an icon with alpha) must make the same pointer.
TEST(CursorFile, TheClassicBitmapFormLoadsAsThePngFormDoes) {
    for (const char* name : {"HAND-M.CUR", "drag.ico"}) {
        const QString file = QString::fromLatin1(name);
        const QCursor png = LoadCursorFile(QStringLiteral(GANTRYLUX_ASSETS_DIR "/") + file);
        QCursor classic;
        ASSERT_NO_THROW(classic =
                            LoadCursorFile(QStringLiteral(GANTRYLUX_TEST_DATA_DIR "/") + file))
            << name;
        const auto pixels = [](const QCursor& cursor) {
            return cursor.pixmap().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
        };
        EXPECT_EQ(pixels(classic).size(), QSize(32, 32)) << name;
        EXPECT_EQ(pixels(classic), pixels(png)) << name;
        EXPECT_EQ(classic.hotSpot(), png.hotSpot()) << name;
    }
}

}  // namespace
}  // namespace gantrylux
