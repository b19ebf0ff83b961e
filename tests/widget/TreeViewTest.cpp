// The programme tree in the window: the view shows the catalogue's tree, clicks go through the
// channel rules, the search box searches, and the drawn scroll bar follows.
#include "catalogue/CatalogueSearch.h"
#include "config/IniFile.h"
#include "config/Settings.h"
#include "platform/PlaceholderWebPane.h"
#include "shell/FormParts.h"
#include "shell/ImageControl.h"
#include "shell/ProgrammeTreeModel.h"
#include "shell/TfrmMain.h"
#include "support/FakePlatform.h"
#include "support/TempDir.h"

#include <QApplication>
#include <QFocusEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTest>
#include <QTreeView>

#include <gtest/gtest.h>

#include <condition_variable>
#include <fstream>
#include <mutex>
#include <thread>

using namespace luming;
using luming::test::FakePlatform;
using luming::test::TempDir;
using luming::test::WriteFile;

namespace {

// 唐诗 [2 poems], 宋词 [如梦令 + extraPoems], and 元曲 [quPoems] when there are any.
std::string Catalogue(int extraPoems = 0, int quPoems = 0) {
    std::string xml = "<?xml version=\"1.0\" encoding=\"utf-8\"?><channel>"
                      "<i><type>0</type><id>1</id><pid></pid><name>唐诗</name></i>"
                      "<i><type>4</type><id>101</id><pid>1</pid><name>静夜思 李白</name></i>"
                      "<i><type>2</type><id>102</id><pid>1</pid><name>春晓 孟浩然</name></i>"
                      "<i><type>0</type><id>2</id><pid></pid><name>宋词</name></i>"
                      "<i><type>2</type><id>201</id><pid>2</pid><name>如梦令 李清照</name></i>";
    for (int i = 0; i < extraPoems; ++i)
        xml += "<i><type>2</type><id>" + std::to_string(1000 + i) + "</id><pid>2</pid><name>词 " +
               std::to_string(i) + "</name></i>";
    if (quPoems > 0)
        xml += "<i><type>0</type><id>3</id><pid></pid><name>元曲</name></i>";
    for (int i = 0; i < quPoems; ++i)
        xml += "<i><type>2</type><id>" + std::to_string(3000 + i) + "</id><pid>3</pid><name>曲 " +
               std::to_string(i) + "</name></i>";
    return xml + "</channel>";
}

class TreeView : public ::testing::Test {
protected:
    void Open(int extraPoems = 0, int quPoems = 0, const std::string& localIni = "[Info]\n1=0\n") {
        const auto edition = temp.path() / "suite" / "26";
        WriteFile(temp.path() / "suite" / "Config" / "Source.ini", "");
        WriteFile(edition / "Config" / "local.ini", localIni);
        WriteFile(edition / "Resource" / "xml" / "26.xml", Catalogue(extraPoems, quPoems));
        settings.EditionNo = 26;
        settings.AppDir = edition.string() + "/";
        settings.LocalIniPath = settings.AppDir + "Config/local.ini";
        window = std::make_unique<TfrmMain>(settings, platform);
        window->PagesFirstLimit = pagesFirstLimit;
        window->limgNorClick();
        window->show();
        QApplication::processEvents();
    }

    QTreeView* tree() { return window->tv1; }
    // The highlighted row (the tree's row cursor is there only while the tree has the focus).
    QModelIndex Highlighted() { return tree()->selectionModel()->selectedRows().value(0); }
    QModelIndex Row(int node) { return window->TreeModel()->IndexOf(static_cast<NodeIndex>(node)); }

    void ClickRow(int node) {
        const QRect rect = tree()->visualRect(Row(node));
        ASSERT_TRUE(rect.isValid()) << "row " << node << " is not on screen";
        QTest::mouseClick(tree()->viewport(), Qt::LeftButton, {}, rect.center());
        QApplication::processEvents();
    }

    std::chrono::milliseconds pagesFirstLimit = std::chrono::seconds(1);
    TempDir temp;
    Settings settings;
    FakePlatform platform;
    std::unique_ptr<TfrmMain> window;
};

} // namespace

