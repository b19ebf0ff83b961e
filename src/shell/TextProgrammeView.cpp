#include "shell/TextProgrammeView.h"

#include "shell/FormParts.h"

namespace luming {

namespace {

constexpr int kTextPixels = 26;

} // namespace

TextProgrammeView::TextProgrammeView(QWidget* parent) : QTextBrowser(parent) {
    setObjectName("txtProgramme");
    setFrameShape(QFrame::NoFrame);
    setOpenLinks(false);
    setFont(form::SongTi(kTextPixels));
    // The skin's light ground and dark text, with room around the lines.
    setStyleSheet("QTextBrowser#txtProgramme { background: #EEF3FA; color: #2A3F55; "
                  "padding: 24px 48px; }");
    setAlignment(Qt::AlignHCenter);
}

void TextProgrammeView::ShowText(const QString& text) {
    setPlainText(text);
    // A poem reads best centred, line by line; the whole document takes the alignment.
    QTextCursor all(document());
    all.select(QTextCursor::Document);
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    centred.setLineHeight(150, QTextBlockFormat::ProportionalHeight);
    all.mergeBlockFormat(centred);
    moveCursor(QTextCursor::Start);
}

} // namespace luming
