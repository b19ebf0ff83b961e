// The body of the form: the page control with its two pages, the tree column and the play
// column, and the full-screen exit button.
#include "platform/BlankFlashControl.h"
#include "platform/Platform.h"
#include "platform/WebPane.h"
#include "shell/AlignLayout.h"
#include "shell/FormParts.h"
#include "shell/ImageControl.h"
#include "shell/PageControl.h"
#include "shell/ProgrammeTreeView.h"
#include "shell/TextFetch.h"
#include "shell/TextProgrammeView.h"
#include "shell/TfrmMain.h"

#include <QFrame>
#include <QHeaderView>
#include <QLineEdit>
#include <QSlider>
#include <QToolButton>
#include <QTreeView>

namespace luming {

namespace {

// The area between title bar and status bar at design size.
constexpr QSize kPageDesignSize(TfrmMain::kDesignClientWidth, 592 - 20 - 27);
// The page control reaches this far beyond that area on every side; its pages put it back.
constexpr int kPageOverhang = 5;
// The play area's design size, from which its right- and bottom-anchored controls keep their
// distances.
constexpr QSize kPlayDesignSize(599, 538);

constexpr QColor kTreeBackground(237, 238, 238);
constexpr QColor kTreeText(68, 68, 68);
constexpr QColor kTreeSelection(136, 179, 221);

WebPane* Browser(Platform& platform, QWidget* parent, const char* name) {
    WebPane* pane = platform.CreateWebPane(parent);
    pane->setObjectName(name);
    return pane;
}

} // namespace

void TfrmMain::BuildBody() {
    auto* gameLayout = new AlignLayout(pnlGame, {kDesignClientWidth, 572});
    pnlGameC = form::Panel(pnlGame, "pnlGameC");
    gameLayout->Place(pnlGameC, Align::Client, {0, 0, kDesignClientWidth, 572});

    // The page control is placed by the resize rule, not by the layout.
    auto* bodyLayout = new AlignLayout(pnlGameC, {kDesignClientWidth, 572});
    PageControl1 = new PageControl(pnlGameC, kPageDesignSize + QSize(2, 2) * kPageOverhang);
    PageControl1->setObjectName("PageControl1");
    TabSheet4 = PageControl1->AddPage("TabSheet4", QStringLiteral("网页"));
    TabSheet1 = PageControl1->AddPage("TabSheet1", QStringLiteral("演播厅"));
    PageControl1->SetTabsVisible(false);
    PageControl1->setCurrentWidget(TabSheet1);

    auto* webLayout = new AlignLayout(TabSheet4, kPageDesignSize);
    webLayout->setContentsMargins(kPageOverhang, kPageOverhang, kPageOverhang, kPageOverhang);
    wbMain = Browser(platform_, TabSheet4, "wbMain");
    webLayout->Place(wbMain, Align::Client, QRect(QPoint(), kPageDesignSize));

    auto* pageLayout = new AlignLayout(TabSheet1, kPageDesignSize);
    pageLayout->setContentsMargins(kPageOverhang, kPageOverhang, kPageOverhang, kPageOverhang);
    pnlMain = form::Panel(TabSheet1, "pnlMain");
    pageLayout->Place(pnlMain, Align::Client, QRect(QPoint(), kPageDesignSize));

    auto* mainLayout = new AlignLayout(pnlMain, kPageDesignSize);
    pnlFunALl = form::Panel(pnlMain, "pnlFunALl");
    mainLayout->Place(pnlFunALl, Align::Left, {0, 0, 211, kPageDesignSize.height()});
    Splitter1 = form::Panel(pnlMain, "Splitter1");
    Splitter1->hide();
    mainLayout->Place(Splitter1, Align::Left, {211, 0, 1, kPageDesignSize.height()});
    pnlHomePageMain = form::Panel(pnlMain, "pnlHomePageMain");
    mainLayout->Place(pnlHomePageMain, Align::Client,
                      {212, 0, kDesignClientWidth - 212, kPageDesignSize.height()});

    BuildTreeColumn(pnlFunALl);
    BuildPlayColumn(pnlHomePageMain);

    pnlStatus = form::Panel(pnlGameC, "pnlStatus", QColor(213, 220, 241));
    bodyLayout->Place(pnlStatus, Align::Bottom, {0, 545, kDesignClientWidth, 27});
}

void TfrmMain::BuildTreeColumn(QWidget* column) {
    const int height = kPageDesignSize.height();
    auto* layout = new AlignLayout(column, {211, height});

    pnlSearch = form::Panel(column, "pnlSearch");
    layout->Place(pnlSearch, Align::Top, {0, 0, 211, 25});
    pnlAds = form::Panel(column, "pnlAds", {}, form::Bevel::Raised);
    pnlAds->hide();
    layout->Place(pnlAds, Align::Bottom, {0, height - 200, 211, 200});
    pnlFuncTree = form::Panel(column, "pnlFuncTree");
    layout->Place(pnlFuncTree, Align::Client, {0, 25, 211, height - 225});

    auto* searchLayout = new AlignLayout(pnlSearch, {211, 25});
    imgSearchBg = form::Image(pnlSearch, "imgSearchBg", "search_field", true);
    searchLayout->Place(imgSearchBg, Align::None, {0, 1, 211, 24});
    edtkey = new QLineEdit(pnlSearch);
    edtkey->setObjectName("edtkey");
    edtkey->setFrame(false);
    edtkey->setFont(form::SongTi(12));
    edtkey->setStyleSheet("QLineEdit { background: transparent; color: grey; border: none; }");
    searchLayout->Place(edtkey, Align::None, {7, 6, 175, 18}, Anchors::TopRight());
    imgSearch = form::Image(pnlSearch, "imgSearch", "search_button", false);
    imgSearch->setCursor(Qt::PointingHandCursor);
    searchLayout->Place(imgSearch, Align::None, {185, 3, 21, 20});

    auto* treeLayout = new AlignLayout(pnlFuncTree, {211, height - 225});
    tv1 = new ProgrammeTreeView(pnlFuncTree);
    tv1->setObjectName("tv1");
    form::SetTag(tv1, 1);
    tv1->setFrameShape(QFrame::NoFrame);
    tv1->setHeaderHidden(true);
    tv1->setRootIsDecorated(false); // no buttons
    tv1->setItemsExpandable(true);
    tv1->setExpandsOnDoubleClick(false);
    tv1->setAllColumnsShowFocus(true); // whole-row selection
    tv1->setSelectionBehavior(QAbstractItemView::SelectRows);
    tv1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tv1->setUniformRowHeights(true);
    tv1->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    tv1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    tv1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff); // the drawn bar stands in for it
    tv1->setIndentation(15);
    tv1->setIconSize({16, 16});
    tv1->setFont(form::TreeFont(13));
    tv1->setStyleSheet(QString("QTreeView { background: %1; color: %2; }"
                               "QTreeView::item { height: 24px; }"
                               "QTreeView::item:selected { background: %3; color: %2; }")
                           .arg(kTreeBackground.name(), kTreeText.name(), kTreeSelection.name()));
    treeLayout->Place(tv1, Align::Client, {0, 0, 211, height - 225});

