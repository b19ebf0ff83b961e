#pragma once

#include <QDBusMessage>
#include <QObject>
#include <QString>

namespace luming {

// Commands that arrive as signals addressed to the player. `dbus-send` without --print-reply
// sends a signal, not a method call, and that is what many hot-key scripts and desktop
// shortcuts run; each such signal is handed back to the player's own bus name as the method
// call it stands for, so it is obeyed exactly like one.
class MprisSignalCommands : public QObject {
    Q_OBJECT
public:
    MprisSignalCommands(QObject* parent, QString busName);
    ~MprisSignalCommands() override;

private slots:
    void Relay(const QDBusMessage& signal);

private:
    QString busName_;
};

} // namespace luming
