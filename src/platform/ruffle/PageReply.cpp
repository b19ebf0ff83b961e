#include "platform/ruffle/PageReply.h"

#include <QVariantMap>

#include <algorithm>
#include <cmath>
#include <limits>

namespace luming {

namespace {

// The most frames a Flash movie can have: its header counts them in 16 bits.
constexpr int kMostFrames = 65535;

std::optional<double> Number(const QVariant& value) {
    if (value.typeId() != QMetaType::Double && value.typeId() != QMetaType::Int &&
        value.typeId() != QMetaType::LongLong)
        return std::nullopt;
    const double number = value.toDouble();
    if (!std::isfinite(number))
        return std::nullopt;
    return number;
}

std::optional<int> WholeNumber(const QVariant& value, int least, int most) {
    const auto number = Number(value);
    if (!number || *number != std::floor(*number) || *number < least || *number > most)
        return std::nullopt;
    return static_cast<int>(*number);
}

std::optional<bool> Flag(const QVariant& value) {
    if (value.typeId() != QMetaType::Bool)
        return std::nullopt;
    return value.toBool();
}

std::string PrintableError(const QString& text) {
    std::string error;
    for (const QChar c : text) {
        if (!c.isPrint())
            continue;
        const std::string piece = QString(c).toStdString();
        if (error.size() + piece.size() > kLongestPageError)
            break;
        error += piece;
    }
    return error;
}

} // namespace

std::optional<PageReply> ReadPageReply(const QVariant& reply, int totalFrames) {
    if (reply.typeId() != QMetaType::QVariantMap)
        return std::nullopt;
    const QVariantMap map = reply.toMap();
    const auto load = WholeNumber(map.value("load"), 0, std::numeric_limits<int>::max());
    const auto ready = WholeNumber(map.value("ready"), 0, 4);
    const auto frame = WholeNumber(map.value("frame"), 0, kMostFrames);
    const auto playing = Flag(map.value("playing"));
    const auto waiting = Flag(map.value("waiting"));
    const auto received = Number(map.value("received"));
    const QVariant error = map.value("error");
    if (!load || !ready || (*ready != 0 && *ready != 4) || !frame || !playing || !waiting ||
        !received || *received < 0 || error.typeId() != QMetaType::QString)
        return std::nullopt;
    // A frame past the end would be the end: the header counts the frames the movie has.
    const int lastFrame = totalFrames > 0 ? std::min(*frame, totalFrames) : *frame;
    return PageReply{*load,     *ready,  lastFrame, *playing, PrintableError(error.toString()),
                     *received, *waiting};
}

} // namespace luming
