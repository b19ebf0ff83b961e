#include "shell/AlignLayout.h"

#include <QWidget>

#include <algorithm>

namespace luming {

AlignLayout::AlignLayout(QWidget* parent, QSize designSize)
    : QLayout(parent), designSize_(designSize) {
    setContentsMargins(0, 0, 0, 0);
    setSpacing(0);
    setSizeConstraint(QLayout::SetNoConstraint);
}

AlignLayout::~AlignLayout() {
    for (Item& entry : items_)
        delete entry.item;
}

void AlignLayout::Place(QWidget* child, Align align, QRect design, Anchors anchors) {
    addChildWidget(child);
    items_.push_back({new QWidgetItem(child), align, design, anchors});
    invalidate();
}

void AlignLayout::addItem(QLayoutItem* item) {
    items_.push_back({item, Align::None, item->geometry(), Anchors{}});
}

QLayoutItem* AlignLayout::itemAt(int index) const {
    return index >= 0 && index < count() ? items_[static_cast<size_t>(index)].item : nullptr;
}

QLayoutItem* AlignLayout::takeAt(int index) {
    if (index < 0 || index >= count())
        return nullptr;
    QLayoutItem* item = items_[static_cast<size_t>(index)].item;
    items_.erase(items_.begin() + index);
    return item;
}

void AlignLayout::Resize(QWidget* child, QSize size) {
    if (Item* entry = Find(child)) {
        entry->design.setSize(size);
        setGeometry(geometry());
    }
}

void AlignLayout::MoveLeft(QWidget* child, int left) {
    if (Item* entry = Find(child)) {
        entry->design.moveLeft(left);
        setGeometry(geometry());
    }
}

AlignLayout::Item* AlignLayout::Find(QWidget* child) {
    for (Item& entry : items_)
        if (entry.item->widget() == child)
            return &entry;
    return nullptr;
}

void AlignLayout::MoveTo(QWidget* child, QPoint topLeft) {
    Item* entry = Find(child);
    if (!entry)
        return;
    // The design place that the anchors turn into `topLeft` at the present size.
    const QRect now = Anchored(entry->design, entry->anchors, designSize_, contentsRect());
    entry->design.translate(topLeft - now.topLeft());
    setGeometry(geometry());
}

void AlignLayout::SetAlign(QWidget* child, Align align) {
    Item* entry = Find(child);
    if (!entry || entry->align == align)
        return;
    if (align == Align::None) {
        entry->design = child->geometry().translated(-contentsRect().topLeft());
        entry->anchors = Anchors::TopLeft();
    }
    entry->align = align;
    setGeometry(geometry());
}

AlignLayout* AlignLayout::Of(QWidget* widget) {
    return widget && widget->parentWidget()
               ? qobject_cast<AlignLayout*>(widget->parentWidget()->layout())
               : nullptr;
}

void AlignLayout::ApplyTree(QWidget* root) {
    auto apply = [](QWidget* widget) {
        if (auto* layout = qobject_cast<AlignLayout*>(widget->layout()))
            layout->setGeometry(widget->rect());
    };
    apply(root);
    // findChildren lists each child before its own children.
    for (QWidget* child : root->findChildren<QWidget*>())
        apply(child);
}

QRect AlignLayout::Anchored(QRect design, Anchors anchors, QSize designSize, QRect area) {
    const int growX = area.width() - designSize.width();
    const int growY = area.height() - designSize.height();
    int left = design.left();
    int top = design.top();
    int width = design.width();
    int height = design.height();

    if (anchors.left && anchors.right)
        width += growX;
    else if (anchors.right)
        left += growX;
    else if (!anchors.left)
        left += growX / 2; // anchored to neither edge: keeps its place relative to the centre

    if (anchors.top && anchors.bottom)
        height += growY;
    else if (anchors.bottom)
        top += growY;
    else if (!anchors.top)
        top += growY / 2;

    return QRect(area.left() + left, area.top() + top, std::max(0, width), std::max(0, height));
}

namespace {

// Exactly where the form says: no size hints or minimum sizes of the control interfere.
void Put(QLayoutItem* item, const QRect& rect) {
    if (QWidget* widget = item->widget())
        widget->setGeometry(rect);
    else
        item->setGeometry(rect);
}

} // namespace

void AlignLayout::setGeometry(const QRect& rect) {
    QLayout::setGeometry(rect);
    QRect rest = contentsRect();
    const QRect area = rest;

    // Docked controls in the order the form designer docks them.
    auto docked = [&](Align align) {
        std::vector<const Item*> group;
        for (const Item& entry : items_)
            if (entry.align == align)
                group.push_back(&entry);
        auto byDesign = [align](const Item* a, const Item* b) {
            switch (align) {
            case Align::Top:
                return a->design.top() < b->design.top();
            case Align::Bottom:
                return a->design.bottom() > b->design.bottom();
            case Align::Left:
                return a->design.left() < b->design.left();
            case Align::Right:
                return a->design.right() > b->design.right();
            default:
                return false;
            }
        };
        std::stable_sort(group.begin(), group.end(), byDesign);
        return group;
    };

    // A hidden docked control is put where it would stand, but leaves its room to the others.
    for (const Item* entry : docked(Align::Top)) {
        const int height = std::min(entry->design.height(), rest.height());
        Put(entry->item, QRect(rest.left(), rest.top(), rest.width(), height));
        if (!entry->item->isEmpty())
            rest.setTop(rest.top() + height);
    }
    for (const Item* entry : docked(Align::Bottom)) {
        const int height = std::min(entry->design.height(), rest.height());
        Put(entry->item, QRect(rest.left(), rest.bottom() + 1 - height, rest.width(), height));
        if (!entry->item->isEmpty())
            rest.setBottom(rest.bottom() - height);
    }
    for (const Item* entry : docked(Align::Left)) {
        const int width = std::min(entry->design.width(), rest.width());
        Put(entry->item, QRect(rest.left(), rest.top(), width, rest.height()));
        if (!entry->item->isEmpty())
            rest.setLeft(rest.left() + width);
    }
    for (const Item* entry : docked(Align::Right)) {
        const int width = std::min(entry->design.width(), rest.width());
        Put(entry->item, QRect(rest.right() + 1 - width, rest.top(), width, rest.height()));
        if (!entry->item->isEmpty())
            rest.setRight(rest.right() - width);
    }
    for (const Item* entry : docked(Align::Client))
        Put(entry->item, rest);

    for (const Item& entry : items_)
        if (entry.align == Align::None)
            Put(entry.item, Anchored(entry.design, entry.anchors, designSize_, area));
}

} // namespace luming
