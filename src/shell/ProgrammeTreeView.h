#pragma once

#include <QTreeView>

namespace luming {

// The programme tree's view: rows without expand buttons or connecting lines (a folder opens
// by a click on its row).
class ProgrammeTreeView : public QTreeView {
    Q_OBJECT
public:
    using QTreeView::QTreeView;

protected:
    void drawBranches(QPainter*, const QRect&, const QModelIndex&) const override {}
};

} // namespace luming
