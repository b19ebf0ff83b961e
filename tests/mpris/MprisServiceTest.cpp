// The media session as the desktop sees it over a real (private) session bus: names, properties,
// commands and the announcements of change, against a session that records what it was asked.
#include "platform/mpris/MprisService.h"
#include "support/EventWait.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>

#include <gtest/gtest.h>

#include <algorithm>

using namespace luming;
using luming::test::WaitFor;

namespace {

constexpr char kPath[] = "/org/mpris/MediaPlayer2";
constexpr char kRoot[] = "org.mpris.MediaPlayer2";
constexpr char kPlayer[] = "org.mpris.MediaPlayer2.Player";
constexpr char kProperties[] = "org.freedesktop.DBus.Properties";

struct RecordingSession : MediaSession {
    std::vector<std::string> calls;
    MediaStatus status = MediaStatus::Paused;
    std::optional<MediaTrack> track =
        MediaTrack{"p/7", "静夜思", "唐诗", 12'500'000, "静夜思\n李白\n床前明月光\n"};
    int64_t position = 2'000'000;
    bool canSeek = true;
    double volume = 0.5;

    std::string Identity() override { return "鹿鸣果儿童古诗精选"; }
    void Raise() override { calls.push_back("Raise"); }
    void PlayPause() override { calls.push_back("PlayPause"); }
    void Play() override { calls.push_back("Play"); }
    void Pause() override { calls.push_back("Pause"); }
    void Stop() override { calls.push_back("Stop"); }
    void Next() override { calls.push_back("Next"); }
    void Previous() override { calls.push_back("Previous"); }
    void SeekTo(int64_t to) override { calls.push_back("SeekTo " + std::to_string(to)); }
    MediaStatus Status() override { return status; }
    std::optional<MediaTrack> Track() override { return track; }
    int64_t Position() override { return position; }
    bool CanSeek() override { return canSeek; }
    double Volume() override { return volume; }
    void SetVolume(double to) override {
        calls.push_back("SetVolume " + std::to_string(to));
        volume = to;
    }
};

} // namespace

// The PropertiesChanged signals the desktop receives.
class SignalRecorder : public QObject {
    Q_OBJECT
public:
    std::vector<QDBusMessage> signals_;
public slots:
    void Record(const QDBusMessage& message) { signals_.push_back(message); }
};

namespace {

class MprisServiceTest : public ::testing::Test {
protected:
    void SetUp() override {
        service = PublishMprisService(session, 26);
        ASSERT_NE(service, nullptr);
    }

    // A call from another connection, as the desktop makes it; the service answers from this
    // thread, so the call keeps the event loop turning while it waits.
    QDBusMessage Call(const char* interface, const char* method, QVariantList arguments = {}) {
        QDBusMessage call = QDBusMessage::createMethodCall(kMprisBusName, kPath, interface, method);
        call.setArguments(arguments);
        return desktop.call(call, QDBus::BlockWithGui);
    }
    QVariant Get(const char* interface, const char* property) {
        const QDBusMessage reply = Call(kProperties, "Get", {interface, property});
        EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
        return reply.arguments().value(0).value<QDBusVariant>().variant();
    }
    QVariantMap Metadata() {
        return qdbus_cast<QVariantMap>(Get(kPlayer, "Metadata").value<QDBusArgument>());
    }
    // Commands run once the call is answered.
    void Command(const char* method, QVariantList arguments = {}) {
        const size_t before = session.calls.size();
        Call(kPlayer, method, arguments);
        WaitFor([&] { return session.calls.size() > before; }, 300);
    }

    QDBusConnection desktop = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "desktop");
    RecordingSession session;
    std::unique_ptr<MediaSessionService> service;
};

} // namespace

TEST_F(MprisServiceTest, AnswersUnderTheProgramsNameAndRaisesTheWindow) {
    EXPECT_TRUE(desktop.interface()->isServiceRegistered(kMprisBusName).value());
    EXPECT_EQ(Get(kRoot, "Identity").toString(), QStringLiteral("鹿鸣果儿童古诗精选"));
    EXPECT_EQ(Get(kRoot, "DesktopEntry").toString(), "cn.luming.poetry")
        << "packaging/cn.luming.poetry.desktop";
    EXPECT_FALSE(Get(kRoot, "CanQuit").toBool());
    EXPECT_TRUE(Get(kRoot, "CanRaise").toBool());
    EXPECT_FALSE(Get(kRoot, "HasTrackList").toBool());
    EXPECT_TRUE(Get(kRoot, "SupportedMimeTypes").toStringList().isEmpty());
    Call(kRoot, "Raise");
    EXPECT_EQ(session.calls, std::vector<std::string>{"Raise"});

    service.reset();
    EXPECT_FALSE(desktop.interface()->isServiceRegistered(kMprisBusName).value())
        << "the name goes with the service";
}

