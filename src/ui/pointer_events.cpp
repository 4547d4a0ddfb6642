#include "ui/pointer_events.hpp"

#include <QEvent>
#include <QWidget>

namespace gantrylux {

void PointerEvents::watch(QWidget* widget) {
    widget->setMouseTracking(true);
    widget->installEventFilter(this);
}

bool PointerEvents::eventFilter(QObject*, QEvent* event) {
    if (event->type() == QEvent::MouseMove || event->type() == QEvent::Enter) {
        onMove_();
    }
    return false;
}

}  // namespace gantrylux
