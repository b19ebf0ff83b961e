// The drawn scroll bar of the programme tree: the thumb follows the tree, and a drag of the
// thumb scrolls the tree.
#include "shell/FormParts.h"
#include "shell/ImageControl.h"
#include "shell/ProgrammeTreeModel.h"
#include "shell/ScrollThumb.h"
#include "shell/TfrmMain.h"
#include "shell/TreeRows.h"

#include <QEvent>
#include <QFrame>
#include <QMouseEvent>
#include <QTreeView>

#include <climits>

namespace luming {

namespace {

ScrollBarMetrics MetricsOf(const TfrmMain& window) {
    ScrollBarMetrics metrics;
    metrics.treeHeight = window.tv1->height();
    metrics.trackHeight = window.imgScrollMiddle->height();
    metrics.barHeight = window.pnlScroll->height();
    metrics.upperCapHeight = window.imgScrollTop2->height();
    metrics.lowerCapHeight = window.imgScrollBottom2->height();
    return metrics;
}

ThumbPlace CurrentThumb(const TfrmMain& window) {
    ThumbPlace thumb;
    thumb.upperCapTop = window.imgScrollTop2->y();
    thumb.bodyTop = window.imgScrollMiddle2->y();
    thumb.bodyHeight = window.imgScrollMiddle2->height();
    thumb.lowerCapTop = window.imgScrollBottom2->y();
    return thumb;
}

// A mouse release anywhere over the tree (its viewport takes the mouse).
class TreeMouseUpWatcher : public QObject {
public:
    TreeMouseUpWatcher(QObject* parent, std::function<void()> onMouseUp)
        : QObject(parent), onMouseUp_(std::move(onMouseUp)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        // After the tree has handled the release (a click may open or close a folder).
        if (event->type() == QEvent::MouseButtonRelease)
            QMetaObject::invokeMethod(this, onMouseUp_, Qt::QueuedConnection);
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> onMouseUp_;
};

} // namespace

void TfrmMain::ConnectScrollBarHandlers() {
    tv1->viewport()->installEventFilter(new TreeMouseUpWatcher(this, [this] { tv1MouseUp(); }));
    connect(imgScrollMiddle2, &ImageControl::mousePressed, this,
            &TfrmMain::imgScrollMiddle2MouseDown);
    connect(imgScrollMiddle2, &ImageControl::mouseMoved, this,
            &TfrmMain::imgScrollMiddle2MouseMove);
    connect(imgScrollMiddle2, &ImageControl::mouseReleased, this,
            &TfrmMain::imgScrollMiddle2MouseUp);
}

void TfrmMain::UpdateTreeScrollBar() {
    if (tree_.Count() == 0) {
        pnlScroll->hide();
        return;
    }
    const NodeIndex top = treeModel_->NodeOf(tv1->indexAt(QPoint(1, 1)));
    const VisibleRowCount count = CountVisibleRows(tree_, top);
    form::SetTag(tv1, TreeTagFor(count.rows));
    const auto thumb = ThumbForRows(MetricsOf(*this), count.rows, count.rowsAbove);
    if (!thumb) {
        pnlScroll->hide();
        return;
    }
    pnlScroll->show();
    ShowThumb(*thumb);
}

void TfrmMain::tv1MouseUp() {
    UpdateTreeScrollBar();
}

void TfrmMain::imgScrollMiddle2MouseDown(QMouseEvent* event) {
    ThumbDragging = true;
    ThumbDragY = static_cast<int>(event->position().y());
}

void TfrmMain::imgScrollMiddle2MouseMove(QMouseEvent* event) {
    if (!ThumbDragging)
        return;
    const ScrollBarMetrics metrics = MetricsOf(*this);
    const ThumbPlace thumb = DraggedThumb(metrics, CurrentThumb(*this),
                                          static_cast<int>(event->position().y()), ThumbDragY);
    ShowThumb(thumb);
    const int tag = form::Tag(tv1);
    if (tag == 0)
        return;
    // Only a visible row that exists scrolls the tree; past the end it stays where it is.
    const auto row = FirstRowForThumb(metrics, thumb, tag, INT_MAX);
    const NodeIndex first = row ? VisibleRow(tree_, *row) : kNoNode;
    if (first != kNoNode)
        tv1->scrollTo(treeModel_->IndexOf(first), QAbstractItemView::PositionAtTop);
}

void TfrmMain::imgScrollMiddle2MouseUp() {
    ThumbDragging = false;
}

void TfrmMain::ShowThumb(const ThumbPlace& thumb) {
    imgScrollTop2->move(imgScrollTop2->x(), thumb.upperCapTop);
    imgScrollMiddle2->setGeometry(imgScrollMiddle2->x(), thumb.bodyTop, imgScrollMiddle2->width(),
                                  thumb.bodyHeight);
    imgScrollBottom2->move(imgScrollBottom2->x(), thumb.lowerCapTop);
}

} // namespace luming
