#include "shell/Pictures.h"

#include <QHash>
#include <QPainter>
#include <QSvgRenderer>

// The drawings live in a static library, whose resources must be registered by hand.
static void RegisterPictureResources() {
    Q_INIT_RESOURCE(pictures);
}

namespace luming {

Picture Picture::Named(const QString& name) {
    static const bool registered = (RegisterPictureResources(), true);
    Q_UNUSED(registered);
    // Each drawing is parsed once and shared by every control that shows it.
    static QHash<QString, std::shared_ptr<QSvgRenderer>> cache;
    auto found = cache.find(name);
    if (found == cache.end()) {
        auto renderer = std::make_shared<QSvgRenderer>(":/pictures/" + name + ".svg");
        found = cache.insert(name, renderer->isValid() ? renderer : nullptr);
    }
    Picture picture;
    picture.name_ = name;
    picture.renderer_ = *found;
    return picture;
}

QSize Picture::designSize() const {
    return renderer_ ? renderer_->defaultSize() : QSize();
}

void Picture::Draw(QPainter& painter, const QRectF& target) const {
    if (renderer_)
        renderer_->render(&painter, target);
}

QPixmap Picture::Render(QSize size, qreal devicePixelRatio) const {
    QPixmap pixmap(size * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    Draw(painter, QRectF(QPointF(), QSizeF(size)));
    return pixmap;
}

QIcon Picture::Icon(QSize size) const {
    // The same drawing when selected: the selected row has its own colour already.
    QIcon icon;
    for (const qreal ratio : {1.0, 2.0}) {
        const QPixmap pixmap = Render(size, ratio);
        icon.addPixmap(pixmap, QIcon::Normal);
        icon.addPixmap(pixmap, QIcon::Selected);
    }
    return icon;
}

} // namespace luming