TEST_F(MprisServiceTest, CommandsReachTheSessionAndSeeksStayWithinTheProgramme) {
    for (const char* command : {"PlayPause", "Play", "Pause", "Stop", "Next", "Previous"})
        Command(command);
    EXPECT_EQ(session.calls,
              (std::vector<std::string>{"PlayPause", "Play", "Pause", "Stop", "Next", "Previous"}));
    session.calls.clear();

    // From 2 s of 12.5 s: forward 3 s, back past the start, forward past the end.
    Command("Seek", {qlonglong{3'000'000}});
    Command("Seek", {qlonglong{-10'000'000}});
    Command("Seek", {qlonglong{20'000'000}});
    EXPECT_EQ(session.calls, (std::vector<std::string>{"SeekTo 5000000", "SeekTo 0", "Next"}));
    session.calls.clear();

    // "p/7" with the slash as _2F, behind the "p" that starts every id.
    const QDBusObjectPath current("/org/luming/programme/pp_2F7");
    Command("SetPosition", {QVariant::fromValue(QDBusObjectPath("/org/luming/programme/p8")),
                            qlonglong{7'000'000}});
    Command("SetPosition", {QVariant::fromValue(current), qlonglong{13'000'000}});
    Command("SetPosition", {QVariant::fromValue(current), qlonglong{7'000'000}});
    EXPECT_EQ(session.calls, std::vector<std::string>{"SeekTo 7000000"})
        << "another programme's and a place past the end are dropped";
    session.calls.clear();

    session.canSeek = false; // an ActionScript 3 movie
    Command("Seek", {qlonglong{1'000'000}});
    EXPECT_TRUE(session.calls.empty());

    const QDBusMessage set =
        Call(kProperties, "Set", {kPlayer, "Volume", QVariant::fromValue(QDBusVariant(1.7))});
    EXPECT_EQ(set.type(), QDBusMessage::ReplyMessage) << set.errorMessage().toStdString();
    EXPECT_EQ(session.calls, std::vector<std::string>{"SetVolume 1.000000"});
}

// Hot-key scripts send without waiting: `dbus-send` without --print-reply sends a signal to the
// player, other tools a method call that wants no reply. Both are obeyed.
TEST_F(MprisServiceTest, CommandsSentWithoutWaitingForAReplyAreObeyed) {
    const std::vector<std::string> commands = {"PlayPause", "Play", "Pause",
                                               "Stop",      "Next", "Previous"};
    for (const bool asSignal : {true, false}) {
        session.calls.clear();
        auto send = [&](const char* interface, const char* member, QVariantList arguments) {
            QDBusMessage message =
                asSignal
                    ? QDBusMessage::createTargetedSignal(kMprisBusName, kPath, interface, member)
                    : QDBusMessage::createMethodCall(kMprisBusName, kPath, interface, member);
            message.setArguments(arguments);
            ASSERT_TRUE(desktop.send(message)); // a method call sent so wants no reply
        };
        for (const std::string& command : commands)
            send(kPlayer, command.c_str(), {});
        send(kProperties, "Set", {kPlayer, "Volume", QVariant::fromValue(QDBusVariant(0.25))});
        WaitFor([&] { return session.calls.size() >= commands.size() + 1; }, 5000);
        std::vector<std::string> expected = commands;
        expected.push_back("SetVolume 0.250000");
        // The volume is set at once, commands on the next turn of the event loop.
        std::sort(expected.begin(), expected.end());
        std::sort(session.calls.begin(), session.calls.end());
        EXPECT_EQ(session.calls, expected) << (asSignal ? "as signals" : "as calls");
    }
}

