#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

class QJSEngine;

namespace luming {

// The pinyin of Chinese text, with tone marks, from pinyin-pro (which reads a polyphonic
// character by the words around it: 长恨歌 cháng, 长大 zhǎng) run in a script engine of its own.
// The engine lives as long as the reader: make one for a poem and let it go.
class PinyinReader {
public:
    PinyinReader();
    ~PinyinReader();

    // False when the script could not be loaded; Read then gives no readings.
    bool Ready() const;
    // One syllable for each Chinese character of `utf8`, in order (the characters that
    // SplitForReadings marks); empty strings where none is known.
    std::vector<std::string> Read(std::string_view utf8);

private:
    std::unique_ptr<QJSEngine> engine_;
    bool ready_ = false;
};

} // namespace luming
