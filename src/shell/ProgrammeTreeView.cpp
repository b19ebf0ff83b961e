#include "shell/ProgrammeTreeView.h"

#include <QContextMenuEvent>
#include <QMouseEvent>

namespace luming {

bool ProgrammeTreeView::IsRowClick(const QMouseEvent* event) const {
    return event->button() == Qt::LeftButton && indexAt(event->position().toPoint()).isValid();
}

void ProgrammeTreeView::mousePressEvent(QMouseEvent* event) {
    if (IsRowClick(event))
        QTreeView::mousePressEvent(event);
    else
        event->accept();
}

void ProgrammeTreeView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (IsRowClick(event))
        QTreeView::mouseDoubleClickEvent(event);
    else
        event->accept();
}

// Dragging with the button down would select the rows passed over.
void ProgrammeTreeView::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
}

void ProgrammeTreeView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        QTreeView::mouseReleaseEvent(event);
    else
        event->accept();
}

void ProgrammeTreeView::contextMenuEvent(QContextMenuEvent* event) {
    event->accept();
}

} // namespace luming
