#pragma once

#include <QLayout>
#include <QRect>

#include <vector>

namespace luming {

// How a control sits in its parent, the way the form was designed: docked to an edge (taking
// its design height or width and the whole length of that edge), filling what the docked
// controls leave, or free at its design place, following the parent's right and bottom edges
// as far as its anchors say.
enum class Align { None, Top, Bottom, Left, Right, Client };

struct Anchors {
    bool left = true;
    bool top = true;
    bool right = false;
    bool bottom = false;

    static Anchors TopLeft() { return {}; }
    static Anchors TopRight() { return {false, true, true, false}; }
    static Anchors LeftTopRight() { return {true, true, true, false}; }
    static Anchors RightBottom() { return {false, false, true, true}; }
};

// Lays out a parent's children by those rules. Docked controls are placed in the order top,
// bottom, left, right, fill, each group in design order; a hidden control takes no room.
// Free controls keep their distance from every anchored edge as it was at `designSize`.
class AlignLayout : public QLayout {
    Q_OBJECT
public:
    AlignLayout(QWidget* parent, QSize designSize);
    ~AlignLayout() override;

    // `design` is the control's place and size inside the parent at design size.
    void Place(QWidget* child, Align align, QRect design, Anchors anchors = {});

    // Gives a placed control a new size (a docked control keeps its edge and takes the new
    // height or width), as setting a control's size does on the form.
    void Resize(QWidget* child, QSize size);
    // Moves a free control anchored at the left, as setting its Left does on the form.
    void MoveLeft(QWidget* child, int left);
    // Moves a free control to `topLeft` in the parent as it is now; its anchors then keep the
    // distances it has there.
    void MoveTo(QWidget* child, QPoint topLeft);
    // Docks a control to another edge, or frees it (Align::None) where it stands now, anchored
    // at the top left, as setting its Align does on the form.
    void SetAlign(QWidget* child, Align align);
    // The AlignLayout of `widget`'s parent, if it has one.
    static AlignLayout* Of(QWidget* widget);

    // Lays out `root` and everything below it at once, parents first, so sizes are right even
    // before the window is shown (when Qt holds back resize events).
    static void ApplyTree(QWidget* root);

    // The rectangle `design` becomes inside a parent rectangle of `area` (free controls only).
    static QRect Anchored(QRect design, Anchors anchors, QSize designSize, QRect area);

    void addItem(QLayoutItem* item) override;
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;
    int count() const override { return static_cast<int>(items_.size()); }
    QSize sizeHint() const override { return designSize_; }
    QSize minimumSize() const override { return {0, 0}; }
    void setGeometry(const QRect& rect) override;

private:
    struct Item;
    Item* Find(QWidget* child);

    struct Item {
        QLayoutItem* item;
        Align align;
        QRect design;
        Anchors anchors;
    };

    QSize designSize_;
    std::vector<Item> items_;
};

} // namespace luming
