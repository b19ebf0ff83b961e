#pragma once

#include <QTreeView>

namespace luming {

// The programme tree's view: rows without expand buttons or connecting lines (a folder opens
// by a click on its row). Only a left click on a row does anything: the highlight always marks
// the selected node, so presses on blank space and other buttons are let go.
class ProgrammeTreeView : public QTreeView {
    Q_OBJECT
public:
    using QTreeView::QTreeView;

protected:
    void drawBranches(QPainter*, const QRect&, const QModelIndex&) const override {}
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    bool IsRowClick(const QMouseEvent* event) const;
};

} // namespace luming
