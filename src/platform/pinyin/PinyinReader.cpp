#include "platform/pinyin/PinyinReader.h"

#include "playback/LrcReader.h"

#include <QFile>
#include <QJSEngine>

#include <cstdio>

namespace luming {

namespace {

// The script is carried as a resource (vendor/pinyin installs it from its lock file).
constexpr char kScript[] = ":/pinyin/pinyin-pro.js";

// Readings as they stand in a book: 一 and 不 keep their own tones (no tone sandhi), and every
// character gets its own entry.
constexpr char kReadLine[] = R"((function (text) {
    return pinyinPro.pinyin(text, { type: 'all', toneSandhi: false })
        .map(function (item) { return [item.origin, item.isZh ? item.pinyin : '']; });
}))";

} // namespace

PinyinReader::PinyinReader() : engine_(std::make_unique<QJSEngine>()) {
    QFile script(kScript);
    if (!script.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "luming: the pinyin script is missing\n");
        return;
    }
    const QJSValue loaded = engine_->evaluate(QString::fromUtf8(script.readAll()), kScript);
    const QJSValue reader = engine_->evaluate(kReadLine);
    if (loaded.isError() || !reader.isCallable()) {
        std::fprintf(stderr, "luming: the pinyin script does not run: %s\n",
                     loaded.toString().toUtf8().constData());
        return;
    }
    engine_->globalObject().setProperty("readLine", reader);
    ready_ = true;
}

PinyinReader::~PinyinReader() = default;

bool PinyinReader::Ready() const {
    return ready_;
}

std::vector<std::string> PinyinReader::Read(std::string_view utf8) {
    std::vector<std::string> readings;
    const std::vector<TextPiece> pieces = SplitForReadings(utf8);
    std::vector<std::string> wanted;
    for (const TextPiece& piece : pieces)
        if (piece.chinese)
            wanted.push_back(piece.text);
    if (!ready_ || wanted.empty())
        return std::vector<std::string>(wanted.size());
    const QJSValue items =
        engine_->globalObject()
            .property("readLine")
            .call({QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()))});
    const int count = items.property("length").toInt();
    // pinyin-pro goes character by character; its Chinese characters are matched to ours in
    // order, so that a character it does not know still keeps its place.
    size_t next = 0;
    for (int i = 0; i < count && next < wanted.size(); ++i) {
        const QJSValue item = items.property(static_cast<quint32>(i));
        const std::string origin = item.property(0).toString().toStdString();
        if (origin != wanted[next])
            continue;
        readings.push_back(item.property(1).toString().toStdString());
        ++next;
    }
    readings.resize(wanted.size());
    return readings;
}

} // namespace luming
