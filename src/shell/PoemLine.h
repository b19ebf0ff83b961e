#pragma once

#include <QWidget>

#include <string>
#include <vector>

namespace luming {

// One line of a poem with its pinyin: each Chinese character with its syllable, in tone marks,
// centred over it; other characters (punctuation) beside them. Lit, it stands on a warm ground.
// Lines wider than the widget go on to a second row, so a long line is never cut.
// A line as a screen reader says it: its text, then its pinyin.
QString SpokenLine(const std::string& text, const std::vector<std::string>& readings);

class PoemLine : public QWidget {
    Q_OBJECT
public:
    // `characterPixels`: the height of the characters; the pinyin is a little over half of it.
    PoemLine(QWidget* parent, int characterPixels);

    // `readings`: one syllable for each Chinese character of `text`, in order.
    void SetLine(const std::string& text, const std::vector<std::string>& readings);
    void SetLit(bool lit);
    bool Lit() const { return lit_; }
    // The line as a screen reader says it (SpokenLine).
    QString Spoken() const { return spoken_; }

    QSize sizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    struct Cell {
        QString text;
        QString reading; // empty for a character without one
        int width = 0;
    };
    // The cells placed in rows no wider than `width`: each row's cells and its width.
    std::vector<std::vector<const Cell*>> Rows(int width) const;
    int RowHeight() const;

    QFont characterFont_;
    QFont readingFont_;
    std::vector<Cell> cells_;
    QString spoken_;
    bool lit_ = false;
};

} // namespace luming
