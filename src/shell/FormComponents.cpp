// The form's components without a place of their own: timers, the play-mode menu, image lists.
#include "shell/FormParts.h"
#include "shell/ImageList.h"
#include "shell/TfrmMain.h"

#include <QAction>
#include <QMenu>
#include <QTimer>

namespace luming {

namespace {

QTimer* Timer(QObject* owner, const char* name, int intervalMs, bool enabled) {
    auto* timer = new QTimer(owner);
    timer->setObjectName(name);
    timer->setInterval(intervalMs);
    if (enabled)
        timer->start();
    return timer;
}

QAction* MenuItem(QMenu* menu, const char* name, const QString& caption, const QString& hint) {
    QAction* item = menu->addAction(caption);
    item->setObjectName(name);
    item->setCheckable(true);
    item->setToolTip(hint);
    item->setStatusTip(hint);
    return item;
}

} // namespace

void TfrmMain::BuildComponents() {
    TimerPlayList = Timer(this, "TimerPlayList", 1000, false);
    TimerSystemMsg = Timer(this, "TimerSystemMsg", 60000, true);
    Timer1 = Timer(this, "Timer1", 500, false);

    pMenuPlayMode = new QMenu(this);
    pMenuPlayMode->setObjectName("pMenuPlayMode");
    pMenuPlayMode->setToolTipsVisible(true);
    N13 = MenuItem(pMenuPlayMode, "N13", QStringLiteral("循环播放"),
                   QStringLiteral("循环播放当前列表"));
    N14 = MenuItem(pMenuPlayMode, "N14", QStringLiteral("顺序播放"),
                   QStringLiteral("按顺序播放当前列表"));
    N15 = MenuItem(pMenuPlayMode, "N15", QStringLiteral("单曲循环"),
                   QStringLiteral("循环播放当前节目"));
    N16 = MenuItem(pMenuPlayMode, "N16", QStringLiteral("随机播放"), {});

    // Tree images: 0 closed folder, 1 open folder, 2 + the programme's type code.
    ImageList1 = new ImageList(
        this, "ImageList1", {16, 16},
        {"tree_0", "tree_1", "tree_2", "tree_3", "tree_4", "tree_5", "tree_6", "tree_7"});
    // Transport glyphs, numbered as TransportGlyph says; the gaps are spare.
    ImageList2 =
        new ImageList(this, "ImageList2", {30, 24},
                      {"glyph_previous", "glyph_next", "glyph_replay", "glyph_stop",
                       "glyph_fullscreen", "glyph_exit_fullscreen", "", "", "glyph_play",
                       "glyph_pause", "", "", "", "", "glyph_sound_on", "glyph_sound_off"});
    imgList_PlayMode =
        new ImageList(this, "imgList_PlayMode", {30, 24}, {"mode_0", "mode_1", "mode_2", "mode_3"});
}

} // namespace luming
