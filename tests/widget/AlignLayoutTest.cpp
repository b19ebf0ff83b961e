// The form's placement rules: docking order, hidden docked controls, anchors.
#include "shell/AlignLayout.h"

#include <QApplication>
#include <QWidget>

#include <gtest/gtest.h>

using luming::Align;
using luming::AlignLayout;
using luming::Anchors;

TEST(AlignLayout, AnchorsKeepDistancesFromTheEdgesTheyName) {
    const QSize design(600, 50);
    const QRect area(0, 0, 700, 80); // 100 wider, 30 taller
    const QRect control(500, 19, 30, 24);
    EXPECT_EQ(AlignLayout::Anchored(control, Anchors::TopLeft(), design, area), control);
    EXPECT_EQ(AlignLayout::Anchored(control, Anchors::TopRight(), design, area),
              QRect(600, 19, 30, 24));
    EXPECT_EQ(AlignLayout::Anchored(control, Anchors::LeftTopRight(), design, area),
              QRect(500, 19, 130, 24));
    EXPECT_EQ(AlignLayout::Anchored(control, Anchors::RightBottom(), design, area),
              QRect(600, 49, 30, 24));
    // Shrinking below nothing leaves an empty control, not a negative one.
    EXPECT_EQ(AlignLayout::Anchored(control, Anchors::LeftTopRight(), design, QRect(0, 0, 100, 50))
                  .width(),
              0);
}

TEST(AlignLayout, DocksInFormOrderAndHiddenControlsLeaveTheirRoom) {
    QWidget parent;
    auto* layout = new AlignLayout(&parent, {211, 545});
    auto* search = new QWidget(&parent);
    auto* ads = new QWidget(&parent);
    auto* tree = new QWidget(&parent);
    auto* separator = new QWidget(&parent);
    layout->Place(tree, Align::Client, {0, 25, 211, 320});
    layout->Place(ads, Align::Bottom, {0, 345, 211, 200});
    layout->Place(separator, Align::Bottom, {0, 343, 211, 2});
    layout->Place(search, Align::Top, {0, 0, 211, 25});
    ads->hide();
    separator->hide();

    parent.resize(211, 600);
    AlignLayout::ApplyTree(&parent);
    EXPECT_EQ(search->geometry(), QRect(0, 0, 211, 25));
    EXPECT_EQ(tree->geometry(), QRect(0, 25, 211, 575)) << "hidden panes take no room";
    EXPECT_EQ(ads->geometry(), QRect(0, 400, 211, 200)) << "but stand where they would show";

    ads->show();
    separator->show();
    AlignLayout::ApplyTree(&parent);
    EXPECT_EQ(ads->geometry(), QRect(0, 400, 211, 200));
    EXPECT_EQ(separator->geometry(), QRect(0, 398, 211, 2)) << "docked above the lower pane";
    EXPECT_EQ(tree->geometry(), QRect(0, 25, 211, 373));
}
