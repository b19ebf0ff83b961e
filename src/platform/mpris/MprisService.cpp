#include "platform/mpris/MprisService.h"

#include "platform/mpris/MprisPlayerAdaptor.h"
#include "platform/mpris/MprisRootAdaptor.h"
#include "platform/mpris/MprisSignalCommands.h"
#include "platform/mpris/MprisValues.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QTimer>

namespace luming {

namespace {

// What the desktop is told of when it changes (Position is read when asked, never announced).
struct Announced {
    MediaStatus status = MediaStatus::Stopped;
    std::optional<MediaTrack> track;
    double volume = 0.0;
    bool canSeek = false;
};

class MprisService : public QObject, public MediaSessionService {
public:
    MprisService(MediaSession& session, QString busName)
        : session_(session), busName_(std::move(busName)), announced_(Read()) {
        new MprisRootAdaptor(this, session);
        new MprisPlayerAdaptor(this, session);
        new MprisSignalCommands(this, busName_);
        // Several changes in one turn of the event loop make one announcement.
        announce_.setSingleShot(true);
        announce_.setInterval(0);
        connect(&announce_, &QTimer::timeout, this, [this] { AnnounceChanges(); });
    }

    ~MprisService() override {
        QDBusConnection bus = QDBusConnection::sessionBus();
        bus.unregisterObject(kMprisObjectPath);
        bus.unregisterService(busName_);
    }

    void SessionChanged() override { announce_.start(); }

private:
    Announced Read() {
        return {session_.Status(), session_.Track(), session_.Volume(), session_.CanSeek()};
    }

    void AnnounceChanges() {
        const Announced now = Read();
        QVariantMap changed;
        if (now.status != announced_.status)
            changed.insert("PlaybackStatus", PlaybackStatusText(now.status));
        if (now.track != announced_.track)
            changed.insert("Metadata", TrackMetadata(now.track));
        if (now.volume != announced_.volume)
            changed.insert("Volume", now.volume);
        if (now.canSeek != announced_.canSeek)
            changed.insert("CanSeek", now.canSeek);
        announced_ = now;
        if (changed.isEmpty())
            return;
        QDBusMessage signal = QDBusMessage::createSignal(
            kMprisObjectPath, "org.freedesktop.DBus.Properties", "PropertiesChanged");
        signal << QString(kMprisPlayerInterface) << changed << QStringList();
        QDBusConnection::sessionBus().send(signal);
    }

    MediaSession& session_;
    QString busName_;
    Announced announced_;
    QTimer announce_;
};

} // namespace

std::string MprisEditionBusName(int editionNo) {
    return std::string(kMprisBusName) + ".edition" + std::to_string(editionNo);
}

std::unique_ptr<MediaSessionService> PublishMprisService(MediaSession& session, int editionNo) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return nullptr;
    for (const QString& name :
         {QString(kMprisBusName), QString::fromStdString(MprisEditionBusName(editionNo))}) {
        if (!bus.registerService(name))
            continue; // another edition holds it
        auto service = std::make_unique<MprisService>(session, name);
        if (!bus.registerObject(kMprisObjectPath, service.get(), QDBusConnection::ExportAdaptors))
            return nullptr; // the service's end gives the name back
        return service;
    }
    return nullptr;
}

} // namespace luming