    // Its own ground: the selected row's blue must not show on either side of the thumb.
    pnlScroll = form::Panel(pnlFuncTree, "pnlScroll", kTreeBackground);
    pnlScroll->setGeometry(197, 1, 13, 293); // placed by the resize rule
    pnlGeli = form::Panel(pnlFuncTree, "pnlGeli");
    pnlGeli->hide();
    treeLayout->Place(pnlGeli, Align::Bottom, {0, height - 227, 211, 2});

    auto* scrollLayout = new AlignLayout(pnlScroll, {13, 293});
    imgScrollTop = form::Image(pnlScroll, "imgScrollTop", "scroll_top", true);
    scrollLayout->Place(imgScrollTop, Align::Top, {0, 0, 13, 9});
    imgScrollBottom = form::Image(pnlScroll, "imgScrollBottom", "scroll_bottom", true);
    scrollLayout->Place(imgScrollBottom, Align::Bottom, {0, 284, 13, 9});
    imgScrollMiddle = form::Image(pnlScroll, "imgScrollMiddle", "scroll_middle", true);
    scrollLayout->Place(imgScrollMiddle, Align::Client, {0, 9, 13, 275});
    // The thumb pieces are moved by the scroll bar's own arithmetic.
    imgScrollTop2 = form::Image(pnlScroll, "imgScrollTop2", "scroll_thumb_top", true);
    imgScrollTop2->setGeometry(0, 9, 13, 3);
    imgScrollMiddle2 = form::Image(pnlScroll, "imgScrollMiddle2", "scroll_thumb_middle", true);
    imgScrollMiddle2->setGeometry(0, 12, 13, 105);
    imgScrollBottom2 = form::Image(pnlScroll, "imgScrollBottom2", "scroll_thumb_bottom", true);
    imgScrollBottom2->setGeometry(0, 117, 13, 3);
    pnlScroll->raise();

