#pragma once

#include <QGuiApplication>
#include <QImage>
#include <QRect>
#include <QScreen>

namespace luming::test {

// What the X server shows in `area` (global coordinates): native child windows included, which a
// widget's own grab() leaves out.
inline QImage GrabScreen(const QRect& area) {
    return QGuiApplication::primaryScreen()
        ->grabWindow(0, area.x(), area.y(), area.width(), area.height())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

} // namespace luming::test
