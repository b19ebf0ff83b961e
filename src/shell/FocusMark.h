#pragma once

#include <QFocusFrame>
#include <QPointer>

#include <vector>

namespace luming {

// The mark around the control that has the keyboard focus: a rounded ring in the skin's blue,
// drawn over everything else of the window, so that the drawn controls (title buttons, the
// position bar) show it as the standard ones do. The window decides which control it marks.
// A focus frame, so that a screen reader leaves it out.
class FocusMark : public QFocusFrame {
    Q_OBJECT
public:
    explicit FocusMark(QWidget* window);

    // Marks `control`, or nothing (nullptr).
    void Follow(QWidget* control);
    QWidget* Marked() const { return control_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void Place();
    void Unwatch();

    QWidget* window_;
    QPointer<QWidget> control_;
    // The control and its parents: a move of any of them moves the control in the window.
    std::vector<QPointer<QWidget>> watched_;
};

} // namespace luming
