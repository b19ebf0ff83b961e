// The transport bar under the player: position bar, buttons, status and time.
#include "shell/AlignLayout.h"
#include "shell/FormParts.h"
#include "shell/ImageControl.h"
#include "shell/ImageList.h"
#include "shell/StatusLabel.h"
#include "shell/TfrmMain.h"
#include "shell/TransportGlyphs.h"

#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QToolButton>

namespace luming {

namespace {

constexpr QSize kBarDesignSize(599, 50);
constexpr QSize kButtonSize(30, 24);

} // namespace

void TfrmMain::BuildTransportBar(QWidget* bar) {
    auto* layout = new AlignLayout(bar, kBarDesignSize);

    pnlPlayTrackBar = form::Panel(bar, "pnlPlayTrackBar");
    layout->Place(pnlPlayTrackBar, Align::Top, {0, 0, kBarDesignSize.width(), 17});
    auto* trackLayout = new AlignLayout(pnlPlayTrackBar, {kBarDesignSize.width(), 17});
    pnlLoadAll = form::Panel(pnlPlayTrackBar, "pnlLoadAll", Qt::white, form::Bevel::Lowered);
    form::SetTag(pnlLoadAll, 99);
    trackLayout->Place(pnlLoadAll, Align::None, {12, 6, 575, 6}, Anchors::LeftTopRight());
    auto* loadLayout = new AlignLayout(pnlLoadAll, {575, 6});
    loadLayout->setContentsMargins(1, 1, 1, 1); // inside the bevel
    pnlLoadPercent = form::Panel(pnlLoadAll, "pnlLoadPercent", QColor(166, 202, 240));
    form::SetTag(pnlLoadPercent, 99);
    loadLayout->Place(pnlLoadPercent, Align::Left, {1, 1, 100, 4});
    pnlPlayPos =
        form::Panel(pnlPlayTrackBar, "pnlPlayPos", QColor(74, 159, 224), form::Bevel::Raised);
    pnlPlayPos->setCursor(Qt::PointingHandCursor);
    trackLayout->Place(pnlPlayPos, Align::None, {12, 4, 6, 9});

    lblHint = form::Label(bar, "lblHint", "lblHint", form::SongTi(12), Qt::magenta);
    lblHint->hide();
    layout->Place(lblHint, Align::None, {13, 24, 42, 12});

    auto button = [&](const char* name, const QString& hint, int left, int glyph, Anchors anchors) {
        QToolButton* control = form::SpeedButton(bar, name, hint);
        control->setIconSize(kButtonSize);
        control->setIcon(ImageList2->icon(glyph));
        layout->Place(control, Align::None, QRect(QPoint(left, 19), kButtonSize), anchors);
        return control;
    };
    btnPre = button("btnPre", QStringLiteral("上一首"), 158, kGlyphPrevious, Anchors::TopLeft());
    btnPlay = button("btnPlay", QStringLiteral("播放/暂停"), 202, kGlyphPlay, Anchors::TopLeft());
    btnNext = button("btnNext", QStringLiteral("下一首"), 244, kGlyphNext, Anchors::TopLeft());

    lblStatus = new StatusLabel(bar);
    form::StyleLabel(lblStatus, "lblStatus", form::SongTi(12), QColor(68, 68, 68));
    lblStatus->SetStatus(QStringLiteral("正在缓冲,请稍等"));
    // From the buttons to the volume: the longer the bar, the more of a message it shows.
    layout->Place(lblStatus, Align::None, {289, 25, 63, 13}, Anchors::LeftTopRight());

    btnSound =
        button("btnSound", QStringLiteral("控制音量"), 385, kGlyphSoundOn, Anchors::TopRight());
    imgSound = new tLxsimage(bar);
    imgSound->setObjectName("imgSound");
    form::SetHint(imgSound, QStringLiteral("控制音量"));
    layout->Place(imgSound, Align::None, {385, 18, 30, 25}, Anchors::TopRight());

    sbtnPlayMode =
        button("sbtnPlayMode", QStringLiteral("选择节目播放方式"), 428, 0, Anchors::TopRight());
    sbtnPlayMode->setIcon(imgList_PlayMode->icon(0));
    sbtnPlayMode->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(sbtnPlayMode, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { pMenuPlayMode->popup(sbtnPlayMode->mapToGlobal(at)); });
    sbtnFullScreen = button("sbtnFullScreen", QStringLiteral("全屏播放"), 471, kGlyphFullScreen,
                            Anchors::TopRight());
    // Shown only while a video or a text has a read-along.
    sbtnReadAlong =
        form::SpeedButton(bar, "sbtnReadAlong", QStringLiteral("拼音跟读"), QStringLiteral("拼"));
    layout->Place(sbtnReadAlong, Align::None, QRect(QPoint(352, 19), kButtonSize),
                  Anchors::TopRight());

    lblTime = form::Label(bar, "lblTime", "00:00/00:00", form::SongTi(12), QColor(68, 68, 68));
    lblTime->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    layout->Place(lblTime, Align::None, {515, 25, 70, 13}, Anchors::TopRight());
}

} // namespace luming
