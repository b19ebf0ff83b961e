#include "platform/mpris/MprisValues.h"

#include <QDBusObjectPath>

namespace luming {

namespace {

constexpr char kNoTrack[] = "/org/mpris/MediaPlayer2/TrackList/NoTrack";
constexpr char kTrackPrefix[] = "/org/luming/programme/p";

bool AllowedInPath(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

QString Utf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

QString PlaybackStatusText(MediaStatus status) {
    switch (status) {
    case MediaStatus::Playing:
        return QStringLiteral("Playing");
    case MediaStatus::Paused:
        return QStringLiteral("Paused");
    case MediaStatus::Stopped:
        break;
    }
    return QStringLiteral("Stopped");
}

QString TrackIdPath(const std::string& programmeId) {
    // The "p" before the id keeps an empty id a valid element.
    std::string path = kTrackPrefix;
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (const unsigned char c : programmeId) {
        if (AllowedInPath(c)) {
            path += static_cast<char>(c);
        } else {
            path += '_';
            path += kHex[c >> 4];
            path += kHex[c & 0xF];
        }
    }
    return QString::fromLatin1(path.data(), static_cast<qsizetype>(path.size()));
}

QVariantMap TrackMetadata(const std::optional<MediaTrack>& track) {
    QVariantMap metadata;
    if (!track) {
        metadata.insert("mpris:trackid", QVariant::fromValue(QDBusObjectPath(kNoTrack)));
        return metadata;
    }
    metadata.insert("mpris:trackid", QVariant::fromValue(QDBusObjectPath(TrackIdPath(track->id))));
    metadata.insert("xesam:title", Utf8(track->title));
    if (!track->album.empty())
        metadata.insert("xesam:album", Utf8(track->album));
    if (track->length)
        metadata.insert("mpris:length", QVariant::fromValue(qlonglong{*track->length}));
    if (!track->lyrics.empty())
        metadata.insert("xesam:asText", Utf8(track->lyrics));
    return metadata;
}

} // namespace luming
