// Keys for the player, beyond the mouse: Space plays and pauses, Left/Right seek 5 s, Up/Down
// move the volume bar, M mutes, F fills the screen, N/P next and previous, L opens the play-mode
// menu, Escape leaves full screen. They reach the window's own handlers, so everything else
// follows as after a click. The search box and the web panes keep their keys; the tree keeps its
// arrows and Enter. A focused button takes Space and Enter; the position bar Home and End; the
// volume bar all four arrows.
#include "platform/FlashControl.h"
#include "platform/WebPane.h"
#include "shell/AccessibleControls.h"
#include "shell/FormParts.h"
#include "shell/ImageControl.h"
#include "shell/ReadAlong.h"
#include "shell/TfrmMain.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSlider>
#include <QToolButton>
#include <QTreeView>

namespace luming {

namespace {

constexpr int kSeekStepSeconds = 5;
constexpr int kVolumeStep = 16;

// Watches the keys of the whole application: the control with the focus may be a child of a
// player engine that would swallow them.
class KeyWatcher : public QObject {
public:
    KeyWatcher(QObject* parent, std::function<bool(QWidget*, QKeyEvent*)> onKey)
        : QObject(parent), onKey_(std::move(onKey)) {
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
            return false;
        return onKey_(static_cast<QWidget*>(watched), static_cast<QKeyEvent*>(event));
    }

private:
    std::function<bool(QWidget*, QKeyEvent*)> onKey_;
};

bool InsideWebPane(const QWidget* widget, const QWidget* except) {
    for (const QWidget* up = widget; up; up = up->parentWidget())
        if (up != except && qobject_cast<const WebPane*>(up))
            return true;
    return false;
}

} // namespace

void TfrmMain::ConnectKeyboardHandlers() {
    new KeyWatcher(this, [this](QWidget* target, QKeyEvent* event) {
        return PlayerKeyPressed(target, event);
    });
    // Clicking the picture gives the player the keys (arrows seek there, not in the tree).
    ShockwaveFlash1->setFocusPolicy(Qt::ClickFocus);
    form::SetKeyHint(btnPlay, QStringLiteral("空格"));
    form::SetKeyHint(btnPre, QStringLiteral("P"));
    form::SetKeyHint(btnNext, QStringLiteral("N"));
    form::SetKeyHint(btnSound, QStringLiteral("M"));
    form::SetKeyHint(imgSound, QStringLiteral("↑/↓"));
    form::SetKeyHint(sbtnPlayMode, QStringLiteral("L"));
    form::SetKeyHint(sbtnFullScreen, QStringLiteral("F"));
    form::SetKeyHint(sbtnReadAlong, QStringLiteral("C"));
    form::SetKeyHint(btnExitFullScreen, QStringLiteral("Esc"));
    ConnectKeyboardFocus();
}

bool TfrmMain::PlayerKeyPressed(QWidget* target, QKeyEvent* event) {
    // Keys of this window (or of the video's own full screen), not of a dialog or another window.
    const QWidget* top = target->window();
    if (top != this && !(FullScreenOn != 0 && top->isFullScreen()))
        return false;
    if (target == edtkey || InsideWebPane(target, wbMp3))
        return false;
    const int key = event->key();
    // The movie and the audio page would keep Tab to themselves.
    if ((key == Qt::Key_Tab || key == Qt::Key_Backtab) &&
        (ShockwaveFlash1->isAncestorOf(target) || wbMp3->isAncestorOf(target))) {
        focusNextPrevChild(key == Qt::Key_Tab);
        return true;
    }
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (modifiers != Qt::NoModifier)
        return false; // Ctrl+N and the like are not ours

    const bool pressKey = key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter;
    if (pressKey && IsFocusButton(target)) {
        if (!event->isAutoRepeat())
            PressFocusedButton(target);
        return true;
    }
    // Where a jump of the child's landed; the time going on by itself is never told.
    const auto announceTime = [this] { Announce(accessible::SpokenTime(pnlLoadAll)); };
    if (target == pnlLoadAll && (key == Qt::Key_Home || key == Qt::Key_End)) {
        SeekToBarEnd(key == Qt::Key_End);
        announceTime();
        return true;
    }
    const auto stepVolume = [this](bool louder) {
        // Not while muted, as the bar itself. The bar's top, position 0, is the loudest.
        if (!TrackBar2->isEnabled())
            return;
        TrackBar2->setValue(TrackBar2->value() + (louder ? -kVolumeStep : kVolumeStep));
        const int percent = accessible::VolumePercent(TrackBar2->maximum() - TrackBar2->value(),
                                                      TrackBar2->maximum());
        Announce(QStringLiteral("音量 %1%").arg(percent), TrackBar2);
    };
    if (target == tv1 || tv1->isAncestorOf(target)) {
        if (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_Left || key == Qt::Key_Right)
            return false;
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            tv1Click(); // the selected node, as a click on it
            return true;
        }
    }
    // Keys that act once however long they are held.
    const std::pair<int, std::function<void()>> actions[] = {
        {Qt::Key_Space, [this] { btnPlayClick(); }},
        {Qt::Key_M, [this] { btnSoundClick(); }},
        {Qt::Key_N, [this] { btnNextClick(); }},
        {Qt::Key_P, [this] { btnPreClick(); }},
        {Qt::Key_L, [this] { PlayModeMenuAtButton(); }},
        {Qt::Key_C,
         [this] {
             if (sbtnReadAlong->isVisible()) // a video or text with a read-along
                 readAlong_->ToggleStrip();
         }},
        {Qt::Key_F,
         [this] { FullScreenOn != 0 ? btnExitFullScreenClick() : sbtnFullScreenClick(); }},
    };
    for (const auto& [actionKey, action] : actions)
        if (key == actionKey) {
            if (!event->isAutoRepeat())
                action();
            return true;
        }
    switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Right:
        if (target == TrackBar2)
            stepVolume(key == Qt::Key_Right);
        else if (transport_->SeekBy(key == Qt::Key_Left ? -kSeekStepSeconds : kSeekStepSeconds))
            announceTime();
        return true;
    case Qt::Key_Up:
    case Qt::Key_Down:
        stepVolume(key == Qt::Key_Up);
        return true;
    case Qt::Key_Escape:
        if (FullScreenOn == 0)
            return false;
        btnExitFullScreenClick();
        return true;
    default:
        return false;
    }
}

} // namespace luming
