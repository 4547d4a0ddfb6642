/* The optional skin of the main window: a calm light theme.
   Fonts stay as the window sets them; only colours, frames and spacing change here.
   The window, its frames, the check box and the options get no background here: they show
   the system's button face, which the program gives them with the skin. That face follows the
   user's colour scheme: where it is dark, the program marks the window darkFace="true" and the
   text on the face takes the light colours at the end.
   Text colours are given only with a background of their own or on the face, so that message
   boxes, menus and tool tips keep the colours of the user's scheme. */

/* Lists */

QTreeView {
    color: #1f2a37;
    background-color: #ffffff;
    alternate-background-color: #f5f8fc;
    border: 1px solid #b9c6d5;
    border-radius: 3px;
    selection-background-color: #cfe1f4;
    selection-color: #0f2740;
}

QTreeView:focus {
    border: 1px solid #5b8fc7;
}

QTreeView::item {
    padding: 1px 2px;
}

QTreeView::item:hover {
    background-color: #edf3fa;
}

QTreeView::item:selected {
    background-color: #cfe1f4;
    color: #0f2740;
}

QHeaderView {
    background-color: #f1f5f9;
}

QHeaderView::section {
    background-color: qlineargradient(x1: 0, y1: 0, x2: 0, y2: 1, stop: 0 #fbfcfe, stop: 1 #e8eef5);
    color: #34465a;
    border: none;
    border-right: 1px solid #d3dce7;
    border-bottom: 1px solid #c3cfdc;
    padding: 2px 6px;
}

/* Buttons */

QPushButton {
    color: #1f2a37;
    background-color: qlineargradient(x1: 0, y1: 0, x2: 0, y2: 1, stop: 0 #ffffff, stop: 1 #e3eaf2);
    border: 1px solid #a9b8c9;
    border-radius: 6px;
    padding: 2px 10px;
}

QPushButton:hover {
    background-color: qlineargradient(x1: 0, y1: 0, x2: 0, y2: 1, stop: 0 #ffffff, stop: 1 #d8e6f5);
    border-color: #6f9bcb;
}

QPushButton:pressed {
    background-color: qlineargradient(x1: 0, y1: 0, x2: 0, y2: 1, stop: 0 #d3e0ee, stop: 1 #e9f0f7);
    border-color: #5b84b1;
}

QPushButton:focus {
    border-color: #4f86c0;
}

QPushButton:disabled {
    background-color: #eef1f5;
    border-color: #cbd3dd;
    color: #98a4b3;
}

/* "Start Opening": the one button that sets things going. Its blues are dark enough for the
   white caption from top to bottom. */
QPushButton#PushButton2 {
    background-color: qlineargradient(x1: 0, y1: 0, x2: 0, y2: 1, stop: 0 #3272ae, stop: 1 #21578c);
    border: 1px solid #1b4a78;
    color: #ffffff;
}

QPushButton#PushButton2:hover {
    background-color: qlineargradient(x1: 0, y1: 0, x2: 0, y2: 1, stop: 0 #3a78b3, stop: 1 #2a64a0);
}

QPushButton#PushButton2:pressed {
    background-color: qlineargradient(x1: 0, y1: 0, x2: 0, y2: 1, stop: 0 #21578c, stop: 1 #3272ae);
}

QPushButton#PushButton2:disabled {
    background-color: #a9c1d9;
    border-color: #8eaac6;
    color: #eef3f8;
}

/* Option frames: the title sits on the frame's top edge. */

/* The title has no background: without one, the frame's line stops short of it. */
QGroupBox {
    border: 1px solid #bccad9;
    border-radius: 6px;
    margin-top: 7px;
}

QGroupBox::title {
    subcontrol-origin: margin;
    subcontrol-position: top left;
    left: 9px;
    padding: 0px 4px;
    color: #24486e;
}

/* No background here: the indicators take their outline from the window colour. */
QCheckBox, QRadioButton {
    color: #1f2a37;
    spacing: 6px;
}

QCheckBox:hover, QRadioButton:hover {
    color: #1d5c99;
}

QCheckBox:disabled, QRadioButton:disabled {
    color: #98a4b3;
}

/* The interval */

QLineEdit {
    color: #1f2a37;
    background-color: #ffffff;
    border: 1px solid #a9b8c9;
    border-radius: 4px;
    padding: 1px 4px;
    selection-background-color: #bcd5ee;
    selection-color: #0f2740;
}

/* A wider border when focused, with the padding one pixel less so the text stays put. */
QLineEdit:focus {
    border: 2px solid #4f86c0;
    padding: 0px 3px;
}

QLineEdit:disabled {
    background-color: #f0f3f7;
    color: #98a4b3;
}

/* Text on a dark button face */

#Form1[darkFace="true"] QGroupBox::title {
    color: #b9d6f5;
}

#Form1[darkFace="true"] QCheckBox, #Form1[darkFace="true"] QRadioButton {
    color: #e8eef5;
}

#Form1[darkFace="true"] QCheckBox:hover, #Form1[darkFace="true"] QRadioButton:hover {
    color: #b9d6f5;
}
