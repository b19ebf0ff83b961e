#include "shell/ReadAlongView.h"

#include "playback/LrcReader.h"
#include "shell/AccessibleControls.h"
#include "shell/FormParts.h"
#include "shell/PoemLine.h"

#include <QLabel>
#include <QScrollBar>
#include <QVBoxLayout>

namespace luming {

namespace {

// At 1280×800 the play area is about 1070 by 640 pixels: four lines of a quatrain with their
// pinyin, the title and the author fit without scrolling.
constexpr int kCharacterPixels = 40;
constexpr int kTitlePixels = 34;
constexpr int kAuthorPixels = 22;

} // namespace

ReadAlongView::ReadAlongView(QWidget* parent) : QScrollArea(parent) {
    setObjectName("readAlongView");
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setAccessibleName(QStringLiteral("跟读"));
    page_ = new QWidget;
    page_->setObjectName("readAlongPage");
    // The skin's light ground, as the text programmes' page.
    page_->setStyleSheet("QWidget#readAlongPage { background: #EEF3FA; }");
    lines_ = new QVBoxLayout(page_);
    lines_->setContentsMargins(24, 16, 24, 24);
    lines_->setSpacing(2);
    title_ = form::Label(page_, "lblPoemTitle", {}, form::SongTi(kTitlePixels), QColor(42, 63, 85));
    QFont bold = title_->font();
    bold.setBold(true);
    title_->setFont(bold);
    title_->setAlignment(Qt::AlignCenter);
    author_ =
        form::Label(page_, "lblPoemAuthor", {}, form::SongTi(kAuthorPixels), QColor(90, 110, 130));
    author_->setAlignment(Qt::AlignCenter);
    lines_->addWidget(title_);
    lines_->addWidget(author_);
    lines_->addSpacing(8);
    lines_->addStretch(1);
    setWidget(page_);
}

void ReadAlongView::ShowPoem(const ReadAlong& poem,
                             const std::vector<std::vector<std::string>>& readings) {
    for (PoemLine* line : poemLines_)
        delete line;
    poemLines_.clear();
    lit_ = nullptr;
    title_->setText(QString::fromStdString(poem.title));
    title_->setVisible(!poem.title.empty());
    author_->setText(QString::fromStdString(poem.author));
    author_->setVisible(!poem.author.empty());
    for (size_t i = 0; i < poem.lines.size(); ++i) {
        auto* line = new PoemLine(page_, kCharacterPixels);
        line->SetLine(poem.lines[i].text,
                      i < readings.size() ? readings[i] : std::vector<std::string>{});
        accessible::SetKind(line, accessible::Kind::PoemText);
        line->setVisible(!poem.lines[i].text.empty()); // a pause between lines shows nothing
        lines_->insertWidget(lines_->count() - 1, line);
        poemLines_.push_back(line);
    }
    verticalScrollBar()->setValue(0);
}

void ReadAlongView::SetReadings(const std::vector<std::vector<std::string>>& readings,
                                const ReadAlong& poem) {
    for (size_t i = 0; i < poemLines_.size() && i < poem.lines.size(); ++i)
        poemLines_[i]->SetLine(poem.lines[i].text,
                               i < readings.size() ? readings[i] : std::vector<std::string>{});
}

void ReadAlongView::Light(std::optional<size_t> line) {
    PoemLine* next = line && *line < poemLines_.size() ? poemLines_[*line] : nullptr;
    if (next == lit_)
        return;
    if (lit_)
        lit_->SetLit(false);
    lit_ = next;
    if (lit_) {
        lit_->SetLit(true);
        // Kept in view with room for the line after it.
        ensureWidgetVisible(lit_, 0, lit_->height());
    }
}

const PoemLine* ReadAlongView::LitLine() const {
    return lit_;
}

} // namespace luming
