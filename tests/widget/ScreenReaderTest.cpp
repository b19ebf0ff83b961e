// What a screen reader is told while a programme plays: the keyboard focus stays where the child
// put it, only real changes are told, and what changes out of the focus's sight is announced.
// The accessibility events are caught where Qt hands them to the platform.
#include "config/Settings.h"
#include "platform/mpv/PlayerBar.h"
#include "playback/FlvBridge.h"
#include "shell/ImageControl.h"
#include "shell/StatusLabel.h"
#include "shell/TfrmMain.h"
#include "support/Edition.h"
#include "support/EventWait.h"
#include "support/FakePlatform.h"
#include "support/TempDir.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSlider>
#include <QTest>
#include <QToolButton>
#include <QTreeView>
#include <private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

#include <algorithm>

#include <gtest/gtest.h>

using namespace luming;
using namespace luming::test;

namespace {

// 唐诗: a video and a poem read aloud that are in the cache, and one that has to be fetched.
constexpr char kCatalogue[] = "<?xml version=\"1.0\" encoding=\"utf-8\"?><channel>"
                              "<i><type>0</type><id>1</id><pid></pid><name>唐诗</name></i>"
                              "<i><type>4</type><id>101</id><pid>1</pid><name>静夜思</name></i>"
                              "<i><type>2</type><id>102</id><pid>1</pid><name>春晓</name></i>"
                              "<i><type>2</type><id>103</id><pid>1</pid><name>咏鹅</name></i>"
                              "</channel>";

struct Told {
    QObject* object;
    QAccessible::Event type;
    QString name; // the object's name as it was told
};
std::vector<Told> told;

void Catch(QAccessibleEvent* event) {
    QAccessibleInterface* described = event->accessibleInterface();
    told.push_back({event->object(), event->type(),
                    described ? described->text(QAccessible::Name) : QString()});
}

class ScreenReader : public ::testing::Test {
protected:
    void SetUp() override {
        settings =
            MakeEdition(temp.path(), kCatalogue, "[Info]\n1=0\n11=0\n", {"101.flv", "102.mp3"});
        window = std::make_unique<TfrmMain>(settings, platform);
        window->show();
        QApplication::processEvents();
        told.clear();
        // As when a screen reader listens: Qt then tells what changes.
        Accessibility()->setActive(true);
        QAccessible::installUpdateHandler(&Catch);
    }
    void TearDown() override {
        QAccessible::installUpdateHandler(nullptr);
        Accessibility()->setActive(false);
    }
    static QPlatformAccessibility* Accessibility() {
        return QGuiApplicationPrivate::platformIntegration()->accessibility();
    }

    FakeFlashControl& Flash() { return *static_cast<FakeFlashControl*>(window->ShockwaveFlash1); }
    // The video plays at `seconds` of its 569.
    void VideoPlaysAt(int seconds) {
        Flash().replies[std::string(kPlayStateRequest)] = "<number>1</number>";
        Flash().replies[std::string(kDurationRequest)] = "<number>569</number>";
        Flash().replies[std::string(kPositionRequest)] =
            "<number>" + std::to_string(seconds) + "</number>";
        window->TimerPlayListTimer();
    }
    int Count(QObject* object, QAccessible::Event type) const {
        return static_cast<int>(std::count_if(told.begin(), told.end(), [&](const Told& each) {
            return each.object == object && each.type == type;
        }));
    }
    // What the window announced, in order.
    QStringList Announced() const {
        QStringList said;
        for (const Told& each : told)
            if (each.type == QAccessible::ObjectShow &&
                each.object->objectName() == QStringLiteral("announcer"))
                said << each.name;
        return said;
    }

    TempDir temp;
    Settings settings;
    FakePlatform platform;
    std::unique_ptr<TfrmMain> window;
};

} // namespace

