#include "shell/ImageList.h"

namespace luming {

ImageList::ImageList(QObject* parent, const char* name, QSize size, const QStringList& pictures)
    : QObject(parent), size_(size) {
    setObjectName(name);
    for (const QString& picture : pictures)
        pictures_.push_back(picture.isEmpty() ? Picture() : Picture::Named(picture));
    icons_.resize(pictures_.size());
}

Picture ImageList::at(int index) const {
    return index >= 0 && index < count() ? pictures_[static_cast<size_t>(index)] : Picture();
}

QIcon ImageList::icon(int index) const {
    if (index < 0 || index >= count())
        return {};
    QIcon& icon = icons_[static_cast<size_t>(index)];
    if (icon.isNull() && !pictures_[static_cast<size_t>(index)].isNull())
        icon = pictures_[static_cast<size_t>(index)].Icon(size_);
    return icon;
}

} // namespace luming
