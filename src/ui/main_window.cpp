#include "ui/main_window.hpp"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QIcon>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShortcut>
#include <QShowEvent>
#include <QTreeView>
#include <QWindow>
#include <limits>
#include <map>
#include <string_view>
#include <utility>

#include "app/access_keys.hpp"
#include "app/window_layout.hpp"
#include "ui/cursor_file.hpp"
#include "ui/file_list_drag.hpp"
#include "ui/list_view_events.hpp"
#include "ui/path_list_model.hpp"
#include "ui/pointer_events.hpp"
#include "ui/scaled_layout.hpp"
#include "ui/spoken_status.hpp"
#include "ui/twips.hpp"

namespace gantrylux {
namespace {

const QString kFileListToolTip = QStringLiteral(
    "Drag and drop files here. Double-click item to remove it. Move | line to right and out of "
    "window to reveal full names.");

QString FromView(std::string_view text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

// A control of the window's table, in its frame when it has one; layOut places it. Its access
// key is underlined in its caption; where the caption does not say what the control is, a
// screen reader gets the table's name for it.
QWidget* MakeControl(const ControlLayout& c, QWidget* parent) {
    QWidget* widget = nullptr;
    const QString caption = QString::fromStdString(CaptionWithAccessKey(c.caption, c.accessKey));
    switch (c.kind) {
        case ControlKind::List:
            widget = new QTreeView(parent);
            break;
        case ControlKind::PushButton:
            widget = new QPushButton(caption, parent);
            break;
        case ControlKind::TextBox:
            widget = new QLineEdit(caption, parent);
            break;
        case ControlKind::Option:
            widget = new QRadioButton(caption, parent);
            break;
        case ControlKind::CheckBox:
            widget = new QCheckBox(caption, parent);
            break;
        case ControlKind::Frame:
            widget = new QGroupBox(caption, parent);
            break;
    }
    widget->setObjectName(FromView(c.name));
    if (!c.accessibleName.empty()) {
        widget->setAccessibleName(FromView(c.accessibleName));
    }
    return widget;
}

void SetUpList(QTreeView* list, PathListModel* model) {
    list->setRootIsDecorated(false);
    list->setItemsExpandable(false);
    list->setUniformRowHeights(true);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    list->header()->setStretchLastSection(false);
    list->header()->setSectionsMovable(false);
    list->header()->setMinimumSectionSize(0);
    list->setModel(model);
}

// The pointer shown while a row of the file list is carried: "drag.ico" beside the program,
// or the platform's up-and-down arrow.
QCursor DragCursor() {
    try {
        return LoadCursorFile(QCoreApplication::applicationDirPath() + QStringLiteral("/drag.ico"));
    } catch (const std::runtime_error&) {
        return QCursor(Qt::SizeVerCursor);
    }
}

}  // namespace

MainWindow::MainWindow(Desktop& desktop, SettingsStore& store, std::shared_ptr<const FileSystem> fs,
                       const Clock& clock)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                           Qt::WindowCloseButtonHint),
      mainForm_(*this, desktop, store, std::move(fs), clock) {
    setObjectName(QStringLiteral("Form1"));
    applyColours();
    setAutoFillBackground(true);

    buildControls();
    const QScreen* on = screen();
    layOut(on != nullptr ? FitFactor(on->availableGeometry().size(), kFrameEstimate) : 1);
    connectHandlers();
    connectPointers();
    connectMenus();
    mainForm_.Form_Load();
    centreOnScreen();
}

// Child widgets lose the focus while QWidget's destructor runs, after this class is gone; and the
// models and the file list's drag use the lists of mainForm_, which goes before QWidget deletes
// its children.
MainWindow::~MainWindow() {
    disconnect(qApp, &QApplication::focusChanged, this, nullptr);
    delete fileListDrag_;
    delete fileModel_;
    delete folderModel_;
}

// The controls of the window's table: the frames first, as the parents of what sits in them;
// the tab order is the table's.
void MainWindow::buildControls() {
    std::map<std::string_view, QWidget*>& made = controls_;
    for (const bool frames : {true, false}) {
        for (const ControlLayout& c : kWindowLayout) {
            if ((c.kind == ControlKind::Frame) != frames) {
                continue;
            }
            made[c.name] = MakeControl(c, c.frame.empty() ? this : made.at(c.frame));
        }
    }
    const auto control = [&made]<typename Widget>(Widget*& member, std::string_view name) {
        member = static_cast<Widget*>(made.at(name));
    };
    control(frame1_, "Frame1");
    control(frame2_, "Frame2");
    control(frame5_, "Frame5");
    control(check3_, "Check3");
    control(text1_, "Text1");
    control(option1_, "Option1");
    control(option2_, "Option2");
    control(option3_, "Option3");
    control(listView1_, "ListView1");
    control(listView3_, "ListView3");
    control(pushButton1_, "PushButton1");
    control(pushButton4_, "PushButton4");
    control(pushButton2_, "PushButton2");
    control(pushButton3_, "PushButton3");
    control(pushButton5_, "PushButton5");
    control(pushButton15_, "PushButton15");
    control(pushButton21_, "PushButton21");
    control(pushButton6_, "PushButton6");
    control(pushButton7_, "PushButton7");

    // The box would cut a longer stored text at 32,767 characters, and with it its meaning.
    text1_->setMaxLength(std::numeric_limits<int>::max());
    option1_->setChecked(true);
    options_ = new QButtonGroup(this);
    options_->addButton(option1_, static_cast<int>(DisplayOption::Normal));
    options_->addButton(option2_, static_cast<int>(DisplayOption::Maximized));
    options_->addButton(option3_, static_cast<int>(DisplayOption::Minimized));
    option2_->setFocusPolicy(Qt::ClickFocus);
    option3_->setFocusPolicy(Qt::ClickFocus);

    fileModel_ = new PathListModel(mainForm_.fileList(), this);
    fileModel_->setToolTip(kFileListToolTip);
    SetUpList(listView1_, fileModel_);
    listView1_->setToolTip(kFileListToolTip);
    folderModel_ = new PathListModel(mainForm_.folderList(), this);
    SetUpList(listView3_, folderModel_);
    runStatus_ = new SpokenStatus(this);

    QWidget* previous = nullptr;
    for (const ControlLayout& c : kWindowLayout) {
        if (c.kind == ControlKind::Frame) {
            continue;
        }
        if (previous != nullptr) {
            setTabOrder(previous, made.at(c.name));
        }
        previous = made.at(c.name);
    }
}

void MainWindow::connectHandlers() {
    // Esc is "Stop" during a run wherever the focus is; F1 is "Help".
    connect(new QShortcut(Qt::Key_Escape, this), &QShortcut::activated, this,
            [this] { mainForm_.Form_EscapeKey(); });
    connect(new QShortcut(Qt::Key_F1, this), &QShortcut::activated, this,
            [this] { mainForm_.PushButton7_Click(); });
    connect(check3_, &QCheckBox::toggled, this, [this] { mainForm_.Check3_Click(); });
    connect(options_, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        // Only the selected option is a Tab stop; the arrow keys move between them.
        options_->button(id)->setFocusPolicy(checked ? Qt::StrongFocus : Qt::ClickFocus);
        if (checked) {
            mainForm_.Option_Click(static_cast<DisplayOption>(id));
        }
    });
    connect(text1_, &QLineEdit::textChanged, this, [this] { mainForm_.Text1_Change(); });
    connect(qApp, &QApplication::focusChanged, this, &MainWindow::onFocusChanged);
    connect(pushButton7_, &QPushButton::clicked, this, [this] { mainForm_.PushButton7_Click(); });
    connect(pushButton2_, &QPushButton::clicked, this, [this] { mainForm_.PushButton2_Click(); });

