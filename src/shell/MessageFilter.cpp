#include "shell/MessageFilter.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>

namespace luming {

MessageFilter::MessageFilter(QObject* parent) : QObject(parent) {
    setObjectName("ApplicationEvents1");
}

void MessageFilter::GuardPane(QWidget* pane) {
    panes_.emplace_back(pane);
}

void MessageFilter::GuardPaneWhileItExists(std::function<QWidget*()> pane) {
    transientPanes_.push_back(std::move(pane));
}

bool MessageFilter::InGuardedPane(QObject* target) const {
    auto* widget = qobject_cast<QWidget*>(target);
    if (!widget)
        return false;
    auto inside = [widget](const QWidget* pane) {
        return pane && (pane == widget || pane->isAncestorOf(widget));
    };
    for (const QPointer<QWidget>& pane : panes_)
        if (inside(pane))
            return true;
    for (const auto& pane : transientPanes_)
        if (inside(pane()))
            return true;
    return false;
}

bool MessageFilter::Drops(QObject* target, QEvent* event) const {
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
        return static_cast<QMouseEvent*>(event)->button() == Qt::RightButton &&
               InGuardedPane(target);
    case QEvent::ContextMenu:
        return InGuardedPane(target);
    case QEvent::KeyPress: {
        const auto* key = static_cast<QKeyEvent*>(event);
        return (key->modifiers() & Qt::ControlModifier) &&
               (key->key() == Qt::Key_N || key->key() == Qt::Key_F || key->key() == Qt::Key_A);
    }
    default:
        return false;
    }
}

bool MessageFilter::eventFilter(QObject* target, QEvent* event) {
    return Drops(target, event) || QObject::eventFilter(target, event);
}

} // namespace luming
