// Where Tab goes, the mark on the control that has the focus, and what a screen reader calls
// each control. Tab follows the window: the search box and its button, the tree, the transport
// bar from left to right, the status bar's button, then the title bar's buttons; web panes are
// left out (a click enters them). Only what can be seen is a stop: the window's full screen
// leaves just its exit button.
#include "catalogue/CatalogueSearch.h"
#include "shell/AccessibleControls.h"
#include "shell/FocusMark.h"
#include "shell/FormParts.h"
#include "shell/ImageControl.h"
#include "shell/ProgrammeTreeModel.h"
#include "shell/StatusLabel.h"
#include "shell/TfrmMain.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QScreen>
#include <QSlider>
#include <QToolButton>
#include <QTreeView>

#include <algorithm>
#include <functional>

namespace luming {

namespace {

// Runs a function when a control is about to take the focus, before the control itself sees it.
class FocusInHook : public QObject {
public:
    FocusInHook(QWidget* control, std::function<void()> action)
        : QObject(control), action_(std::move(action)) {
        control->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::FocusIn)
            action_();
        return false;
    }

private:
    std::function<void()> action_;
};

} // namespace

void TfrmMain::ConnectKeyboardFocus() {
    accessible::Install(this);
    accessible::SetKind(this, accessible::Kind::Window);
    for (QWidget* stop : FocusStops())
        if (stop != edtkey && stop != tv1)
            stop->setFocusPolicy(Qt::TabFocus); // a click does not move the focus there
    for (tLxsimage* button : {limgMin, limgMax, limgNor, limgClose})
        accessible::SetKind(button, accessible::Kind::Button);
    accessible::SetKind(imgSearch, accessible::Kind::Button);
    accessible::SetKind(lblHint, accessible::Kind::Hint);
    accessible::SetKind(imgSound, accessible::Kind::Overlay);

    // The box's hint, which its text shows only while the box is not in use.
    edtkey->setAccessibleName(QString::fromUtf8(kSearchPlaceholder.data(),
                                                static_cast<qsizetype>(kSearchPlaceholder.size())));
    imgSearch->setAccessibleName(QStringLiteral("搜索"));
    tv1->setAccessibleName(QStringLiteral("节目列表"));
    // A switch, on while the sound is off. Its hint stays "控制音量".
    btnSound->setCheckable(true);
    btnSound->setAccessibleName(QStringLiteral("静音"));
    accessible::SetKind(btnSound, accessible::Kind::Switch);
    pnlLoadAll->setAccessibleName(QStringLiteral("播放进度"));
    accessible::SetKind(pnlLoadAll, accessible::Kind::PositionBar);
    accessible::SetTimeLabel(pnlLoadAll, lblTime);
    form::SetHint(TrackBar2, QStringLiteral("调节音量"));
    TrackBar2->setAccessibleName(QStringLiteral("音量"));
    accessible::SetKind(TrackBar2, accessible::Kind::Volume);
    accessible::SetKind(lblStatus, accessible::Kind::Status);
    accessible::SetKind(lblTime, accessible::Kind::Clock);
    // The two buttons do the same, but a reader going round must tell them apart.
    SpeedButton1->setAccessibleName(QStringLiteral("更多资源 (窗口顶部)"));
    sbtnMore->setAccessibleName(QStringLiteral("更多资源 (窗口底部)"));
    for (QWidget*& announcer : announcers_) {
        announcer = new QWidget(this);
        announcer->setObjectName("announcer");
        announcer->setFixedSize(0, 0);
        announcer->setFocusPolicy(Qt::NoFocus);
        accessible::SetKind(announcer, accessible::Kind::Announcer);
    }
    pMenuPlayMode->setAccessibleName(QStringLiteral("节目播放方式"));
    for (QAction* mode : pMenuPlayMode->actions())
        accessible::SetKind(mode, accessible::Kind::Choice);

    // The tree's row cursor (its current index) tells a screen reader which row has the focus,
    // whether or not the tree has it: it is there only while the tree has the focus. The
    // highlight is the selection, which stays.
    const auto placeRowCursor = [this](bool focused) {
        const QModelIndex row = focused ? treeModel_->IndexOf(tree_.Selected()) : QModelIndex();
        if (tv1->currentIndex() == row)
            return;
        followingTree_ = true;
        tv1->selectionModel()->setCurrentIndex(row, QItemSelectionModel::NoUpdate);
        followingTree_ = false;
    };
    const auto followFocus = [this, placeRowCursor] { placeRowCursor(tv1->hasFocus()); };
    connect(treeModel_, &ProgrammeTreeModel::selectedChanged, this, followFocus);
    connect(treeModel_, &ProgrammeTreeModel::treeReset, this, followFocus);
    // A folder opened or closed with the keys is announced: Qt 6.4 tells a reader no change of
    // a row's open state.
    for (const bool open : {true, false})
        connect(tv1, open ? &QTreeView::expanded : &QTreeView::collapsed, this,
                [this, open](const QModelIndex& row) {
                    // Not the other folders that close with it.
                    if (tv1->hasFocus() && row == tv1->currentIndex())
                        Announce(open ? QStringLiteral("已展开") : QStringLiteral("已折叠"));
                });
    // Before the view sees the focus come: without a row cursor it would put one on its first
    // row, and that would choose the row.
    new FocusInHook(tv1, [placeRowCursor] { placeRowCursor(true); });
    // The window opens with the keys in the tree: the arrows choose, Enter plays.
    tv1->setFocus(Qt::OtherFocusReason);
    followFocus();

    focusMark_ = new FocusMark(this);
    focusFollower_ = connect(
        qApp, &QApplication::focusChanged, this, [this, followFocus](QWidget* old, QWidget* now) {
            if (old == tv1 || now == tv1)
                followFocus();
            // After Qt has told of the tree itself: a reader then hears the row.
            if (now == tv1)
                QMetaObject::invokeMethod(
                    this, [this] { accessible::FocusedRowTold(tv1); }, Qt::QueuedConnection);
            const std::vector<QWidget*> stops = FocusStops();
            QWidget* stop =
                std::find(stops.begin(), stops.end(), now) != stops.end() ? now : nullptr;
            // The volume bar's ring goes round its panel: over the bar it would cross the
            // knob's blues, over the panel's edge its bevel.
            if (stop == TrackBar2)
                focusMark_->Follow(pnlVolume, true);
            else
                focusMark_->Follow(stop);
            // The volume bar was shown for the keyboard; it goes as the mouse would take it
            // away.
            if (old == TrackBar2 && now != TrackBar2 && pnlVolume->isVisible())
                pnlVolume->hide();
        });
}

