#pragma once

#include <QLabel>

namespace luming {

// The state line of the transport bar. A text wider than the label is shortened with an
// ellipsis; the tooltip then gives it whole, and under it the detail the program keeps for
// whoever reports a fault (a player's own words).
class StatusLabel : public QLabel {
    Q_OBJECT
public:
    explicit StatusLabel(QWidget* parent);

    // A new state line; the detail of the one before goes with it.
    void SetStatus(const QString& text);
    void SetDetail(const QString& detail);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QString Shown() const;
    void UpdateToolTip();

    QString detail_;
};

} // namespace luming
