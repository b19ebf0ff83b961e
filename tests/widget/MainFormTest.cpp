// The form as built: every control in its place, the layout rules on resize, the pictures of the
// title buttons, the message filter.
#include "config/Settings.h"
#include "platform/PlaceholderWebPane.h"
#include "shell/FormParts.h"
#include "shell/ImageControl.h"
#include "shell/MessageFilter.h"
#include "shell/PageControl.h"
#include "shell/Skin.h"
#include "shell/StatusLabel.h"
#include "shell/TfrmMain.h"
#include "support/FakePlatform.h"

#include <QApplication>
#include <QCursor>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>

#include <gtest/gtest.h>

using namespace luming;
using luming::test::FakePlatform;

namespace {

class MainForm : public ::testing::Test {
protected:
    void SetUp() override {
        settings.ExitOnClose = "1";
        window = std::make_unique<TfrmMain>(settings, platform);
        window->limgNorClick(); // the window starts maximised; the design size is the normal one
        window->show();
        QApplication::processEvents();
    }

    template <typename T = QWidget> T* Control(const char* name) {
        T* control = window->findChild<T*>(name);
        EXPECT_NE(control, nullptr) << name;
        return control;
    }

    QRect InWindow(const char* name) {
        QWidget* control = Control(name);
        return QRect(control->mapTo(window.get(), QPoint()), control->size());
    }

