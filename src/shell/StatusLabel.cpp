#include "shell/StatusLabel.h"

#include <QEvent>
#include <QPainter>
#include <QStyle>

namespace luming {

StatusLabel::StatusLabel(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    // The label takes the room the bar gives it, not the room its text would like.
    setMinimumWidth(0);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

void StatusLabel::SetStatus(const QString& text) {
    setText(text);
    detail_.clear();
    UpdateToolTip();
}

void StatusLabel::SetDetail(const QString& detail) {
    detail_ = detail;
    UpdateToolTip();
}

QString StatusLabel::Shown() const {
    return fontMetrics().elidedText(text(), Qt::ElideRight, contentsRect().width());
}

void StatusLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    style()->drawItemText(&painter, contentsRect(), int(alignment()), palette(), isEnabled(),
                          Shown(), foregroundRole());
}

void StatusLabel::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    UpdateToolTip();
}

void StatusLabel::changeEvent(QEvent* event) {
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        UpdateToolTip();
}

void StatusLabel::UpdateToolTip() {
    QStringList lines;
    if (Shown() != text())
        lines << text();
    if (!detail_.isEmpty() && detail_ != text())
        lines << detail_;
    setToolTip(lines.join('\n'));
}

} // namespace luming
