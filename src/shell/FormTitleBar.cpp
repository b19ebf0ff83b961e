// The title bar of the form: its pieces, the logo, the title and the five title buttons.
#include "shell/AlignLayout.h"
#include "shell/FormParts.h"
#include "shell/ImageControl.h"
#include "shell/TfrmMain.h"

#include <QFrame>
#include <QLabel>
#include <QToolButton>

namespace luming {

namespace {

constexpr QColor kStatusTextColour(199, 240, 255);

} // namespace

void TfrmMain::BuildTitleBar() {
    auto* layout = new AlignLayout(pnlTop, {kDesignClientWidth, 20});
    imgTl = form::Image(pnlTop, "imgTl", "title_left", true);
    layout->Place(imgTl, Align::Left, {0, 0, 5, 20});
    imgTr = form::Image(pnlTop, "imgTr", "title_right", true);
    layout->Place(imgTr, Align::Right, {818, 0, 5, 20});
    imgTc = form::Image(pnlTop, "imgTc", "title_middle", true);
    layout->Place(imgTc, Align::Client, {5, 0, 813, 20});
    imgLogo = form::Image(pnlTop, "imgLogo", "logo", true);
    layout->Place(imgLogo, Align::None, {8, 0, 19, 20});

    lblSysVer =
        form::Label(pnlTop, "lblSysVer", QStringLiteral("鹿鸣果"), form::SongTi(13), Qt::white);
    layout->Place(lblSysVer, Align::None, {33, 4, 192, 13});

    // Each title button: its three pictures (hidden, only holding them), then the button.
    struct TitleButton {
        const char* name;
        const char* picture;
        int left;
        int width;
        const char* hint;
        tLxsimage** button;
        ImageControl** states[3];
    };
    const TitleButton buttons[] = {
        {"limgMenu",
         "title_menu",
         676,
         33,
         "主菜单",
         &limgMenu,
         {&limgMenu1, &limgMenu2, &limgMenu3}},
        {"limgMin", "title_min", 709, 33, "最小化", &limgMin, {&limgMin1, &limgMin2, &limgMin3}},
        {"limgMax", "title_max", 742, 33, "最大化", &limgMax, {&limgMax1, &limgMax2, &limgMax3}},
        {"limgNor", "title_restore", 742, 33, "还原", &limgNor, {&limgNor1, &limgNor2, &limgNor3}},
        {"limgClose",
         "title_close",
         775,
         43,
         "关闭",
         &limgClose,
         {&limgClose1, &limgClose2, &limgClose3}},
    };
    for (const TitleButton& entry : buttons) {
        const QRect place(entry.left, 0, entry.width, 19);
        for (int state = 0; state < 3; ++state) {
            const QByteArray name = QByteArray(entry.name) + QByteArray::number(state + 1);
            const QString picture = QString("%1_%2").arg(entry.picture).arg(state + 1);
            ImageControl* image = form::Image(pnlTop, name.constData(), picture, false);
            image->hide();
            layout->Place(image, Align::None, place, Anchors::TopRight());
            *entry.states[state] = image;
        }
        tLxsimage* button = form::TitleButton(pnlTop, entry.name, QString(entry.picture) + "_1");
        form::SetHint(button, QString::fromUtf8(entry.hint));
        layout->Place(button, Align::None, place, Anchors::TopRight());
        *entry.button = button;
    }
    limgMenu->hide();
    limgNor->hide();

    SpeedButton1 = form::SpeedButton(pnlTop, "SpeedButton1", {}, QStringLiteral("更多资源"));
    form::SetTag(SpeedButton1, 99);
    SpeedButton1->setFont(form::SongTi(12));
    SpeedButton1->setStyleSheet(QString("color: %1;").arg(kStatusTextColour.name()));
    layout->Place(SpeedButton1, Align::None, {626, 1, 73, 18}, Anchors::TopRight());
}

} // namespace luming