TEST_F(ScreenReader, APlayingProgrammeTellsNoChangeThatIsNone) {
    // The remembered video started with the window.
    for (int second = 10; second < 15; ++second)
        VideoPlaysAt(second);
    EXPECT_EQ(window->lblTime->text(), QStringLiteral("00:14/09:29"));
    EXPECT_EQ(Count(window->btnPlay, QAccessible::NameChanged), 0) << "still 暂停";
    EXPECT_EQ(Count(window->lblTime, QAccessible::NameChanged), 0) << "the clock is read, not told";
    EXPECT_EQ(Count(window->pnlLoadAll, QAccessible::ValueChanged), 0);
    EXPECT_EQ(Count(window->lblStatus, QAccessible::NameChanged), 0);

    window->btnPlay->click();
    ASSERT_EQ(Count(window->btnPlay, QAccessible::NameChanged), 1);
    EXPECT_EQ(window->btnPlay->accessibleName(), QStringLiteral("继续播放"));
}

TEST_F(ScreenReader, ThePlayerMoviesOwnClockTellsNoNewNames) {
    PlayerBar bar(nullptr);
    bar.SetShowDigits(true);
    told.clear();
    for (double second = 10; second < 15; ++second)
        bar.Show(true, second, 569);
    ASSERT_EQ(bar.findChild<QLabel*>("Digits")->text(), QStringLiteral("00:14/09:29"));
    EXPECT_TRUE(std::none_of(told.begin(), told.end(), [](const Told& each) {
        return each.type == QAccessible::NameChanged;
    }));
}

TEST_F(ScreenReader, TheFocusStaysOnThePlayButtonWhenTheListMovesOn) {
    window->btnPlay->setFocus(Qt::TabFocusReason);
    VideoPlaysAt(20);
    // The video ends: the next programme, fetched, loads.
    Flash().replies[std::string(kPlayStateRequest)] = "<number>0</number>";
    window->TimerPlayListTimer();
    ASSERT_EQ(window->Playback().CurrentPlay->Id, "102");
    window->btnNextClick(); // 咏鹅, from the vendor: it loads
    ASSERT_EQ(window->lblStatus->text(), QStringLiteral("正在装载,请稍等"));
    EXPECT_EQ(window->focusWidget(), window->btnPlay);

    // Space on the button while it loads is pressed in vain, as on a disabled button.
    QTest::keyClick(window->btnPlay, Qt::Key_Space);
    EXPECT_EQ(window->lblStatus->text(), QStringLiteral("正在装载,请稍等"));
    EXPECT_EQ(window->focusWidget(), window->btnPlay);
}

TEST_F(ScreenReader, TheTreesRowCursorMovesOnlyWithTheTreesFocus) {
    window->btnSound->setFocus(Qt::TabFocusReason);
    QModelIndexList cursorAt;
    QObject::connect(window->tv1->selectionModel(), &QItemSelectionModel::currentChanged,
                     [&](const QModelIndex& current) {
                         if (current.isValid())
                             cursorAt << current;
                     });
    window->btnNextClick();
    window->btnNextClick();
    EXPECT_EQ(window->Channel().CurrentIndex, 3);
    EXPECT_TRUE(cursorAt.isEmpty()) << "a reader would be called to the row";
    // The row still shows as chosen.
    EXPECT_TRUE(window->tv1->selectionModel()->isSelected(
        window->tv1->model()->index(2, 0, window->tv1->model()->index(0, 0))));
}

