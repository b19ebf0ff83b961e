#include "CatalogueFixture.h"
#include "catalogue/CatalogueLoader.h"

#include <gtest/gtest.h>

using namespace luming;
using luming::test::CatalogueXml;
using luming::test::Item;

namespace {

struct Loaded {
    ProgrammeTree tree;
    LoadReport report;
    explicit Loaded(const std::vector<Item>& items) {
        CatalogueLoader loader(tree, &report);
        ReadCatalogueBytes(CatalogueXml(items), loader);
        loader.Finish();
    }
    // "name@parentName" per node, in absolute order.
    std::vector<std::string> Layout() const {
        std::vector<std::string> out;
        for (NodeIndex n = 0; n < tree.Count(); ++n) {
            const NodeIndex p = tree.Parent(n);
            out.push_back(std::string(tree.Text(n)) +
                          (p == kNoNode ? "" : "@" + std::string(tree.Text(p))));
        }
        return out;
    }
};

} // namespace

TEST(CatalogueLoader, PlacesChildrenDepthFirstAndDropsOrphans) {
    const Loaded loaded({{"1", "9", "f1", "early"}, // parent not read yet: dropped
                         {"0", "f1", "", "A"},
                         {"0", "f2", "", "B"},
                         {"1", "11", "f1", "a1"},
                         {"1", "21", "f2", "b1"},
                         {"1", "12", "f1", "a2"},
                         {"0", "g", "f1", "A-sub"},
                         {"4", "13", "g", "s1"}});
    EXPECT_EQ(loaded.Layout(),
              (std::vector<std::string>{"A", "a1@A", "a2@A", "A-sub@A", "s1@A-sub", "B", "b1@B"}));
    ASSERT_EQ(loaded.report.dropped.size(), 1u);
    EXPECT_EQ(loaded.report.dropped[0].pid, "f1");
    EXPECT_EQ(loaded.report.dropped[0].line, 3);
    EXPECT_EQ(loaded.tree.Level(4), 2u);
    EXPECT_EQ(loaded.tree.SubtreeEnd(0), 5u);
}

TEST(CatalogueLoader, DuplicateIdsGoToTheNodeWithTheHighestIndex) {
    // Two folders with the same id: later children go under the later one.
    const Loaded twins(
        {{"0", "f", "", "first"}, {"0", "f", "", "second"}, {"1", "1", "f", "child"}});
    EXPECT_EQ(twins.Layout(), (std::vector<std::string>{"first", "second", "child@second"}));

    // "x" read last lies at index 1, the earlier "x" at index 3: the higher index wins.
    const Loaded order({{"0", "r", "", "R"},
                        {"0", "s", "", "S"},
                        {"0", "x", "s", "x-under-S"},
                        {"0", "x", "r", "x-under-R"},
                        {"1", "1", "x", "leaf"}});
    EXPECT_EQ(order.Layout(),
              (std::vector<std::string>{"R", "x-under-R@R", "S", "x-under-S@S", "leaf@x-under-S"}));
}

TEST(CatalogueLoader, IdCyclesAndSelfParentsCannotLoop) {
    const Loaded loaded({{"0", "a", "a", "self"}, // its own parent: not read yet, dropped
                         {"0", "a", "", "A"},
                         {"0", "a", "a", "A2"}, // under A, and now the holder of "a"
                         {"0", "a", "a", "A3"}});
    EXPECT_EQ(loaded.Layout(), (std::vector<std::string>{"A", "A2@A", "A3@A2"}));
}

TEST(CatalogueLoader, ImagesFollowTheType) {
    const Loaded loaded({{"0", "f", "", "folder"},
                         {"4", "1", "f", "video"},
                         {"11", "2", "f", "zip"},
                         {"x", "3", "f", "odd"},
                         {"2147483647", "4", "f", "huge"}});
    EXPECT_EQ(loaded.tree.Image(0), 0);
    EXPECT_EQ(loaded.tree.SelectedImage(0), 0) << "a selected folder keeps its picture";
    EXPECT_EQ(loaded.tree.Image(1), 6);
    EXPECT_EQ(loaded.tree.SelectedImage(1), 6);
    EXPECT_EQ(loaded.tree.Image(2), 13);
    EXPECT_EQ(loaded.tree.Image(3), kDefaultImage);
    EXPECT_EQ(loaded.tree.Image(4), kDefaultImage);
}
