#include "ui/pointer_events.hpp"

#include <QEvent>
#include <QMouseEvent>
#include <QWidget>

namespace gantrylux {

void PointerEvents::watch(QWidget* widget) {
    widget->setMouseTracking(true);
    widget->installEventFilter(this);
}

// A move that a child did not take (a push button ignores moves without a pressed button)
// travels on to its parent: it belongs to the child, not to the parent's own background.
bool PointerEvents::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseMove) {
        const auto* move = static_cast<QMouseEvent*>(event);
        if (static_cast<QWidget*>(watched)->childAt(move->position().toPoint()) == nullptr) {
            onMove_();
        }
    } else if (event->type() == QEvent::Enter) {
        onMove_();
    }
    return false;
}

}  // namespace gantrylux