TEST_F(TreeView, ShowsTheChannelWithTheFirstFolderOpenAndTheFirstProgrammeChosen) {
    Open();
    ASSERT_EQ(tree()->model()->rowCount(), 2);
    EXPECT_EQ(Row(0).data().toString(), QStringLiteral("唐诗"));
    EXPECT_TRUE(tree()->isExpanded(Row(0)));
    EXPECT_FALSE(tree()->isExpanded(Row(3)));
    EXPECT_FALSE(Row(1).data(Qt::DecorationRole).value<QIcon>().isNull());
    // The remembered programme (none stored: the first playable) was clicked when shown.
    EXPECT_EQ(window->Channel().CurrentIndex, 1);
    ASSERT_NE(window->Playback().CurrentPlay, nullptr);
    EXPECT_EQ(window->Playback().CurrentPlay->Id, "101");
    EXPECT_EQ(Highlighted(), Row(1));
    EXPECT_EQ(ReadIniValue(settings.LocalIniPath, "Info", "1"), "1") << "the start was counted";
    EXPECT_EQ(window->lblSysVersion->text(),
              QStringLiteral("版本:2.0.0.") + QString::number(LUMING_EXPECTED_BUILD));
    ASSERT_NE(window->AudioPlayer, nullptr);
    EXPECT_EQ(window->AudioPlayer->objectName(), "FrameMP1");
    EXPECT_TRUE(window->AudioPlayer->isHidden());
}

TEST_F(TreeView, AFolderClickOpensItAndClosesTheOthers) {
    Open();
    ClickRow(3);
    EXPECT_TRUE(tree()->isExpanded(Row(3)));
    EXPECT_FALSE(tree()->isExpanded(Row(0)));
    EXPECT_TRUE(window->Tree().Expanded(3));
    ClickRow(3);
    EXPECT_FALSE(tree()->isExpanded(Row(3)));
    EXPECT_EQ(window->Tree().Image(3), 0) << "a closed folder shows the closed picture";
}

TEST_F(TreeView, ARestoredProgrammeOpensItsFolderThroughTheTree) {
    Open(0, 0, "[Info]\n1=0\n26=4\n"); // 如梦令, inside the closed 宋词
    EXPECT_TRUE(window->Tree().Expanded(3));
    EXPECT_EQ(window->Tree().Image(3), 1) << "the open-folder picture";
    EXPECT_EQ(Highlighted(), Row(4));
    ClickRow(3);
    EXPECT_FALSE(tree()->isExpanded(Row(3))) << "the click closes the folder it opened";
}

TEST_F(TreeView, TheHighlightStaysOnTheSelectedNode) {
    Open();
    const QRect last = tree()->visualRect(Row(3));
    QTest::mouseClick(tree()->viewport(), Qt::LeftButton, {}, last.center() + QPoint(0, 200));
    EXPECT_EQ(Highlighted(), Row(1)) << "blank space below the rows";
    EXPECT_TRUE(tree()->selectionModel()->isSelected(Row(1)));
    QTest::mouseClick(tree()->viewport(), Qt::RightButton, {}, tree()->visualRect(Row(2)).center());
    EXPECT_EQ(Highlighted(), Row(1)) << "a right click";
    EXPECT_EQ(window->Playback().CurrentPlay->Id, "101");
}

TEST_F(TreeView, AClickedFolderStaysInView) {
    Open(60, 60);
    ClickRow(3); // 宋词 opens its 61 poems
    const int yuan = 3 + 62;
    tree()->scrollTo(Row(yuan), QAbstractItemView::PositionAtBottom);
    QApplication::processEvents();
    ClickRow(yuan); // 元曲 opens, 宋词 closes above it
    EXPECT_TRUE(window->Tree().Expanded(yuan));
    const QRect shown = tree()->visualRect(Row(yuan));
    EXPECT_TRUE(tree()->viewport()->rect().contains(shown)) << shown.y();
}

TEST_F(TreeView, AProgrammeClickIsRememberedAndHandedToThePlayer) {
    Open();
    ClickRow(2);
    EXPECT_EQ(window->Channel().CurrentIndex, 2);
    EXPECT_EQ(ReadIniValue(settings.LocalIniPath, "Info", "26"), "2");
    ASSERT_NE(window->Playback().CurrentPlay, nullptr);
    EXPECT_EQ(window->Playback().CurrentPlay->Id, "102");
}

TEST_F(TreeView, KeyboardCollapseReachesTheTree) {
    Open();
    tree()->setFocus();
    tree()->setCurrentIndex(Row(0));
    QTest::keyClick(tree(), Qt::Key_Left);
    EXPECT_FALSE(window->Tree().Expanded(0));
    EXPECT_EQ(window->Tree().Image(0), 0);
}

