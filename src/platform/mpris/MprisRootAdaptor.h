#pragma once

#include <QDBusAbstractAdaptor>
#include <QStringList>

namespace luming {

class MediaSession;

// org.mpris.MediaPlayer2: who the player is; the desktop may raise its window but not end it.
class MprisRootAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2")
    Q_PROPERTY(bool CanQuit READ CanQuit)
    Q_PROPERTY(bool CanRaise READ CanRaise)
    Q_PROPERTY(bool HasTrackList READ HasTrackList)
    Q_PROPERTY(QString Identity READ Identity)
    Q_PROPERTY(QString DesktopEntry READ DesktopEntry)
    Q_PROPERTY(QStringList SupportedUriSchemes READ SupportedUriSchemes)
    Q_PROPERTY(QStringList SupportedMimeTypes READ SupportedMimeTypes)

public:
    MprisRootAdaptor(QObject* parent, MediaSession& session)
        : QDBusAbstractAdaptor(parent), session_(session) {}

    bool CanQuit() const { return false; }
    bool CanRaise() const { return true; }
    bool HasTrackList() const { return false; }
    QString Identity() const;
    // The name of the installed desktop entry, without ".desktop".
    QString DesktopEntry() const { return QStringLiteral("cn.luming.poetry"); }
    QStringList SupportedUriSchemes() const { return {}; }
    QStringList SupportedMimeTypes() const { return {}; }

public slots:
    void Raise();
    void Quit() {} // CanQuit is false: the program ends only from its own window

private:
    MediaSession& session_;
};

} // namespace luming
