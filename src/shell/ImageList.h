#pragma once

#include "shell/Pictures.h"

#include <QObject>
#include <QSize>
#include <QStringList>

#include <vector>

namespace luming {

// A numbered list of pictures of one size (tree images, transport glyphs, play-mode glyphs).
// A number outside the list gives an empty picture, as an image list draws nothing then.
class ImageList : public QObject {
    Q_OBJECT
public:
    ImageList(QObject* parent, const char* name, QSize size, const QStringList& pictures);

    int count() const { return static_cast<int>(pictures_.size()); }
    QSize size() const { return size_; }
    Picture at(int index) const;
    QIcon icon(int index) const;

private:
    QSize size_;
    std::vector<Picture> pictures_;
    mutable std::vector<QIcon> icons_;
};

} // namespace luming