TEST_F(TreeView, SearchingThroughTheBox) {
    Open();
    QLineEdit* box = window->edtkey;
    EXPECT_EQ(box->text(), QStringLiteral("搜索关键词或拼音"));

    // Entering the box clears the placeholder; Enter searches.
    window->edtkeyEnter();
    EXPECT_EQ(box->text(), "");
    box->setText(QStringLiteral("李"));
    QTest::keyClick(box, Qt::Key_Return);
    ASSERT_EQ(tree()->model()->rowCount(), 3);
    const QModelIndex results = tree()->model()->index(2, 0);
    EXPECT_EQ(results.data().toString(), QStringLiteral("搜索结果"));
    EXPECT_EQ(tree()->model()->rowCount(results), 2);
    EXPECT_TRUE(tree()->isExpanded(results));
    EXPECT_FALSE(tree()->isExpanded(Row(0))) << "every other folder closes";
    EXPECT_EQ(tree()->currentIndex(), results);

    // Searching again gives one results node; emptying the box removes it.
    emit window->imgSearch->clicked();
    EXPECT_EQ(tree()->model()->rowCount(), 3);
    box->setText(QStringLiteral("jys"));
    emit window->imgSearch->clicked();
    const QModelIndex pinyinResults = tree()->model()->index(2, 0);
    ASSERT_EQ(tree()->model()->rowCount(pinyinResults), 1);
    EXPECT_EQ(tree()->model()->index(0, 0, pinyinResults).data().toString(),
              QStringLiteral("静夜思 李白"));
    box->setText("  ");
    EXPECT_EQ(tree()->model()->rowCount(), 2);

    // Leaving the empty box brings the placeholder back; searching for it asks for a word.
    window->edtkeyExit();
    EXPECT_EQ(box->text(), QStringLiteral("搜索关键词或拼音"));
    emit window->imgSearch->clicked();
    EXPECT_EQ(platform.dialogs.information, std::vector<std::string>{"请输入搜索关键词"});
    box->setText(QStringLiteral("杜甫"));
    emit window->imgSearch->clicked();
    EXPECT_EQ(platform.dialogs.information.back(), "没有找到相关的信息");
}

TEST_F(TreeView, AMessageBoxDoesNotBringThePlaceholderBackIntoTheFocusedBox) {
    Open();
    QLineEdit* box = window->edtkey;
    const auto focus = [&](QEvent::Type type, Qt::FocusReason reason) {
        QFocusEvent event(type, reason);
        QApplication::sendEvent(box, &event);
    };
    focus(QEvent::FocusIn, Qt::MouseFocusReason);
    EXPECT_EQ(box->text(), "");
    focus(QEvent::FocusOut, Qt::ActiveWindowFocusReason); // the message box comes up
    focus(QEvent::FocusIn, Qt::ActiveWindowFocusReason);  // and goes
    EXPECT_EQ(box->text(), "");
    focus(QEvent::FocusOut, Qt::TabFocusReason);
    EXPECT_EQ(box->text(), QStringLiteral("搜索关键词或拼音"))
        << "the box is left for another control";
}

TEST_F(TreeView, TheDrawnScrollBarFollowsTheOpenRows) {
    Open(60);
    // Few rows: no bar.
    window->UpdateTreeScrollBar();
    EXPECT_TRUE(window->pnlScroll->isHidden());
    EXPECT_EQ(form::Tag(tree()), 4) << "唐诗, its two poems, 宋词";

    ClickRow(3); // opens the folder of 61 poems
    window->tv1MouseUp();
    EXPECT_FALSE(window->pnlScroll->isHidden());
    EXPECT_EQ(form::Tag(tree()), 2 + 61) << "two folders, 61 poems open";
    EXPECT_EQ(window->imgScrollTop2->y(), 8) << "the first row in view: the thumb at the top";

    // Dragging the thumb down scrolls the tree.
    ImageControl* body = window->imgScrollMiddle2;
    QTest::mousePress(body, Qt::LeftButton, {}, QPoint(5, 2));
    QTest::mouseMove(body, QPoint(5, 102));
    QTest::mouseRelease(body, Qt::LeftButton, {}, QPoint(5, 102));
    EXPECT_GT(window->imgScrollTop2->y(), 8);
    EXPECT_NE(tree()->indexAt(QPoint(1, 1)), Row(0));
    EXPECT_FALSE(window->ThumbDragging);
}

TEST_F(TreeView, ABrokenCatalogueIsReportedAndTheWindowStillOpens) {
    WriteFile(temp.path() / "suite" / "26" / "Resource" / "xml" / "26.xml", "<channel><i>");
    WriteFile(temp.path() / "suite" / "Config" / "Source.ini", "");
    settings.EditionNo = 26;
    settings.AppDir = (temp.path() / "suite" / "26").string() + "/";
    window = std::make_unique<TfrmMain>(settings, platform);
    window->show();
    ASSERT_EQ(platform.dialogs.errors.size(), 1u);
    EXPECT_EQ(tree()->model()->rowCount(), 0);
    EXPECT_TRUE(window->isVisible());
}