std::vector<QWidget*> TfrmMain::FocusStops() const {
    return {edtkey,     imgSearch,    tv1,       btnPre,       btnPlay,        btnNext,
            pnlLoadAll, btnSound,     TrackBar2, sbtnPlayMode, sbtnFullScreen, btnExitFullScreen,
            sbtnMore,   SpeedButton1, limgMin,   limgMax,      limgNor,        limgClose};
}

bool TfrmMain::CanTakeFocus(const QWidget* stop) const {
    if (ownFullScreen_) // the movie covers the rest of the window
        return stop == btnExitFullScreen && stop->isVisible();
    if (stop == TrackBar2) // its panel comes up when the focus arrives
        return pnlPlayFlv->isVisible() && TrackBar2->isEnabled();
    return stop->isVisible() && stop->isEnabled();
}

bool TfrmMain::focusNextPrevChild(bool next) {
    const std::vector<QWidget*> stops = FocusStops();
    const int count = static_cast<int>(stops.size());
    const auto current = std::find(stops.begin(), stops.end(), focusWidget());
    // From the movie or a web pane, Tab starts again at the first stop (Shift+Tab the last).
    int at =
        current != stops.end() ? static_cast<int>(current - stops.begin()) : (next ? -1 : count);
    for (int step = 0; step < count; ++step) {
        at = ((next ? at + 1 : at - 1) % count + count) % count;
        QWidget* stop = stops[static_cast<size_t>(at)];
        if (!CanTakeFocus(stop))
            continue;
        if (stop == TrackBar2)
            imgSoundMouseMove(); // shows the volume bar, as the pointer over the button does
        stop->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
        return true;
    }
    return false; // nothing to go to; the web panes are not in the order
}

void TfrmMain::Announce(const QString& text, const QWidget* control) {
    if (!announcers_[0] || (control && focusWidget() == control) || text.isEmpty())
        return;
    accessible::Announce(announcers_[nextAnnouncer_], text);
    nextAnnouncer_ = (nextAnnouncer_ + 1) % announcers_.size();
}

void TfrmMain::PressFocusedButton(QWidget* button) {
    if (button == sbtnPlayMode)
        PlayModeMenuAtButton();
    else if (auto* speedButton = qobject_cast<QToolButton*>(button))
        speedButton->click();
    else if (auto* image = qobject_cast<ImageControl*>(button))
        image->Click();
}

bool TfrmMain::IsFocusButton(const QWidget* target) const {
    const std::initializer_list<const QWidget*> buttons = {
        imgSearch,         btnPre,   btnPlay,      btnNext, btnSound, sbtnPlayMode, sbtnFullScreen,
        btnExitFullScreen, sbtnMore, SpeedButton1, limgMin, limgMax,  limgNor,      limgClose};
    return std::find(buttons.begin(), buttons.end(), target) != buttons.end();
}

void TfrmMain::PlayModeMenuAtButton() {
    QPoint place = mapToGlobal(rect().center());
    if (sbtnPlayMode->isVisible()) {
        // Under the button, or above it where the screen ends below.
        place = sbtnPlayMode->mapToGlobal(QPoint(0, sbtnPlayMode->height()));
        const int menuHeight = pMenuPlayMode->sizeHint().height();
        if (place.y() + menuHeight > screen()->availableGeometry().bottom())
            place.setY(sbtnPlayMode->mapToGlobal(QPoint()).y() - menuHeight);
    }
    pMenuPlayMode->popup(place);
    // The keys move from the chosen mode, which a screen reader reads out with its state.
    const QList<QAction*> items = pMenuPlayMode->actions();
    const auto chosen = std::find_if(items.begin(), items.end(),
                                     [](const QAction* item) { return item->isChecked(); });
    if (!items.isEmpty())
        pMenuPlayMode->setActiveAction(chosen != items.end() ? *chosen : items.first());
}

void TfrmMain::SeekToBarEnd(bool loadedEnd) {
    if (!loadedEnd) {
        transport_->SeekTo(0);
        return;
    }
    const std::optional<Transport::Position> position = transport_->CurrentPosition();
    const int fullWidth = pnlLoadAll->width() - 2; // the loaded part lies inside the bevel
    if (!position || fullWidth <= 0)
        return;
    const int loadedWidth = std::min(pnlLoadPercent->width(), fullWidth);
    transport_->SeekTo(static_cast<int32_t>(int64_t{position->total} * loadedWidth / fullWidth));
}

} // namespace luming
