#include "shell/PoemLine.h"

#include "playback/LrcReader.h"
#include "shell/FormParts.h"

#include <QFontMetrics>
#include <QPainter>

namespace luming {

namespace {

constexpr int kCellGap = 6;     // between two characters, so their syllables do not touch
constexpr int kReadingGap = 2;  // between a syllable and its character
constexpr int kMargin = 10;     // around the line, inside its lit ground
const QColor kText(42, 63, 85); // the skin's dark blue, as the text programmes' page
const QColor kReading(58, 110, 165);
const QColor kLitGround(255, 226, 150);
const QColor kLitText(150, 40, 0);

} // namespace

PoemLine::PoemLine(QWidget* parent, int characterPixels)
    : QWidget(parent), characterFont_(form::SongTi(characterPixels)),
      readingFont_(form::SongTi(characterPixels * 9 / 16)) {
    readingFont_.setFamilies({"DejaVu Sans", "Liberation Sans"}); // tone marks drawn well
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
}

void PoemLine::SetLine(const std::string& text, const std::vector<std::string>& readings) {
    cells_.clear();
    spoken_ = SpokenLine(text, readings);
    const QFontMetrics characters(characterFont_);
    const QFontMetrics syllables(readingFont_);
    size_t next = 0;
    for (const TextPiece& piece : SplitForReadings(text)) {
        Cell cell;
        cell.text = QString::fromStdString(piece.text);
        if (piece.chinese && next < readings.size())
            cell.reading = QString::fromStdString(readings[next]);
        next += piece.chinese ? 1 : 0;
        cell.width = std::max(characters.horizontalAdvance(cell.text),
                              syllables.horizontalAdvance(cell.reading)) +
                     kCellGap;
        cells_.push_back(cell);
    }
    // The characters stand evenly, as in a printed poem: each as wide as the widest syllable.
    int widest = 0;
    for (size_t i = 0; i < cells_.size(); ++i)
        if (!cells_[i].reading.isEmpty())
            widest = std::max(widest, cells_[i].width);
    for (Cell& cell : cells_)
        if (!cell.reading.isEmpty())
            cell.width = widest;
    updateGeometry();
    update();
}

void PoemLine::SetLit(bool lit) {
    if (lit == lit_)
        return;
    lit_ = lit;
    update();
}

QString SpokenLine(const std::string& text, const std::vector<std::string>& readings) {
    QStringList syllables;
    for (const std::string& reading : readings)
        if (!reading.empty())
            syllables << QString::fromStdString(reading);
    const QString line = QString::fromStdString(text);
    return syllables.isEmpty() ? line : line + " " + syllables.join(' ');
}

int PoemLine::RowHeight() const {
    return QFontMetrics(readingFont_).height() + kReadingGap +
           QFontMetrics(characterFont_).height();
}

std::vector<std::vector<const PoemLine::Cell*>> PoemLine::Rows(int width) const {
    std::vector<std::vector<const Cell*>> rows(1);
    int used = 0;
    for (const Cell& cell : cells_) {
        if (used + cell.width > width - 2 * kMargin && !rows.back().empty()) {
            rows.emplace_back();
            used = 0;
        }
        rows.back().push_back(&cell);
        used += cell.width;
    }
    return rows;
}

QSize PoemLine::sizeHint() const {
    int width = 2 * kMargin;
    for (const Cell& cell : cells_)
        width += cell.width;
    return {width, RowHeight() + 2 * kMargin};
}

int PoemLine::heightForWidth(int width) const {
    return static_cast<int>(Rows(width).size()) * RowHeight() + 2 * kMargin;
}

void PoemLine::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (lit_) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(kLitGround);
        painter.drawRoundedRect(rect().adjusted(2, 1, -2, -1), 12, 12);
    }
    const QFontMetrics characters(characterFont_);
    const QFontMetrics syllables(readingFont_);
    int top = kMargin;
    for (const auto& row : Rows(width())) {
        int rowWidth = 0;
        for (const Cell* cell : row)
            rowWidth += cell->width;
        int left = (width() - rowWidth) / 2; // centred, as a poem is printed
        for (const Cell* cell : row) {
            painter.setFont(readingFont_);
            painter.setPen(lit_ ? kLitText : kReading);
            painter.drawText(QRect(left, top, cell->width, syllables.height()), Qt::AlignCenter,
                             cell->reading);
            painter.setFont(characterFont_);
            painter.setPen(lit_ ? kLitText : kText);
            painter.drawText(QRect(left, top + syllables.height() + kReadingGap, cell->width,
                                   characters.height()),
                             Qt::AlignCenter, cell->text);
            left += cell->width;
        }
        top += RowHeight();
    }
}

} // namespace luming