TEST_F(TreeView, TheChannelAdvertisementShortensTheTreeAndTheBarFollows) {
    settings.ChannelAdUrl = "http://vendor.test/ad/ChannelAds.html";
    platform.probe.reachable = {"http://vendor.test/ad/ChannelAds26.html"};
    Open();
    window->resize(1200, 800);
    // The panes show once the probes (on their own thread) have answered.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window->pnlAds->isHidden(); }, 5000));
    QApplication::processEvents();
    EXPECT_FALSE(window->pnlAds->isHidden());
    EXPECT_FALSE(window->pnlGeli->isHidden());
    EXPECT_EQ(window->pnlFuncTree->height(), 800 - 20 - 27 - 25 - 200);
    EXPECT_EQ(window->pnlScroll->height(), window->pnlFuncTree->height() - 3);
    EXPECT_TRUE(window->pnlScroll->isHidden()) << "five rows fit: no bar";
}

TEST_F(TreeView, TheVendorLibraryLivesAsLongAsTheWindow) {
    settings.ClientVersionCode = 33554458;
    settings.WebBaseUrl = "http://vendor.test";
    Open();
    EXPECT_EQ(platform.vendor.calls, std::vector<std::string>{"Init 33554458"});

    // A transfer of the current programme completes: the loaded bar fills. Others do not count.
    ASSERT_NE(window->Playback().CurrentPlay, nullptr);
    window->Playback().CurrentPlay->TaskNo = 7;
    platform.vendor.onProgress(8, 100);
    platform.vendor.onProgress(7, 50);
    QApplication::processEvents();
    EXPECT_EQ(window->pnlLoadPercent->width(), 0) << "emptied when the programme started";
    std::thread([&] { platform.vendor.onProgress(7, 100); }).join(); // from the library's thread
    QApplication::processEvents();
    EXPECT_EQ(window->pnlLoadPercent->width(), window->pnlLoadAll->width() - 2);

    window.reset();
    EXPECT_EQ(platform.vendor.calls.back(), "UnInit");
    EXPECT_EQ(platform.vendor.loginUrl, "http://vendor.test") << "logged in once, then joined";
    EXPECT_EQ(platform.vendor.loginVersion, 33554458);
}

// A video started beside pages still loading held them back for seconds.
TEST_F(TreeView, TheRememberedProgrammeStartsOnceTheAdvertisingPagesHaveLoaded) {
    settings.StatusBarAdUrl = "http://vendor.test/ad/StatusBar.html";
    settings.ChannelAdUrl = "http://vendor.test/ad/ChannelAds.html";
    platform.probe.reachable = {"http://vendor.test/ad/StatusBar26.html",
                                "http://vendor.test/ad/ChannelAds26.html"};
    pagesFirstLimit = std::chrono::hours(1);
    Open();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return !window->pnlAds->isHidden() && !window->pnlStatusBarAds->isHidden(); },
        5000));
    EXPECT_EQ(window->Playback().CurrentPlay, nullptr);
    auto& strip = static_cast<PlaceholderWebPane&>(*window->wbBottom);
    auto& channel = static_cast<PlaceholderWebPane&>(*window->wbAds);
    strip.Complete("http://vendor.test/ad/StatusBar26.html");
    channel.Complete("http://vendor.test/frame.html", false);
    EXPECT_EQ(window->Playback().CurrentPlay, nullptr) << "a frame is not the page";
    channel.Complete("http://vendor.test/moved.html"); // loaded elsewhere: loaded all the same
    ASSERT_NE(window->Playback().CurrentPlay, nullptr);
    EXPECT_EQ(window->Playback().CurrentPlay->Id, "101");
}

TEST_F(TreeView, TheWindowDoesNotWaitForTheVendorsPagesToAnswer) {
    // A probe that answers only when the test lets it.
    struct HeldProbe : IUrlProbe {
        std::mutex mutex;
        std::condition_variable released;
        bool open = false;
        bool IsUrlReachable(const std::string&) override {
            std::unique_lock lock(mutex);
            released.wait(lock, [this] { return open; });
            return true;
        }
        void Release() {
            std::lock_guard lock(mutex);
            open = true;
            released.notify_all();
        }
    } held;
    platform.otherProbe = &held;
    settings.ChannelAdUrl = "http://vendor.test/ad/ChannelAds.html";
    Open(); // returns, and the window shows its channel, while the probe still waits
    EXPECT_EQ(tree()->model()->rowCount(), 2);
    EXPECT_TRUE(window->pnlAds->isHidden());
    EXPECT_TRUE(QTest::qWaitFor([&] { return window->Playback().CurrentPlay != nullptr; }, 5000))
        << "nor does the remembered programme, for long";
    held.Release();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window->pnlAds->isHidden(); }, 5000));
    window.reset(); // joins the probing thread while the probe still exists
}