    ListCommands& commands = mainForm_.commands();
    const std::pair<QPushButton*, void (ListCommands::*)()> buttons[] = {
        {pushButton1_, &ListCommands::PushButton1_Click},
        {pushButton4_, &ListCommands::PushButton4_Click},
        {pushButton15_, &ListCommands::PushButton15_Click},
        {pushButton21_, &ListCommands::PushButton21_Click},
        {pushButton3_, &ListCommands::PushButton3_Click},
        {pushButton6_, &ListCommands::PushButton6_Click},
        {pushButton5_, &ListCommands::PushButton5_Click}};
    for (const auto& [button, handler] : buttons) {
        connect(button, &QPushButton::clicked, this, [&commands, h = handler] { (commands.*h)(); });
    }
    for (QPushButton* button :
         {pushButton1_, pushButton4_, pushButton2_, pushButton3_, pushButton5_, pushButton15_,
          pushButton21_, pushButton6_, pushButton7_}) {
        button->installEventFilter(this);
    }
    new ListViewEvents(listView1_, {[&commands] { commands.ListView1_DblClick(); },
                                    [&commands](int key) { commands.ListView1_KeyDown(key); },
                                    [&commands](const std::vector<std::string>& paths) {
                                        commands.ListView1_OLEDragDrop(paths);
                                    }});
    new ListViewEvents(listView3_, {[&commands] { commands.ListView3_DblClick(); },
                                    [&commands](int key) { commands.ListView3_KeyDown(key); },
                                    [&commands](const std::vector<std::string>& paths) {
                                        commands.ListView3_OLEDragDrop(paths);
                                    }});
}

