#include "ui/spoken_status.hpp"

#include <QAccessible>

namespace gantrylux {

SpokenStatus::SpokenStatus(QWidget* parent) : QLabel(parent) {
    setObjectName(QStringLiteral("RunStatus"));
    setAccessibleDescription(QStringLiteral("Run status"));
    setGeometry(0, 0, 1, 1);
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

// The name is the text, so the label must have no accessible name of its own; the event is
// sent also when the text repeats ("Opened a.txt" twice in an endless run).
void SpokenStatus::say(const QString& text) {
    setText(text);
    QAccessibleEvent changed(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&changed);
}

void SpokenStatus::paintEvent(QPaintEvent*) {}

}  // namespace gantrylux