    Settings settings;
    FakePlatform platform;
    std::unique_ptr<TfrmMain> window;
};

void Press(QWidget* target, Qt::MouseButton button, QPoint at = {2, 2}) {
    QMouseEvent event(QEvent::MouseButtonPress, at, target->mapToGlobal(at), button, button,
                      Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

void Release(QWidget* target, Qt::MouseButton button, QPoint at = {2, 2}) {
    QMouseEvent event(QEvent::MouseButtonRelease, at, target->mapToGlobal(at), button, Qt::NoButton,
                      Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

void Move(QWidget* target, QPoint at = {3, 3}) {
    QMouseEvent event(QEvent::MouseMove, at, target->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                      Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

void Leave(QWidget* target) {
    QEvent event(QEvent::Leave);
    QApplication::sendEvent(target, &event);
}

} // namespace

TEST_F(MainForm, EveryControlStandsAtItsDesignPlace) {
    struct Expected {
        const char* name;
        const char* parent;
        QRect geometry; // inside the parent, at the design size of the window
        bool hidden;
    };
    const Expected table[] = {
        {"pnlTop", "TfrmMain", {0, 0, 823, 20}, false},
        {"pnlGame", "TfrmMain", {0, 20, 823, 572}, false},
        {"pnlExitFullScreen", "TfrmMain", {513, 560, 30, 24}, true},
        {"btnExitFullScreen", "pnlExitFullScreen", {0, 0, 30, 24}, false},
        {"imgTl", "pnlTop", {0, 0, 5, 20}, false},
        {"imgTr", "pnlTop", {818, 0, 5, 20}, false},
        {"imgTc", "pnlTop", {5, 0, 813, 20}, false},
        {"imgLogo", "pnlTop", {8, 0, 19, 20}, false},
        {"lblSysVer", "pnlTop", {33, 4, 192, 13}, false},
        {"SpeedButton1", "pnlTop", {626, 1, 73, 18}, false},
        {"limgMenu", "pnlTop", {676, 0, 33, 19}, true},
        {"limgMin", "pnlTop", {709, 0, 33, 19}, false},
        {"limgMax", "pnlTop", {742, 0, 33, 19}, false},
        {"limgNor", "pnlTop", {742, 0, 33, 19}, true},
        {"limgClose", "pnlTop", {775, 0, 43, 19}, false},
        {"limgClose2", "pnlTop", {775, 0, 43, 19}, true},
        {"pnlGameC", "pnlGame", {0, 0, 823, 572}, false},
        {"pnlStatus", "pnlGameC", {0, 545, 823, 27}, false},
        {"PageControl1", "pnlGameC", {-5, -5, 833, 555}, false},
        {"pnlMain", "TabSheet1", {5, 5, 823, 545}, false},
        {"pnlFunALl", "pnlMain", {0, 0, 211, 545}, false},
        {"Splitter1", "pnlMain", {211, 0, 1, 545}, true},
        {"pnlHomePageMain", "pnlMain", {211, 0, 612, 545}, false},
        {"pnlSearch", "pnlFunALl", {0, 0, 211, 25}, false},
        {"imgSearchBg", "pnlSearch", {0, 1, 211, 24}, false},
        {"edtkey", "pnlSearch", {7, 6, 175, 18}, false},
        {"imgSearch", "pnlSearch", {185, 3, 21, 20}, false},
        {"pnlFuncTree", "pnlFunALl", {0, 25, 211, 520}, false},
        {"tv1", "pnlFuncTree", {0, 0, 211, 520}, false},
        {"pnlGeli", "pnlFuncTree", {0, 518, 211, 2}, true},
        {"pnlAds", "pnlFunALl", {0, 345, 211, 200}, true},
        {"wbAds", "pnlAds", {0, 0, 211, 200}, false},
        {"pnlPlay", "pnlwbMain", {0, 0, 612, 545}, false},
        {"pnlPlayFlv", "pnlPlay", {0, 495, 612, 50}, true},
        {"pnlplayMain", "pnlPlay", {0, 0, 612, 545}, false},
        {"ShockwaveFlash1", "pnlplayMain", {0, 0, 612, 545}, true},
        {"wbMp3", "pnlplayMain", {0, 0, 612, 545}, false},
        {"pnlPauseAds", "pnlplayMain", {208, 112, 302, 252}, true},
        {"wbPauseAds", "pnlPauseAds", {8, 8, 289, 233}, false},
        {"pnlPauseAdsClose", "pnlPauseAds", {288, 0, 13, 13}, false},
        {"pnlVolume", "pnlPlay", {398, 424, 30, 71}, true},
        {"TrackBar2", "pnlVolume", {8, 3, 17, 63}, false},
        {"imgBottomLeft", "pnlStatus", {0, 0, 5, 27}, false},
        {"imgBottom", "pnlStatus", {5, 0, 813, 27}, false},
        {"imgBottomRight", "pnlStatus", {818, 0, 5, 27}, false},
        {"lblSysVersion", "pnlStatus", {11, 6, 131, 13}, false},
        {"sbtnSystemSetting", "pnlStatus", {143, 4, 54, 18}, true},
        {"lblWeb", "pnlStatus", {200, 6, 472, 13}, false},
        {"pnlStatusBarAds", "pnlStatus", {203, 0, 460, 27}, true},
        {"sbtnQQOnline", "pnlStatus", {680, 4, 61, 18}, true},
        {"sbtnMore", "pnlStatus", {744, 4, 73, 18}, false},
    };
    for (const Expected& expected : table) {
        QWidget* control = Control(expected.name);
        if (!control)
            continue;
        EXPECT_EQ(control->parentWidget()->objectName(), expected.parent) << expected.name;
        EXPECT_EQ(control->geometry(), expected.geometry) << expected.name;
        EXPECT_EQ(control->isHidden(), expected.hidden) << expected.name;
    }
}

TEST_F(MainForm, ControlsCarryTheirTextsHintsAndTags) {
    const std::pair<const char*, const char*> hints[] = {
        {"limgMin", "最小化"},
        {"limgMax", "最大化"},
        {"limgNor", "还原"},
        {"limgClose", "关闭"},
        {"btnPre", "上一首"},
        {"btnPlay", "播放/暂停"},
        {"btnNext", "下一首"},
        {"btnSound", "控制音量"},
        {"imgSound", "控制音量"},
        {"sbtnFullScreen", "全屏播放"},
        {"sbtnPlayMode", "选择节目播放方式"},
        {"btnExitFullScreen", "退出全屏"},
        {"sbtnQQOnline", "QQ在线服务"},
        {"sbtnMore", "更多资源"},
    };
    for (const auto& [name, hint] : hints) {
        QWidget* control = Control(name);
        ASSERT_NE(control, nullptr);
        EXPECT_TRUE(control->toolTip().startsWith(QString::fromUtf8(hint))) << name; // and a key
        // The mute button is a switch, named for what it switches on: 静音; the status bar's
        // 更多资源 is named by its place, as the title bar's one with the same caption.
        if (control != Control("btnSound") && control != Control("sbtnMore")) {
            EXPECT_EQ(control->accessibleName(), QString::fromUtf8(hint)) << name;
        }
    }
    EXPECT_EQ(Control<QLabel>("lblStatus")->text(), QStringLiteral("正在缓冲,请稍等"));
    EXPECT_EQ(Control<QLabel>("lblTime")->text(), "00:00/00:00");
    EXPECT_EQ(Control<QToolButton>("SpeedButton1")->text(), QStringLiteral("更多资源"));
    for (const char* name : {"SpeedButton1", "sbtnMore", "sbtnQQOnline", "sbtnSystemSetting",
                             "pnlLoadAll", "pnlLoadPercent"}) {
        EXPECT_EQ(form::Tag(Control(name)), 99) << name;
        EXPECT_FALSE(IsSkinned(Control(name))) << name;
    }
    EXPECT_TRUE(IsSkinned(Control("btnPlay")));
    EXPECT_EQ(form::Tag(Control("tv1")), 1);

    auto* pages = Control<PageControl>("PageControl1");
    EXPECT_EQ(pages->count(), 2);
    EXPECT_EQ(pages->tabText(0), QStringLiteral("网页"));
    EXPECT_EQ(pages->tabText(1), QStringLiteral("演播厅"));
    EXPECT_EQ(pages->currentWidget()->objectName(), "TabSheet1");

    const auto* menu = Control<QMenu>("pMenuPlayMode");
    QStringList captions;
    for (const QAction* item : menu->actions())
        captions << item->objectName() + "=" + item->text();
    EXPECT_EQ(captions,
              QStringList({QStringLiteral("N13=循环播放"), QStringLiteral("N14=顺序播放"),
                           QStringLiteral("N15=单曲循环"), QStringLiteral("N16=随机播放")}));
    EXPECT_FALSE(window->TimerPlayList->isActive());
    EXPECT_TRUE(window->TimerSystemMsg->isActive());
    EXPECT_EQ(window->TimerSystemMsg->interval(), 60000);
    EXPECT_FALSE(window->Timer1->isActive());
}

TEST_F(MainForm, ResizingKeepsTheTreeColumnAndTheRightEdges) {
    window->resize(1200, 800);
    QApplication::processEvents();
    EXPECT_EQ(Control("pnlFunALl")->width(), 211);
    EXPECT_EQ(Control("pnlHomePageMain")->width(), 1200 - 211);
    EXPECT_EQ(InWindow("limgClose").right(), 1200 - 5 - 1);
    EXPECT_EQ(Control("PageControl1")->geometry(), QRect(-5, -5, 1210, 800 - 20 - 27 + 10));
    EXPECT_EQ(InWindow("pnlStatus"), QRect(0, 800 - 27, 1200, 27));
    // The time label keeps its distance from the transport bar's right edge.
    QWidget* bar = Control("pnlPlayFlv");
    EXPECT_EQ(bar->width() - Control("lblTime")->geometry().right(), 599 - 584);
    // The scroll bar lies over the tree's right edge, 3 pixels shorter than the tree area.
    EXPECT_EQ(Control("pnlScroll")->geometry(),
              QRect(211 - 13, 1, 13, Control("pnlFuncTree")->height() - 3));
}

TEST_F(MainForm, ThePauseAdvertisementIsCentredWhenShown) {
    QWidget* ads = Control("pnlPauseAds");
    ads->show();
    window->resize(1001, 700);
    QApplication::processEvents();
    QWidget* area = Control("pnlplayMain");
    EXPECT_EQ(ads->x(), qRound((area->width() - 302) / 2.0 - 0.25)); // halves go to even
    EXPECT_LE(std::abs(ads->y() - (area->height() - 252) / 2), 1);
}

TEST_F(MainForm, MaximiseAndRestoreThroughTheButtonsAndTheTitleBar) {
    const QScreen* screen = window->screen();
    window->limgMaxClick();
    EXPECT_EQ(window->geometry(), screen->availableGeometry()); // the panels stay visible
    EXPECT_TRUE(window->windowState() & Qt::WindowMaximized) << "the desktop maximises it too";
    EXPECT_EQ(window->FrameMaximized, 1);
    EXPECT_TRUE(window->limgMax->isHidden());
    EXPECT_FALSE(window->limgNor->isHidden());

    // A left press on the title bar of a maximised window does not move it.
    const QPoint before = window->pos();
    Press(window->imgTc, Qt::LeftButton);
    Move(window->imgTc, {40, 40});
    Release(window->imgTc, Qt::LeftButton);
    EXPECT_EQ(window->pos(), before);

    emit window->imgTc->doubleClicked();
    EXPECT_EQ(window->FrameMaximized, 0);
    EXPECT_EQ(window->size(), QSize(823, 592));
    EXPECT_EQ(window->NormalWidth, 823);
    EXPECT_EQ(window->NormalHeight, 592);
    EXPECT_FALSE(window->limgMax->isHidden());
    EXPECT_TRUE(window->limgNor->isHidden());

    emit window->imgTc->doubleClicked();
    EXPECT_EQ(window->FrameMaximized, 1);
}

TEST_F(MainForm, AWindowRestoredFromMaximisedLiesWhollyInTheFreeArea) {
    // A window that fits (the offscreen screen is 800 × 600) and one that does not.
    const QRect work = window->screen()->availableGeometry();
    window->setGeometry(work.right() - 100, work.bottom() - 50, 400, 300); // mostly off the screen
    window->limgMaxClick();
    window->limgNorClick();
    EXPECT_FALSE(window->windowState() & Qt::WindowMaximized);
    EXPECT_EQ(window->geometry(), QRect(work.right() + 1 - 400, work.bottom() + 1 - 300, 400, 300));

    window->setGeometry(work.left() - 100, work.top() - 50, work.width() + 23, 300);
    window->limgMaxClick();
    window->limgNorClick();
    EXPECT_EQ(window->geometry(), QRect(work.left(), work.top(), work.width() + 23, 300));
}

TEST_F(MainForm, TheTitleBarDragsWithTheLeftButtonOnceThePointerHasMoved) {
    QWidget* bar = window->imgTc;
    const QPoint before = window->pos();
    const QPoint grab = bar->mapToGlobal(QPoint(100, 10));
    const auto dragTo = [&](QPoint offset, Qt::MouseButton held) {
        const QPoint global = grab + offset;
        QMouseEvent move(QEvent::MouseMove, bar->mapFromGlobal(global), global, Qt::NoButton, held,
                         Qt::NoModifier);
        QApplication::sendEvent(bar, &move);
    };
    Press(bar, Qt::RightButton, {100, 10});
    dragTo({50, 50}, Qt::RightButton);
    EXPECT_EQ(window->pos(), before) << "the right button";
    Release(bar, Qt::RightButton, {100, 10});

    Press(bar, Qt::LeftButton, {100, 10});
    dragTo({2, 1}, Qt::LeftButton);
    EXPECT_EQ(window->pos(), before) << "a pointer that shakes in a double click";
    dragTo({30, 20}, Qt::LeftButton);
    EXPECT_EQ(window->pos(), before + QPoint(30, 20));
    dragTo({35, 20}, Qt::LeftButton);
    EXPECT_EQ(window->pos(), before + QPoint(35, 20));
}

TEST_F(MainForm, ATitleButtonLeftByTheWindowShowsItsNormalPicture) {
    window->limgMaxClick();
    QCursor::setPos(window->limgNor->mapToGlobal(QPoint(3, 3)));
    Move(window->limgNor);
    ASSERT_EQ(window->limgNor->picture(), window->limgNor2->picture());
    window->limgNorClick(); // the button hides under the pointer
    window->limgMaxClick();
    EXPECT_EQ(window->limgNor->picture(), window->limgNor1->picture());

    QCursor::setPos(window->limgClose->mapToGlobal(QPoint(3, 3)));
    Move(window->limgClose);
    window->limgNorClick(); // the button moves away from under the pointer
    EXPECT_EQ(window->limgClose->picture(), window->limgClose1->picture());
}

TEST_F(MainForm, TitleButtonPicturesFollowThePointer) {
    tLxsimage* minimise = window->limgMin;
    tLxsimage* maximise = window->limgMax;
    Move(minimise);
    EXPECT_EQ(minimise->picture(), window->limgMin2->picture());
    Press(minimise, Qt::LeftButton);
    EXPECT_EQ(minimise->picture(), window->limgMin3->picture());
    Release(minimise, Qt::RightButton); // a release that is not a click
    EXPECT_EQ(minimise->picture(), window->limgMin2->picture()) << "released: picture 2, not 1";
    // Straight onto the next button.
    Leave(minimise);
    Move(maximise);
    EXPECT_EQ(minimise->picture(), window->limgMin1->picture());
    EXPECT_EQ(maximise->picture(), window->limgMax2->picture());
    EXPECT_FALSE(window->limgMin1->picture().isNull()) << "the pictures are built in";
}

TEST_F(MainForm, CloseAsksWhenExitOnCloseIsOne) {
    platform.dialogs.confirmAnswer = false;
    window->limgCloseClick();
    EXPECT_EQ(platform.dialogs.confirmations, std::vector<std::string>{"您确定退出吗?"});
    EXPECT_FALSE(window->isMinimized());

    platform.dialogs.confirmAnswer = true;
    bool quitBySafety = false;
    QTimer::singleShot(0, window.get(), [this] { window->limgCloseClick(); });
    QTimer::singleShot(5000, qApp, [&] {
        quitBySafety = true;
        qApp->quit();
    });
    qApp->exec();
    EXPECT_FALSE(quitBySafety) << "OK must end the program";
}

TEST_F(MainForm, CloseMinimisesOtherwise) {
    for (const char* value : {"0", "", "yes"}) {
        settings.ExitOnClose = value;
        window->showNormal();
        window->limgCloseClick();
        EXPECT_TRUE(window->isMinimized()) << value;
    }
    EXPECT_TRUE(platform.dialogs.confirmations.empty());
}

TEST_F(MainForm, TheMessageFilterKeepsMenusAndShortcutsAwayFromThePanes) {
    const MessageFilter* filter = window->ApplicationEvents1;
    auto* inside = new QWidget(window->wbMain); // stands for the browser's inner window
    QMouseEvent right(QEvent::MouseButtonPress, QPointF(1, 1), QPointF(1, 1), Qt::RightButton,
                      Qt::RightButton, Qt::NoModifier);
    QMouseEvent left(QEvent::MouseButtonPress, QPointF(1, 1), QPointF(1, 1), Qt::LeftButton,
                     Qt::LeftButton, Qt::NoModifier);
    EXPECT_TRUE(filter->Drops(inside, &right));
    EXPECT_TRUE(filter->Drops(window->wbMp3, &right));
    EXPECT_FALSE(filter->Drops(inside, &left));
    EXPECT_FALSE(filter->Drops(window->wbPauseAds, &right)) << "the pause ad keeps its menu";
    EXPECT_FALSE(filter->Drops(window->tv1, &right));

    QKeyEvent ctrlA(QEvent::KeyPress, Qt::Key_A, Qt::ControlModifier);
    QKeyEvent ctrlN(QEvent::KeyPress, Qt::Key_N, Qt::ControlModifier);
    QKeyEvent plainA(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
    QKeyEvent ctrlC(QEvent::KeyPress, Qt::Key_C, Qt::ControlModifier);
    EXPECT_TRUE(filter->Drops(window->edtkey, &ctrlA)) << "whatever the target";
    EXPECT_TRUE(filter->Drops(window->tv1, &ctrlN));
    EXPECT_FALSE(filter->Drops(window->edtkey, &plainA));
    EXPECT_FALSE(filter->Drops(window->edtkey, &ctrlC));

    // Through the application: Ctrl+A does not select the search text.
    window->edtkey->setText("abc");
    window->edtkey->deselect();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::ControlModifier);
    QApplication::sendEvent(window->edtkey, &press);
    EXPECT_FALSE(window->edtkey->hasSelectedText());
}

TEST_F(MainForm, PagesLoseTheirBorderWhenTheAudioPageCompletes) {
    struct ScriptPane : PlaceholderWebPane {
        using PlaceholderWebPane::PlaceholderWebPane;
        QStringList scripts;
        void RunScript(const QString& script) override { scripts << script; }
    } pane;
    window->WB_Set3DBorderStyle(&pane, false);
    window->WB_Set3DBorderStyle(&pane, true);
    ASSERT_EQ(pane.scripts.size(), 2);
    EXPECT_TRUE(pane.scripts[0].contains("borderStyle = 'none'"));
    EXPECT_TRUE(pane.scripts[0].contains("scroll = 'auto'"));
    EXPECT_TRUE(pane.scripts[1].contains("borderStyle = ''"));
}