    auto* adsLayout = new AlignLayout(pnlAds, {211, 200});
    wbAds = Browser(platform_, pnlAds, "wbAds");
    adsLayout->Place(wbAds, Align::Client, {0, 0, 211, 200});
}

void TfrmMain::BuildPlayColumn(QWidget* column) {
    auto* columnLayout = new AlignLayout(column, kPlayDesignSize);
    pnlwbMain = form::Panel(column, "pnlwbMain");
    columnLayout->Place(pnlwbMain, Align::Client, QRect(QPoint(), kPlayDesignSize));
    auto* wbMainLayout = new AlignLayout(pnlwbMain, kPlayDesignSize);
    pnlPlay = form::Panel(pnlwbMain, "pnlPlay");
    wbMainLayout->Place(pnlPlay, Align::Client, QRect(QPoint(), kPlayDesignSize));

    auto* playLayout = new AlignLayout(pnlPlay, kPlayDesignSize);
    pnlPlayFlv = form::Panel(pnlPlay, "pnlPlayFlv", QColor(238, 243, 250));
    pnlPlayFlv->hide();
    playLayout->Place(pnlPlayFlv, Align::Bottom, {0, 488, kPlayDesignSize.width(), 50});
    pnlplayMain = form::Panel(pnlPlay, "pnlplayMain");
    playLayout->Place(pnlplayMain, Align::Client, {0, 0, kPlayDesignSize.width(), 488});
    BuildTransportBar(pnlPlayFlv);

    const QSize mainSize(kPlayDesignSize.width(), 488);
    auto* mainLayout = new AlignLayout(pnlplayMain, mainSize);
    ShockwaveFlash1 = platform_.CreateFlashControl(pnlplayMain).release();
    if (!ShockwaveFlash1)
        ShockwaveFlash1 = new BlankFlashControl(pnlplayMain); // no Flash: the place stays empty
    ShockwaveFlash1->setObjectName("ShockwaveFlash1");
    ShockwaveFlash1->hide();
    mainLayout->Place(ShockwaveFlash1, Align::Client, QRect(QPoint(), mainSize));
    wbMp3 = Browser(platform_, pnlplayMain, "wbMp3");
    mainLayout->Place(wbMp3, Align::Client, QRect(QPoint(), mainSize));
    txtProgramme = new TextProgrammeView(pnlplayMain);
    txtProgramme->hide();
    textFetch_ = new TextFetch(this);
    mainLayout->Place(txtProgramme, Align::Client, QRect(QPoint(), mainSize));

    pnlPauseAds = form::Panel(pnlplayMain, "pnlPauseAds");
    pnlPauseAds->hide();
    pnlPauseAds->setGeometry(208, 112, 302, 252); // centred by the resize rule when shown
    wbPauseAds = Browser(platform_, pnlPauseAds, "wbPauseAds");
    wbPauseAds->setGeometry(8, 8, 289, 233);
    pnlPauseAdsClose = form::Panel(pnlPauseAds, "pnlPauseAdsClose");
    pnlPauseAdsClose->setGeometry(288, 0, 13, 13);
    auto* closeLayout = new AlignLayout(pnlPauseAdsClose, {13, 13});
    imgPauseAdsClose = form::Image(pnlPauseAdsClose, "imgPauseAdsClose", "pause_ads_close", true);
    imgPauseAdsClose->setCursor(Qt::PointingHandCursor);
    closeLayout->Place(imgPauseAdsClose, Align::Client, {0, 0, 13, 13});

    pnlVolume = form::Panel(pnlPlay, "pnlVolume", {}, form::Bevel::Raised);
    pnlVolume->hide();
    playLayout->Place(pnlVolume, Align::None, {385, 417, 30, 71}, Anchors::RightBottom());
    auto* volumeLayout = new AlignLayout(pnlVolume, {30, 71});
    imgVolume = form::Image(pnlVolume, "imgVolume", "volume_background", true);
    volumeLayout->Place(imgVolume, Align::Client, {0, 0, 30, 71});
    TrackBar2 = new QSlider(Qt::Vertical, pnlVolume);
    TrackBar2->setObjectName("TrackBar2");
    TrackBar2->setRange(0, 255);
    TrackBar2->setInvertedAppearance(true); // the minimum at the top
    TrackBar2->setTickPosition(QSlider::NoTicks);
    form::SetTag(TrackBar2, -1);
    volumeLayout->Place(TrackBar2, Align::None, {8, 3, 17, 63});
}

} // namespace luming