TEST_F(MprisServiceTest, PropertiesTellWhatTheSessionShowsNow) {
    EXPECT_EQ(Get(kPlayer, "PlaybackStatus").toString(), "Paused");
    const QVariantMap metadata = Metadata();
    EXPECT_EQ(metadata.value("mpris:trackid").value<QDBusObjectPath>().path(),
              "/org/luming/programme/pp_2F7");
    EXPECT_EQ(metadata.value("xesam:title").toString(), QStringLiteral("静夜思"));
    EXPECT_EQ(metadata.value("xesam:album").toString(), QStringLiteral("唐诗"));
    EXPECT_EQ(metadata.value("mpris:length").toLongLong(), 12'500'000);
    EXPECT_EQ(metadata.value("xesam:asText").toString(),
              QStringLiteral("静夜思\n李白\n床前明月光\n"));
    EXPECT_EQ(Get(kPlayer, "Position").toLongLong(), 2'000'000);
    EXPECT_EQ(Get(kPlayer, "Volume").toDouble(), 0.5);
    EXPECT_TRUE(Get(kPlayer, "CanSeek").toBool());
    EXPECT_TRUE(Get(kPlayer, "CanGoNext").toBool());
    EXPECT_TRUE(Get(kPlayer, "CanControl").toBool());

    session.position = 9'000'000; // read when asked
    EXPECT_EQ(Get(kPlayer, "Position").toLongLong(), 9'000'000);
    session.status = MediaStatus::Stopped;
    session.track = std::nullopt;
    EXPECT_EQ(Get(kPlayer, "PlaybackStatus").toString(), "Stopped");
    EXPECT_EQ(Metadata().keys(), QStringList{"mpris:trackid"});
    EXPECT_EQ(Metadata().value("mpris:trackid").value<QDBusObjectPath>().path(),
              "/org/mpris/MediaPlayer2/TrackList/NoTrack");
}

TEST_F(MprisServiceTest, OnlyWhatChangedIsAnnouncedOnce) {
    SignalRecorder recorder;
    ASSERT_TRUE(desktop.connect(kMprisBusName, kPath, kProperties, "PropertiesChanged", &recorder,
                                SLOT(Record(QDBusMessage))));
    auto changedOf = [&](size_t index) {
        const QList<QVariant> arguments = recorder.signals_.at(index).arguments();
        EXPECT_EQ(arguments.value(0).toString(), kPlayer);
        return qdbus_cast<QVariantMap>(arguments.value(1).value<QDBusArgument>());
    };

    session.status = MediaStatus::Playing;
    service->SessionChanged();
    service->SessionChanged(); // in the same turn: one announcement
    ASSERT_TRUE(WaitFor([&] { return !recorder.signals_.empty(); }, 3000));
    QVariantMap changed = changedOf(0);
    EXPECT_EQ(changed.keys(), QStringList{"PlaybackStatus"});
    EXPECT_EQ(changed.value("PlaybackStatus").toString(), "Playing");

    session.position = 4'000'000; // the position is never announced
    service->SessionChanged();
    luming::test::Pause(200);
    EXPECT_EQ(recorder.signals_.size(), 1u);

    session.volume = 0.25;
    session.canSeek = false;
    session.track->length = 13'000'000;
    service->SessionChanged();
    ASSERT_TRUE(WaitFor([&] { return recorder.signals_.size() == 2; }, 3000));
    changed = changedOf(1);
    EXPECT_EQ(changed.keys(), (QStringList{"CanSeek", "Metadata", "Volume"}));
    EXPECT_EQ(changed.value("Volume").toDouble(), 0.25);
    EXPECT_FALSE(changed.value("CanSeek").toBool());
}

TEST(MprisServiceNames, AFurtherEditionTakesANameOfItsOwnAndNoNameMeansNoService) {
    QDBusConnection other = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "other");
    ASSERT_TRUE(other.registerService(kMprisBusName)); // another edition runs
    RecordingSession session;
    auto service = PublishMprisService(session, 27);
    ASSERT_NE(service, nullptr);
    EXPECT_TRUE(
        other.interface()->isServiceRegistered("org.mpris.MediaPlayer2.luming.edition27").value());

    service.reset();
    ASSERT_TRUE(other.registerService("org.mpris.MediaPlayer2.luming.edition27"));
    EXPECT_EQ(PublishMprisService(session, 27), nullptr);
    other.unregisterService("org.mpris.MediaPlayer2.luming.edition27");
    other.unregisterService(kMprisBusName);
}

TEST(NoSessionBus, TheProgramRunsWithoutTheService) {
    RecordingSession session;
    EXPECT_EQ(PublishMprisService(session, 26), nullptr);
}

#include "MprisServiceTest.moc"
