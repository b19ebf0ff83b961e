// The model over the programme tree must stay a correct item model through everything the
// window does to the tree: loading, opening folders, searching and clearing a search.
#include "shell/ProgrammeTreeModel.h"
#include "catalogue/CatalogueSearch.h"
#include "catalogue/ChannelRules.h"
#include "shell/ImageList.h"
#include "support/FakePlatform.h"
#include "support/TempDir.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace luming;
using luming::test::RecordingDialogs;
using luming::test::TempDir;
using luming::test::WriteFile;

namespace {

struct NoPlayer : IPlayProgram {
    void PlayProgram(TKrvPlay&) override {}
};

class TreeModel : public ::testing::Test {
protected:
    void SetUp() override {
        WriteFile(temp.path() / "26.xml",
                  "<c><i><type>0</type><id>1</id><pid></pid><name>唐诗</name></i>"
                  "<i><type>2</type><id>11</id><pid>1</pid><name>春晓</name></i>"
                  "<i><type>0</type><id>2</id><pid>1</pid><name>李白</name></i>"
                  "<i><type>4</type><id>21</id><pid>2</pid><name>静夜思</name></i>"
                  "<i><type>0</type><id>3</id><pid></pid><name>宋词</name></i>"
                  "<i><type>2</type><id>31</id><pid>3</pid><name>如梦令</name></i>"
                  "<i><type>1</type><id>32</id><pid>3</pid><name>拉大锯</name></i>"
                  "<i><type>3</type><id>33</id><pid>3</pid><name>宋词小知识</name></i></c>");
        rules.LoadCatalogueFile((temp.path() / "26.xml").string());
    }

    TempDir temp;
    ProgrammeTree tree;
    ChannelState state;
    NoPlayer player;
    RecordingDialogs dialogs;
    ChannelRules rules{tree, state, "", "", player};
    CatalogueSearch search{tree, rules, dialogs};
    ImageList images{
        nullptr,
        "ImageList1",
        {16, 16},
        {"tree_0", "tree_1", "tree_2", "tree_3", "tree_4", "tree_5", "tree_6", "tree_7"}};
};

} // namespace

TEST_F(TreeModel, StaysAConsistentModelThroughSearchesAndReloads) {
    ProgrammeTreeModel model(tree, images);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);

    ASSERT_EQ(model.rowCount(), 2);
    const QModelIndex poems = model.index(0, 0);
    ASSERT_EQ(model.rowCount(poems), 2);
    const QModelIndex libai = model.index(1, 0, poems);
    EXPECT_EQ(libai.data().toString(), QStringLiteral("李白"));
    EXPECT_EQ(model.parent(model.index(0, 0, libai)), libai);
    EXPECT_EQ(model.NodeOf(model.index(0, 0, libai)), 3u);
    EXPECT_EQ(model.IndexOf(3), model.index(0, 0, libai));

    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
    ASSERT_TRUE(search.imgSearchClick("春"));
    EXPECT_EQ(model.rowCount(), 3);
    EXPECT_GE(inserted.count(), 2) << "the results node, then its entry";
    const QModelIndex results = model.index(2, 0);
    EXPECT_EQ(results.data().toString(), QStringLiteral("搜索结果"));
    EXPECT_EQ(model.index(0, 0, results).data().toString(), QStringLiteral("春晓"));

    search.delSearchResult();
    EXPECT_EQ(model.rowCount(), 2);
    EXPECT_EQ(removed.count(), 1);

    tree.Clear();
    EXPECT_EQ(model.rowCount(), 0);
    rules.LoadCatalogueFile((temp.path() / "26.xml").string());
    EXPECT_EQ(model.rowCount(), 2);
}

TEST_F(TreeModel, TellsTheViewWhatTheTreeOpensAndSelects) {
    ProgrammeTreeModel model(tree, images);
    QSignalSpy expanded(&model, &ProgrammeTreeModel::expandedChanged);
    QSignalSpy selected(&model, &ProgrammeTreeModel::selectedChanged);
    QSignalSpy pictures(&model, &QAbstractItemModel::dataChanged);

    tree.SetExpanded(4, true);
    ASSERT_EQ(expanded.count(), 1);
    EXPECT_EQ(expanded[0][0].value<QModelIndex>(), model.IndexOf(4));
    EXPECT_TRUE(expanded[0][1].toBool());
    EXPECT_GE(pictures.count(), 1) << "an open folder shows the open picture";

    tree.Select(5);
    ASSERT_EQ(selected.count(), 1);
    EXPECT_EQ(selected[0][0].value<QModelIndex>(), model.IndexOf(5));
    EXPECT_EQ(model.data(model.IndexOf(5), Qt::DisplayRole).toString(), QStringLiteral("如梦令"));
    EXPECT_FALSE(model.data(model.IndexOf(5), Qt::DecorationRole).value<QIcon>().isNull());
}

TEST_F(TreeModel, EachProgrammeTellsAReaderItsKindAndTheColumnHasNoName) {
    ProgrammeTreeModel model(tree, images);
    const auto kind = [&](NodeIndex node) {
        return model.data(model.IndexOf(node), Qt::AccessibleDescriptionRole).toString();
    };
    EXPECT_EQ(kind(1), QStringLiteral("音频"));
    EXPECT_EQ(kind(3), QStringLiteral("视频"));
    EXPECT_EQ(kind(6), QStringLiteral("动画"));
    EXPECT_EQ(kind(7), QStringLiteral("文字"));
    EXPECT_EQ(kind(0), QString()) << "a folder says whether it is open instead";
    EXPECT_FALSE(model.headerData(0, Qt::Horizontal, Qt::DisplayRole).isValid());
}
