// The status bar: its pieces, the version label, the links and buttons of the vendor.
#include "platform/Platform.h"
#include "platform/WebPane.h"
#include "shell/AlignLayout.h"
#include "shell/FormParts.h"
#include "shell/ImageControl.h"
#include "shell/TfrmMain.h"

#include <QFrame>
#include <QLabel>
#include <QToolButton>

namespace luming {

namespace {

constexpr QSize kStatusDesignSize(TfrmMain::kDesignClientWidth, 27);
constexpr QColor kStatusText(199, 240, 255);

} // namespace

void TfrmMain::BuildStatusBar() {
    auto* layout = new AlignLayout(pnlStatus, kStatusDesignSize);
    imgBottomLeft = form::Image(pnlStatus, "imgBottomLeft", "status_left", true);
    layout->Place(imgBottomLeft, Align::Left, {0, 0, 5, 27});
    imgBottomRight = form::Image(pnlStatus, "imgBottomRight", "status_right", true);
    layout->Place(imgBottomRight, Align::Right, {818, 0, 5, 27});
    imgBottom = form::Image(pnlStatus, "imgBottom", "status_middle", true);
    layout->Place(imgBottom, Align::Client, {5, 0, 813, 27});

    lblSysVersion = form::Label(pnlStatus, "lblSysVersion", QStringLiteral("主程序版本:"),
                                form::SongTi(12), kStatusText);
    layout->Place(lblSysVersion, Align::None, {11, 6, 131, 13});

    auto button = [&](const char* name, const QString& caption, const QString& hint, QRect place) {
        QToolButton* control = form::SpeedButton(pnlStatus, name, hint, caption);
        form::SetTag(control, 99);
        control->setFont(form::SongTi(12));
        control->setStyleSheet(QString("QToolButton { color: %1; border: none; }"
                                       "QToolButton:hover { text-decoration: underline; }")
                                   .arg(kStatusText.name()));
        layout->Place(control, Align::None, place, Anchors::TopRight());
        return control;
    };
    sbtnSystemSetting = button("sbtnSystemSetting", QStringLiteral("设置"),
                               QStringLiteral("系统设置"), {143, 4, 54, 18});
    sbtnSystemSetting->hide();

    lblWeb = form::Label(pnlStatus, "lblWeb", {}, form::SongTi(12), kStatusText);
    lblWeb->setAlignment(Qt::AlignCenter);
    lblWeb->setCursor(Qt::PointingHandCursor);
    layout->Place(lblWeb, Align::None, {200, 6, 472, 13}, Anchors::LeftTopRight());

    pnlStatusBarAds = form::Panel(pnlStatus, "pnlStatusBarAds");
    pnlStatusBarAds->hide();
    layout->Place(pnlStatusBarAds, Align::None, {203, 0, 460, 27}, Anchors::LeftTopRight());
    auto* adsLayout = new AlignLayout(pnlStatusBarAds, {460, 27});
    wbBottom = platform_.CreateWebPane(pnlStatusBarAds);
    wbBottom->setObjectName("wbBottom");
    adsLayout->Place(wbBottom, Align::Client, {0, 0, 460, 27});

    sbtnQQOnline = button("sbtnQQOnline", QStringLiteral("QQ在线"), QStringLiteral("QQ在线服务"),
                          {680, 4, 61, 18});
    sbtnQQOnline->hide();
    sbtnMore = button("sbtnMore", QStringLiteral("更多资源"), QStringLiteral("更多资源"),
                      {744, 4, 73, 18});
}

} // namespace luming
