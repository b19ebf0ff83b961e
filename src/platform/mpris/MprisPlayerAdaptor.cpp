#include "platform/mpris/MprisPlayerAdaptor.h"

#include "platform/MediaSession.h"
#include "platform/mpris/MprisValues.h"

#include <algorithm>

namespace luming {

QString MprisPlayerAdaptor::PlaybackStatus() const {
    return PlaybackStatusText(session_.Status());
}

QVariantMap MprisPlayerAdaptor::Metadata() const {
    return TrackMetadata(session_.Track());
}

double MprisPlayerAdaptor::Volume() const {
    return session_.Volume();
}

void MprisPlayerAdaptor::SetVolume(double volume) {
    session_.SetVolume(std::clamp(volume, 0.0, 1.0));
}

qlonglong MprisPlayerAdaptor::Position() const {
    return session_.Position();
}

bool MprisPlayerAdaptor::CanSeek() const {
    return session_.CanSeek();
}

void MprisPlayerAdaptor::Later(std::function<void()> command) {
    QMetaObject::invokeMethod(this, std::move(command), Qt::QueuedConnection);
}

void MprisPlayerAdaptor::PlayPause() {
    Later([this] { session_.PlayPause(); });
}

void MprisPlayerAdaptor::Play() {
    Later([this] { session_.Play(); });
}

void MprisPlayerAdaptor::Pause() {
    Later([this] { session_.Pause(); });
}

void MprisPlayerAdaptor::Stop() {
    Later([this] { session_.Stop(); });
}

void MprisPlayerAdaptor::Next() {
    Later([this] { session_.Next(); });
}

void MprisPlayerAdaptor::Previous() {
    Later([this] { session_.Previous(); });
}

void MprisPlayerAdaptor::SeekAndTell(int64_t position) {
    session_.SeekTo(position);
    emit Seeked(session_.Position());
}

void MprisPlayerAdaptor::Seek(qlonglong offset) {
    Later([this, offset] {
        if (!session_.CanSeek())
            return;
        const auto track = session_.Track();
        const int64_t target = std::max<int64_t>(session_.Position() + offset, 0);
        // Past the end is the next programme, as at the end of one.
        if (track && track->length && target > *track->length)
            session_.Next();
        else
            SeekAndTell(target);
    });
}

void MprisPlayerAdaptor::SetPosition(const QDBusObjectPath& trackId, qlonglong position) {
    Later([this, path = trackId.path(), position] {
        const auto track = session_.Track();
        // A request meant for a programme that has gone since is dropped, as are places outside
        // the programme.
        if (!track || TrackIdPath(track->id) != path || !session_.CanSeek() || position < 0 ||
            (track->length && position > *track->length))
            return;
        SeekAndTell(position);
    });
}

} // namespace luming
