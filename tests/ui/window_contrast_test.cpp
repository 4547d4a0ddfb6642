#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QImage>
#include <QLineEdit>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOption>
#include <QTreeView>
#include <map>
#include <string>
#include <vector>

#include "fakes/memory_settings_store.hpp"
#include "fakes/recording_desktop.hpp"
#include "folders/native_file_system.hpp"
#include "ui/main_window.hpp"
#include "ui/window_colours.hpp"

namespace gantrylux {
namespace {

// A dark colour scheme as a desktop hands it to the program: white text on dark faces.
QPalette DarkScheme() {
    QPalette dark(QColor(0x35, 0x35, 0x35), QColor(0x35, 0x35, 0x35));
    dark.setColor(QPalette::Base, QColor(0x2a, 0x2a, 0x2a));
    dark.setColor(QPalette::Highlight, QColor(0x2a, 0x82, 0xda));
    return dark;
}

// Where a control shows text, in the window's coordinates, as its style lays it out.
struct TextArea {
    std::string what;
    QRect rect;
};

std::vector<TextArea> TextAreas(const QWidget& window) {
    std::vector<TextArea> areas;
    const auto add = [&](const QWidget* widget, const QString& what, const QRect& local) {
        areas.push_back({what.toStdString(), local.translated(widget->mapTo(&window, QPoint()))});
    };
    for (const auto* button : window.findChildren<QAbstractButton*>()) {
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        QRect inside = button->rect().adjusted(4, 4, -4, -4);  // clear of the border
        if (qobject_cast<const QCheckBox*>(button) != nullptr) {
            inside = button->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, button);
        } else if (qobject_cast<const QRadioButton*>(button) != nullptr) {
            inside =
                button->style()->subElementRect(QStyle::SE_RadioButtonContents, &option, button);
        }
        add(button, button->objectName(), inside);
    }
    for (const auto* frame : window.findChildren<QGroupBox*>()) {
        QStyleOptionGroupBox option;
        option.initFrom(frame);
        option.text = frame->title();
        option.textAlignment = frame->alignment();
        option.lineWidth = 1;
        option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
        add(frame, frame->objectName() + " title",
            frame->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel,
                                           frame));
    }
    for (const auto* box : window.findChildren<QLineEdit*>()) {
        add(box, box->objectName(), box->rect().adjusted(4, 4, -4, -4));
    }
    for (const auto* list : window.findChildren<QTreeView*>()) {
        const QHeaderView* header = list->header();
        add(header, list->objectName() + " header",
            QRect(header->sectionViewportPosition(0), 0, header->sectionSize(0), header->height())
                .adjusted(3, 3, -3, -3));
        add(list->viewport(), list->objectName() + " row",
            list->visualRect(list->model()->index(0, 0)));
    }
    return areas;
}

// The text against its background, as drawn: the background is the area's commonest colour, the
// text the colour that stands out most from it.
struct Drawn {
    QColor background;
    QColor text;
    double contrast = 1;
};

Drawn TextAsDrawn(const QImage& shot, const QRect& area) {
    std::map<QRgb, int> counts;
    const QRect inside = area.intersected(shot.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            ++counts[shot.pixel(x, y)];
        }
    }
    Drawn drawn;
    int most = 0;
    for (const auto& [colour, count] : counts) {
        if (count > most) {
            most = count;
            drawn.background = QColor::fromRgb(colour);
        }
    }
    drawn.text = drawn.background;
    for (const auto& [colour, count] : counts) {
        if (const double contrast = ContrastRatio(drawn.background, QColor::fromRgb(colour));
            contrast > drawn.contrast) {
            drawn = {drawn.background, QColor::fromRgb(colour), contrast};
        }
    }
    return drawn;
}

// Every text of the window is read from a picture of the real controls, in the light and a dark
// scheme, with and without the skin, and with the scheme turned dark while the window is open.
TEST(WindowContrast, EveryTextReadsOnItsBackgroundInEveryScheme) {
    ASSERT_NEAR(ContrastRatio(QColor(0x77, 0x77, 0x77), Qt::white), 4.48, 0.01);
    const QPalette systemScheme = QApplication::palette();
    const struct {
        const char* scheme;
        bool dark;
        bool skin;
        bool darkWhileOpen;
    } cases[] = {
        {"light", false, false, false},
        {"light, skin", false, true, false},
        {"dark", true, false, false},
        {"dark, skin", true, true, false},
        {"turned dark while open", true, false, true},
        {"turned dark while open, skin", true, true, true},
    };
    for (const auto& c : cases) {
        QApplication::setPalette(systemScheme);
        if (c.dark && !c.darkWhileOpen) {
            QApplication::setPalette(DarkScheme());
        }
        testing::RecordingDesktop desktop;
        testing::MemorySettingsStore store;
        SystemClock clock;
        MainWindow window(desktop, store, MakeNativeFileSystem(), clock);
        if (c.skin) {
            window.applySkin(GANTRYLUX_ASSETS_DIR "/x/o.cjs");
        }
        window.mainForm().fileList().append("/home/alex/Music/song.mp3");
        window.mainForm().folderList().append("/home/alex/Pictures/");
        window.show();
        auto* files = window.findChild<QTreeView*>(QStringLiteral("ListView1"));
        files->setFocus();
        files->setCurrentIndex(files->model()->index(0, 0));  // a selected row
        if (c.darkWhileOpen) {
            QApplication::setPalette(DarkScheme());
        }
        QApplication::processEvents();

        const QImage shot = window.grab().toImage();
        const std::vector<TextArea> areas = TextAreas(window);
        EXPECT_EQ(areas.size(), 21U) << c.scheme;
        for (const TextArea& area : areas) {
            const Drawn drawn = TextAsDrawn(shot, area.rect);
            ::testing::Test::RecordProperty(std::string(c.scheme) + ": " + area.what,
                                            QString::number(drawn.contrast, 'f', 2).toStdString());
            EXPECT_GE(drawn.contrast, kReadableContrast)
                << c.scheme << ": " << area.what << ", " << drawn.text.name().toStdString()
                << " on " << drawn.background.name().toStdString();
        }
    }
    QApplication::setPalette(systemScheme);
}

}  // namespace
}  // namespace gantrylux
