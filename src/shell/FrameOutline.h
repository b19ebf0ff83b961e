#pragma once

#include <QWidget>

namespace luming {

// Draws the window's grey rounded outline over everything else, without taking the mouse.
class FrameOutline : public QWidget {
    Q_OBJECT
public:
    explicit FrameOutline(QWidget* window);
    void FollowWindow();

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace luming
