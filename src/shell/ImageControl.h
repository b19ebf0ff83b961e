#pragma once

#include "shell/Pictures.h"

#include <QWidget>

namespace luming {

// An image of the form: shows a picture at its natural size from the top-left corner, or
// stretched over the whole control, and reports the mouse like any control.
class ImageControl : public QWidget {
    Q_OBJECT
public:
    explicit ImageControl(QWidget* parent = nullptr);

    void setPicture(const Picture& picture);
    const Picture& picture() const { return picture_; }
    void setStretch(bool stretch);
    // Acts as a left click on the control: a key press or a screen reader's "press".
    void Click() { emit clicked(); }

signals:
    void mousePressed(QMouseEvent* event);
    void mouseMoved(QMouseEvent* event);
    void mouseReleased(QMouseEvent* event);
    void clicked();
    void doubleClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    Picture picture_;
    bool stretch_ = false;
};

// The image control of the title buttons: also says when the pointer leaves it, including
// when the control hides or the window moves away under a pointer that stands still (the
// window system reports neither).
class tLxsimage : public ImageControl {
    Q_OBJECT
public:
    using ImageControl::ImageControl;

    // Says the pointer left unless it is over the control now.
    void LeaveIfPointerGone();

signals:
    void mouseLeft();

protected:
    void leaveEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;
};

} // namespace luming
