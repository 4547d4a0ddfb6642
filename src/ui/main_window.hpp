#pragma once

#include <QCursor>
#include <QMargins>
#include <QWidget>
#include <map>
#include <memory>
#include <optional>
#include <string_view>

#include "app/main_form.hpp"
#include "ports/form.hpp"

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScreen;
class QTreeView;

namespace gantrylux {

class FileListDrag;
class PathListModel;
class SpokenStatus;

// The main window: its controls at their fixed places, and the glue from Qt's signals to the
// handlers of MainForm.
class MainWindow : public QWidget, public Form {
    Q_OBJECT
  public:
    MainWindow(Desktop& desktop, SettingsStore& store, std::shared_ptr<const FileSystem> fs,
               const Clock& clock);
    ~MainWindow() override;

    MainForm& mainForm() { return mainForm_; }
    // The hand over the push buttons and the pointer of a carried row, as loaded at start-up.
    const QCursor& handPointer() const { return customPointer_; }
    const QCursor& dragPointer() const;
    // Shown, restored from the task bar and activated: another launch asked for the window.
    void comeForward();

    // Form
    void setCaption(const std::string& caption) override;
    void showProgramIcon() override;
    void loadCustomPointer(const std::string& cursorPath) override;
    void applySkin(const std::string& skinPath) override;
    std::string startButtonCaption() const override;
    void setStartButtonCaption(const std::string& caption) override;
    void setStartButtonTip(const std::string& tip) override;
    void setPointer(WindowPointer pointer) override;
    void addColumn(ListId list, const std::string& heading) override;
    void setColumnWidth(ListId list, int column, int twips) override;
    bool endlessChecked() const override;
    void setEndlessChecked(bool checked) override;
    std::string intervalText() const override;
    void setIntervalText(const std::string& text) override;
    void focusIntervalText() override;
    std::optional<std::size_t> selectedRow(ListId list) const override;
    void selectRow(ListId list, std::size_t row) override;
    void announce(const std::string& text) override;
    DisplayOption displayOption() const override;
    void selectDisplayOption(DisplayOption option) override;

  signals:
    // The start-up merge and the command line's paths are done (or cut short by closing).
    void startUpFinished();

  protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void buildControls();
    void connectHandlers();
    void connectPointers();
    void connectMenus();
    void showRowMenu(class QTreeView* list, ListId id, QPoint at);
    void showOpenedMenu(QPoint at);
    void centreOnScreen();
    void layOut(double factor);
    void fitToScreen();
    void watchScreen(QScreen* screen);
    void keepInside(const QRect& workArea);
    QMargins frameMargins() const;
    void applyColours();
    void onFocusChanged(QWidget* old, QWidget* now);
    QTreeView* view(ListId list) const;
    PathListModel* model(ListId list) const;

    MainForm mainForm_;
    bool shown_ = false;
    // The share of its designed size the window is laid out at: 1 unless the screen is too small.
    double factor_ = 1;
    QMetaObject::Connection screenGeometryWatch_;
    QMetaObject::Connection screenDpiWatch_;
    // The skin's style sheet, kept to dress the window again when the colour scheme changes.
    std::optional<QString> skinSheet_;
    // Set while the window gives itself its colours, which sends it palette events of its own.
    bool colouring_ = false;
    // The interval box lost the focus and its check has not run yet.
    bool focusCheckPending_ = false;
    // The hand over the push buttons: the platform's own until the cursor file is loaded.
    QCursor customPointer_{Qt::PointingHandCursor};

    // The controls of the window's table, by name.
    std::map<std::string_view, QWidget*> controls_;
    QGroupBox* frame1_ = nullptr;
    QCheckBox* check3_ = nullptr;
    QGroupBox* frame2_ = nullptr;
    QLineEdit* text1_ = nullptr;
    QGroupBox* frame5_ = nullptr;
    QRadioButton* option1_ = nullptr;
    QRadioButton* option2_ = nullptr;
    QRadioButton* option3_ = nullptr;
    QButtonGroup* options_ = nullptr;
    QTreeView* listView1_ = nullptr;
    QTreeView* listView3_ = nullptr;
    PathListModel* fileModel_ = nullptr;
    PathListModel* folderModel_ = nullptr;
    FileListDrag* fileListDrag_ = nullptr;
    QPushButton* pushButton1_ = nullptr;
    QPushButton* pushButton4_ = nullptr;
    QPushButton* pushButton2_ = nullptr;
    QPushButton* pushButton3_ = nullptr;
    QPushButton* pushButton5_ = nullptr;
    QPushButton* pushButton15_ = nullptr;
    QPushButton* pushButton21_ = nullptr;
    QPushButton* pushButton6_ = nullptr;
    QPushButton* pushButton7_ = nullptr;
    SpokenStatus* runStatus_ = nullptr;
};

}  // namespace gantrylux
