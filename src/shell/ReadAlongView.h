#pragma once

#include <QScrollArea>

#include <optional>
#include <string>
#include <vector>

class QLabel;
class QVBoxLayout;

namespace luming {

class PoemLine;
struct ReadAlong;

// The poem of an audio programme in the play area, in front of the audio page: its title and
// author, then its lines with pinyin over every character. The line being read is lit and kept
// in view.
class ReadAlongView : public QScrollArea {
    Q_OBJECT
public:
    explicit ReadAlongView(QWidget* parent);

    // `readings[i]`: one syllable for each Chinese character of line i.
    void ShowPoem(const ReadAlong& poem, const std::vector<std::vector<std::string>>& readings);
    // The pinyin that came after the poem was shown, in the lines already there.
    void SetReadings(const std::vector<std::vector<std::string>>& readings, const ReadAlong& poem);
    // Lights line `line` of the poem (none: no line yet).
    void Light(std::optional<size_t> line);
    // The lit line, for the tests: none while no line is lit.
    const PoemLine* LitLine() const;

private:
    QWidget* page_ = nullptr;
    QVBoxLayout* lines_ = nullptr;
    QLabel* title_ = nullptr;
    QLabel* author_ = nullptr;
    // A line of the poem for each of its timed lines (a line sung twice is shown twice).
    std::vector<PoemLine*> poemLines_;
    PoemLine* lit_ = nullptr;
};

} // namespace luming