void MainWindow::connectPointers() {
    auto* overButtons = new PointerEvents(this, [this] { mainForm_.PushButton_MouseMove(); });
    for (QPushButton* button :
         {pushButton1_, pushButton4_, pushButton2_, pushButton3_, pushButton5_, pushButton15_,
          pushButton21_, pushButton6_, pushButton7_}) {
        overButtons->watch(button);
    }
    auto* elsewhere = new PointerEvents(this, [this] { mainForm_.Form_MouseMove(); });
    for (QWidget* widget : {static_cast<QWidget*>(this), static_cast<QWidget*>(frame1_),
                            static_cast<QWidget*>(frame2_), static_cast<QWidget*>(frame5_),
                            listView3_->viewport(), listView1_->viewport()}) {
        elsewhere->watch(widget);
    }
    fileListDrag_ = new FileListDrag(listView1_, mainForm_.reorder(), DragCursor());
}

// The interval is checked only when the focus moves to another control of this window: a
// message box or another window taking the focus is no reason to complain, and the check's own
// message box would otherwise trigger it again.
void MainWindow::onFocusChanged(QWidget* old, QWidget* now) {
    if (old != text1_ || now == nullptr || now->window() != this) {
        return;
    }
    focusCheckPending_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (std::exchange(focusCheckPending_, false)) {
                mainForm_.Text1_LostFocus();
            }
        },
        Qt::QueuedConnection);
}

// A quick click on a button moves the focus and releases the button before the queued check
// of the interval runs, so the button's command would start first and the check's message
// would stack on the command's own. The press runs the check at once instead, and a check
// that complains swallows the click, as a slower click's release is swallowed by the message.
//
// Enter presses a focused button, as Space does: outside a dialog a button ignores it otherwise.
bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress && std::exchange(focusCheckPending_, false) &&
        !mainForm_.Text1_LostFocus()) {
        return true;
    }
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (auto* button = qobject_cast<QPushButton*>(watched);
            button != nullptr && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
            button->click();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

// The start-up merge waits until the window shows: a huge or looping folder tree would keep it
// from ever appearing. Queued, so the showing completes first; the merge runs on workers while
// the window serves the user.
void MainWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (std::exchange(shown_, true)) {
        return;
    }
    if (QWindow* handle = windowHandle()) {
        connect(handle, &QWindow::screenChanged, this, &MainWindow::watchScreen);
        watchScreen(handle->screen());
    }
    QMetaObject::invokeMethod(
        this, [this] { mainForm_.mergeAtStartUp([this] { emit startUpFinished(); }); },
        Qt::QueuedConnection);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    mainForm_.Form_QueryUnload();
    event->accept();
    mainForm_.Form_Unload();
}

