#include "shell/TransportBarView.h"

#include "shell/AccessibleControls.h"
#include "shell/AlignLayout.h"
#include "shell/FormParts.h"
#include "shell/ImageList.h"
#include "shell/StatusLabel.h"
#include "shell/TfrmMain.h"

#include <QFrame>
#include <QLabel>
#include <QToolButton>

namespace luming {

namespace {

QString Text(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

BarGeometry TransportBarView::Bar() {
    return {form_.pnlLoadAll->x(), form_.pnlLoadAll->width(), form_.pnlLoadPercent->width(),
            form_.pnlPlayPos->x(), form_.pnlPlayPos->width()};
}

void TransportBarView::SetKnobLeft(int left) {
    if (AlignLayout* layout = AlignLayout::Of(form_.pnlPlayPos))
        layout->MoveLeft(form_.pnlPlayPos, left);
}

void TransportBarView::SetLoadedWidth(int width) {
    // The loaded part lies inside the bar's bevel: it can not grow past it.
    width = std::clamp(width, 0, std::max(form_.pnlLoadAll->width() - 2, 0));
    if (AlignLayout* layout = AlignLayout::Of(form_.pnlLoadPercent))
        layout->Resize(form_.pnlLoadPercent, {width, form_.pnlLoadPercent->height()});
}

void TransportBarView::SetTimeText(const std::string& text) {
    // The time goes on by itself every second: a screen reader reads it when asked (the position
    // bar's value), and is told only of a jump the child makes.
    form_.lblTime->setText(QString::fromStdString(text));
}

void TransportBarView::SetStatusText(const std::string& text) {
    form_.lblStatus->SetStatus(QString::fromStdString(text));
}

void TransportBarView::SetStatusDetail(const std::string& detail) {
    form_.lblStatus->SetDetail(QString::fromStdString(detail));
}

void TransportBarView::ShowLook(const PlayStateLook& look) {
    QToolButton* button = form_.btnPlay;
    // The look is shown again every second; a new icon repaints the button even when the same.
    if (look.glyph != shownGlyph_) {
        button->setIcon(form_.ImageList2->icon(look.glyph));
        shownGlyph_ = look.glyph;
    }
    form::SetHint(button, Text(look.hint));
    form::SetTag(button, look.tag);
    // While a programme loads the button takes no press. Disabled with the keyboard focus on it,
    // Qt would hand the focus on to the next button, which the child's next Space would press:
    // then it keeps the focus and only refuses the press.
    busy_ = !look.buttonEnabled;
    if (look.buttonEnabled || button->window()->focusWidget() != button)
        button->setEnabled(look.buttonEnabled);
    form_.lblStatus->SetStatus(Text(look.status));
    if (look.pauseAds)
        showPauseAds_(*look.pauseAds);
    if (look.showTransport && form_.pnlPlayFlv->isHidden()) {
        form_.pnlPlayFlv->show();
        // The bar's sizes count from now on, not once the window gets round to laying it out.
        AlignLayout::ApplyTree(form_.pnlPlay);
    }
    form_.MediaSessionChanged();
}

int TransportBarView::PlayButtonTag() {
    return form::Tag(form_.btnPlay);
}

} // namespace luming
