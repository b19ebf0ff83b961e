#pragma once

#include <QFrame>

#include <string>
#include <vector>

namespace luming {

class PoemLine;

// The line being read of a video or a text programme, with its pinyin, as a strip under the
// picture; the child can turn it off.
class ReadAlongStrip : public QFrame {
    Q_OBJECT
public:
    explicit ReadAlongStrip(QWidget* parent);

    // The line to show: its text and a syllable for each Chinese character; empty text for none.
    void ShowLine(const std::string& text, const std::vector<std::string>& readings);
    const PoemLine* Line() const { return line_; }

    // The strip's height: one row of characters with their pinyin.
    static constexpr int kHeight = 80;

private:
    PoemLine* line_ = nullptr;
};

} // namespace luming
