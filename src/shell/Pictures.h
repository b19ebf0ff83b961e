#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

#include <memory>

class QPainter;
class QSvgRenderer;

namespace luming {

// A picture of the form: one of the window's SVG drawings (":/pictures/<name>.svg"), drawn at
// whatever size and pixel ratio it is shown, so it stays crisp at any scale. An empty picture
// draws nothing.
class Picture {
public:
    Picture() = default;
    static Picture Named(const QString& name);

    bool isNull() const { return !renderer_; }
    QString name() const { return name_; }
    QSize designSize() const;
    void Draw(QPainter& painter, const QRectF& target) const;
    QPixmap Render(QSize size, qreal devicePixelRatio) const;
    QIcon Icon(QSize size) const;

    bool operator==(const Picture& other) const { return renderer_ == other.renderer_; }

private:
    QString name_;
    std::shared_ptr<QSvgRenderer> renderer_;
};

} // namespace luming