TEST_F(ScreenReader, ChangesOutOfTheFocussSightAreAnnounced) {
    window->btnSound->setFocus(Qt::TabFocusReason);
    window->btnNextClick();
    window->btnPreClick();
    EXPECT_EQ(Announced(), (QStringList{QStringLiteral("春晓"), QStringLiteral("静夜思")}));

    told.clear();
    window->btnPlayClick(); // Space in the window: the play button does not have the focus
    QTest::keyClick(window->btnSound, Qt::Key_Space);
    EXPECT_EQ(Announced(), QStringList{QStringLiteral("暂停中")})
        << "the mute button says itself that it is checked";

    told.clear();
    window->edtkey->setFocus(Qt::TabFocusReason);
    window->edtkey->setText(QStringLiteral("春"));
    QTest::keyClick(window->edtkey, Qt::Key_Return);
    EXPECT_EQ(Announced(), QStringList{QStringLiteral("搜索结果: 1 个节目")});

    // A read-along's line as the voice reaches it: its status line's new name alone goes unheard.
    WriteFile(temp.path() / "suite" / "26" / "Caches" / "26" / "102.lrc",
              "[00:01.00]春眠不觉晓\n[00:01.00]chūn mián bù jué xiǎo\n");
    window->btnNextClick(); // 春晓
    static_cast<FakeMediaPlayer*>(window->AudioPlayer)->position = 1500;
    const QString line = QStringLiteral("春眠不觉晓 chūn mián bù jué xiǎo");
    EXPECT_TRUE(WaitFor([&] { return Announced().contains(line); }, 10000))
        << Announced().join(" | ").toStdString();
    // A reader reads each announcement when it comes to its event, after the line was lit too:
    // the programme's name must still be there to read.
    const auto name = std::find_if(told.rbegin(), told.rend(), [](const Told& each) {
        return each.type == QAccessible::ObjectShow && each.name == QStringLiteral("春晓");
    });
    ASSERT_NE(name, told.rend());
    EXPECT_EQ(QAccessible::queryAccessibleInterface(name->object)->text(QAccessible::Name),
              QStringLiteral("春晓"));
}

TEST_F(ScreenReader, TheVolumeIsReadInPercent) {
    QAccessibleValueInterface* volume =
        QAccessible::queryAccessibleInterface(window->TrackBar2)->valueInterface();
    ASSERT_NE(volume, nullptr);
    EXPECT_EQ(volume->maximumValue().toInt(), 100);
    window->TrackBar2->setValue(0); // the top, loudest
    EXPECT_EQ(volume->currentValue().toInt(), 100);
    window->TrackBar2->setValue(128); // level 127 of 255
    EXPECT_EQ(volume->currentValue().toInt(), 50);
    window->TrackBar2->setValue(255);
    EXPECT_EQ(volume->currentValue().toInt(), 0);
}

TEST_F(ScreenReader, ThePlayModeMenuIsAWindowOfTheApplicationAndTheButtonSaysTheMode) {
    EXPECT_EQ(window->sbtnPlayMode->accessibleName(), QStringLiteral("播放方式: 循环播放"));
    EXPECT_EQ(window->sbtnPlayMode->toolTip(), QStringLiteral("选择节目播放方式 (L)"));
    QAccessibleInterface* application = QAccessible::queryAccessibleInterface(qApp);
    const auto menus = [application] {
        int count = 0;
        for (int each = 0; each < application->childCount(); ++each)
            count += application->child(each)->role() == QAccessible::PopupMenu;
        return count;
    };
    EXPECT_EQ(menus(), 0);
    window->PlayModeMenuAtButton();
    EXPECT_EQ(menus(), 1);
    // Each item is found in its menu (a reader drops one that is not) and says if it holds.
    QAccessibleInterface* item = QAccessible::queryAccessibleInterface(window->N14);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(window->pMenuPlayMode)->indexOfChild(item), 1);
    EXPECT_TRUE(item->state().checkable);
    EXPECT_FALSE(item->state().checked);
    window->N14->trigger();
    window->pMenuPlayMode->hide();
    EXPECT_EQ(menus(), 0);
    EXPECT_EQ(window->sbtnPlayMode->accessibleName(), QStringLiteral("播放方式: 顺序播放"));
}

TEST_F(ScreenReader, EnterOnRestoreLeavesTheFocusOnTheButtonInItsPlace) {
    ASSERT_TRUE(window->limgNor->isVisible()) << "the window starts maximised";
    window->limgNor->setFocus(Qt::TabFocusReason);
    QTest::keyClick(window->limgNor, Qt::Key_Return);
    ASSERT_TRUE(window->limgMax->isVisible());
    EXPECT_EQ(window->focusWidget(), window->limgMax) << "not the close button beside it";
    QTest::keyClick(window->limgMax, Qt::Key_Return);
    EXPECT_EQ(window->focusWidget(), window->limgNor);
}
