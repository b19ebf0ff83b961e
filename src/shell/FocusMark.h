#pragma once

#include <QFocusFrame>
#include <QPointer>

#include <vector>

namespace luming {

// The mark around the control that has the keyboard focus: a rounded ring, dark blue between
// white edges so that it stands out on every ground of the window, drawn over everything else
// of it, so that the drawn controls (title buttons, the position bar) show it as the standard
// ones do. The window decides which control it marks.
// A focus frame, so that a screen reader leaves it out.
class FocusMark : public QFocusFrame {
    Q_OBJECT
public:
    explicit FocusMark(QWidget* window);

    // Marks `control`, or nothing (nullptr). The ring lies over the control's edge and reaches
    // one pixel beyond it; around a control with a bevel of its own (`aroundBevel`) it lies
    // wholly outside, where the ground is even.
    void Follow(QWidget* control, bool aroundBevel = false);
    QWidget* Marked() const { return control_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void Place();
    void Unwatch();

    QWidget* window_;
    QPointer<QWidget> control_;
    int outset_ = 0;
    // The control and its parents: a move of any of them moves the control in the window.
    std::vector<QPointer<QWidget>> watched_;
};

} // namespace luming
