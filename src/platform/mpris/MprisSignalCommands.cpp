#include "platform/mpris/MprisSignalCommands.h"

#include "platform/mpris/MprisValues.h"

#include <QDBusConnection>

namespace luming {

namespace {

struct Command {
    const char* interface;
    const char* member;
};

constexpr Command kCommands[] = {
    {kMprisRootInterface, "Raise"},         {kMprisPlayerInterface, "PlayPause"},
    {kMprisPlayerInterface, "Play"},        {kMprisPlayerInterface, "Pause"},
    {kMprisPlayerInterface, "Stop"},        {kMprisPlayerInterface, "Next"},
    {kMprisPlayerInterface, "Previous"},    {kMprisPlayerInterface, "Seek"},
    {kMprisPlayerInterface, "SetPosition"}, {"org.freedesktop.DBus.Properties", "Set"},
};

} // namespace

MprisSignalCommands::MprisSignalCommands(QObject* parent, QString busName)
    : QObject(parent), busName_(std::move(busName)) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    for (const Command& command : kCommands)
        bus.connect(QString(), kMprisObjectPath, command.interface, command.member, this,
                    SLOT(Relay(QDBusMessage)));
}

MprisSignalCommands::~MprisSignalCommands() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    for (const Command& command : kCommands)
        bus.disconnect(QString(), kMprisObjectPath, command.interface, command.member, this,
                       SLOT(Relay(QDBusMessage)));
}

void MprisSignalCommands::Relay(const QDBusMessage& signal) {
    // Anyone on the session bus may call the player's methods, so a signal that stands for one
    // (sent to the player or to everyone) grants nothing more.
    QDBusMessage call = QDBusMessage::createMethodCall(busName_, signal.path(), signal.interface(),
                                                       signal.member());
    call.setArguments(signal.arguments());
    QDBusConnection::sessionBus().send(call); // sent without waiting: the answer would go nowhere
}

} // namespace luming