void MainWindow::comeForward() {
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

const QCursor& MainWindow::dragPointer() const {
    return fileListDrag_->dragCursor();
}

QTreeView* MainWindow::view(ListId list) const {
    return list == ListId::Files ? listView1_ : listView3_;
}

PathListModel* MainWindow::model(ListId list) const {
    return list == ListId::Files ? fileModel_ : folderModel_;
}

void MainWindow::setCaption(const std::string& caption) {
    setWindowTitle(QString::fromStdString(caption));
}

std::string MainWindow::startButtonCaption() const {
    return CaptionWithoutAccessKey(pushButton2_->text().toStdString());
}

void MainWindow::setStartButtonCaption(const std::string& caption) {
    pushButton2_->setText(QString::fromStdString(
        CaptionWithAccessKey(caption, LaidOutControl("PushButton2").accessKey)));
}

void MainWindow::setStartButtonTip(const std::string& tip) {
    pushButton2_->setToolTip(QFile::decodeName(QByteArray::fromStdString(tip)));
}

void MainWindow::setPointer(WindowPointer pointer) {
    switch (pointer) {
        case WindowPointer::Hourglass:
            setCursor(Qt::WaitCursor);
            break;
        case WindowPointer::Custom:
            setCursor(customPointer_);
            break;
        case WindowPointer::Default:
            unsetCursor();
            break;
    }
}

void MainWindow::showProgramIcon() {
    setWindowIcon(QIcon(QStringLiteral(":/gantrylux.png")));
}

void MainWindow::loadCustomPointer(const std::string& cursorPath) {
    customPointer_ = LoadCursorFile(QString::fromStdString(cursorPath));
}

void MainWindow::addColumn(ListId list, const std::string& heading) {
    model(list)->addColumn(QString::fromStdString(heading));
}

// A column too narrow for a pixel is hidden, which also takes it out of what a screen reader
// reads as the list's columns.
void MainWindow::setColumnWidth(ListId list, int column, int twips) {
    const int pixels = TwipsToPixels(twips, factor_);
    view(list)->setColumnWidth(column - 1, pixels);
    view(list)->setColumnHidden(column - 1, pixels == 0);
}

bool MainWindow::endlessChecked() const {
    return check3_->isChecked();
}

void MainWindow::setEndlessChecked(bool checked) {
    check3_->setChecked(checked);
}

std::string MainWindow::intervalText() const {
    return text1_->text().toStdString();
}

void MainWindow::setIntervalText(const std::string& text) {
    text1_->setText(QString::fromStdString(text));
}

void MainWindow::focusIntervalText() {
    text1_->setFocus(Qt::OtherFocusReason);
}

std::optional<std::size_t> MainWindow::selectedRow(ListId list) const {
    const QModelIndex current = view(list)->selectionModel()->currentIndex();
    if (!current.isValid() || !view(list)->selectionModel()->isRowSelected(current.row())) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(current.row()) + 1;
}

void MainWindow::selectRow(ListId list, std::size_t row) {
    QTreeView* rows = view(list);
    rows->selectionModel()->setCurrentIndex(
        rows->model()->index(static_cast<int>(row) - 1, 0),
        QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void MainWindow::announce(const std::string& text) {
    runStatus_->say(QFile::decodeName(QByteArray::fromStdString(text)));
}

DisplayOption MainWindow::displayOption() const {
    return static_cast<DisplayOption>(options_->checkedId());
}

void MainWindow::selectDisplayOption(DisplayOption option) {
    options_->button(static_cast<int>(option))->setChecked(true);
}

}  // namespace gantrylux
