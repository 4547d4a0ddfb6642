#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QInputDialog>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <set>

#include "app/access_keys.hpp"
#include "fakes/memory_settings_store.hpp"
#include "fakes/temp_tree.hpp"
#include "folders/native_file_system.hpp"
#include "ui/main_window.hpp"
#include "ui/qt_desktop.hpp"
#include "ui/settle.hpp"

namespace gantrylux {
namespace {

// The real desktop with its own event loops, but nothing is opened and no box is shown: a box
// says no, and the samples come from a folder of the test's.
class KeyboardDesktop : public QtDesktop {
  public:
    std::string shellOpen(const std::string& path, int) override {
        opened.push_back(path);
        return {};
    }
    int messageBox(const std::string& text, int, const std::string&) override {
        boxes.push_back(text);
        return 7;  // No
    }
    std::string programFolder() const override { return folder; }

    std::string folder;
    std::vector<std::string> opened;
    std::vector<std::string> boxes;
};

class KeyboardTest : public ::testing::Test {
  protected:
    KeyboardTest() {
        tree.file("Samples/one.txt");
        tree.file("Samples/two.txt");
        desktop.folder = tree.path("");
        desktop.setWindow(&window);
        window.show();
        window.activateWindow();
        testing::Settle(desktop);
    }

    QWidget* control(std::string_view name) {
        return window.findChild<QWidget*>(QString::fromUtf8(name.data(), qsizetype(name.size())));
    }
    QString spoken() {
        return QAccessible::queryAccessibleInterface(
                   window.findChild<QLabel*>(QStringLiteral("RunStatus")))
            ->text(QAccessible::Name);
    }
    static void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), modifiers);
    }

    testing::TempTree tree;
    KeyboardDesktop desktop;
    testing::MemorySettingsStore store;
    SystemClock clock;
    MainWindow window{desktop, store, MakeNativeFileSystem(), clock};
};

// What a screen reader says for each control, and the letter that reaches it with Alt.
TEST_F(KeyboardTest, EveryControlHasItsOwnNameAndEveryCommandItsAccessKey) {
    std::set<QString> names;
    for (const ControlLayout& c : kWindowLayout) {
        if (c.kind == ControlKind::Frame) {
            continue;
        }
        QAccessibleInterface* spokenAs = QAccessible::queryAccessibleInterface(control(c.name));
        const QString name = spokenAs->text(QAccessible::Name);
        EXPECT_EQ(name.toStdString(), AccessibleName(c)) << c.name;
        EXPECT_TRUE(names.insert(name).second) << c.name;
        if (auto* button = qobject_cast<QAbstractButton*>(control(c.name))) {
            EXPECT_EQ(QKeySequence::mnemonic(button->text()),
                      QKeySequence(Qt::ALT | Qt::Key(c.accessKey)))
                << c.name;
        }
    }
}

TEST_F(KeyboardTest, AltAndF1ReachTheirCommandsAndDeleteCanBePressedAgain) {
    control("ListView1")->setFocus();
    press(Qt::Key_F1);
    press(Qt::Key_H, Qt::AltModifier);  // an access key clicks the button a moment later
    ASSERT_TRUE(QTest::qWaitFor([&] { return desktop.boxes.size() == 2; }));
    EXPECT_EQ(desktop.boxes[0], desktop.boxes[1]);
    EXPECT_EQ(desktop.boxes[0].rfind("Questions?", 0), 0u);

    window.mainForm().fileList().append(std::vector<std::string>{"/a", "/b", "/c"});
    auto* files = static_cast<QTreeView*>(control("ListView1"));
    files->setFocus();
    press(Qt::Key_Down);  // the first row
    press(Qt::Key_Delete);
    press(Qt::Key_Delete);
    EXPECT_EQ(window.mainForm().fileList().texts(), std::vector<std::string>{"/c"});
}

// Samples in, interval 0, endless, start, and Esc: with keys alone, as a keyboard user would.
TEST_F(KeyboardTest, AKeyboardUserRunsAndStopsWithKeysAlone) {
    control("ListView1")->setFocus();
    press(Qt::Key_L, Qt::AltModifier);
    ASSERT_TRUE(QTest::qWaitFor([&] { return desktop.boxes.size() == 1; }));  // the question

    ASSERT_EQ(window.mainForm().fileList().count(), 2u);
    while (QApplication::focusWidget() != control("Text1")) {
        press(Qt::Key_Tab);
    }
    press(Qt::Key_A, Qt::ControlModifier);
    press(Qt::Key_0);
    press(Qt::Key_Y, Qt::AltModifier);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.endlessChecked(); }));

    QTimer escape;
    QObject::connect(&escape, &QTimer::timeout, [&] {
        if (desktop.opened.size() >= 3) {
            escape.stop();
            press(Qt::Key_Escape);
        }
    });
    escape.start(0);
    QTimer::singleShot(10000, &window, [&] { window.close(); });  // should Esc not stop it
    press(Qt::Key_T, Qt::AltModifier);
    // The whole run, Esc included, runs within the click that follows the key.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return !desktop.opened.empty() && window.startButtonCaption() == "Start Opening"; }));
    EXPECT_TRUE(window.isVisible());
    EXPECT_GE(desktop.opened.size(), 3u);
    EXPECT_EQ(spoken(), "Opening has ended.");
}

}  // namespace
}  // namespace gantrylux
