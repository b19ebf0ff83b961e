// The window as a screen reader finds it on the accessibility bus (at-spi): the controls' roles,
// Chinese names and states, where Tab goes, and one object with the focus. The demo installation
// plays its first programme at start, so the transport bar is there too. Runs on a session bus
// of its own (dbus-run-session) in an X server of its own.
#include "RunningProgram.h"
#include "X11Windows.h"
#include "support/TempDir.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>

#include <gtest/gtest.h>

using namespace luming::test;
namespace fs = std::filesystem;

namespace {

constexpr int kTimeoutMs = 20000;
constexpr int kReaderTimeoutMs = 480000;
const QString kTitle = QStringLiteral("鹿鸣果儿童古诗精选");

// Tab from the tree, where the window opens with the focus, once round the window: the
// transport bar from left to right, the status bar's button, the title bar's buttons of the
// maximised window, the search box and its button.
const QStringList kTabOrder = {QStringLiteral("上一首"),
                               QStringLiteral("play"),
                               QStringLiteral("下一首"),
                               QStringLiteral("播放进度"),
                               QStringLiteral("静音"),
                               QStringLiteral("音量"),
                               QStringLiteral("选择节目播放方式"),
                               QStringLiteral("全屏播放"),
                               QStringLiteral("更多资源"),
                               QStringLiteral("更多资源"),
                               QStringLiteral("最小化"),
                               QStringLiteral("还原"),
                               QStringLiteral("关闭"),
                               QStringLiteral("搜索关键词"),
                               QStringLiteral("搜索"),
                               QStringLiteral("tree")};

class Accessibility : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(locks);
        // The demo's programmes, made once per build directory as the demo script does.
        ASSERT_EQ(Run("bash", {LUMING_SOURCE_DIR "/demo/make-media.sh", Path(media)}), 0);
        fs::copy_file(LUMING_SOURCE_DIR "/demo/channel.tsv", media / "channel.tsv",
                      fs::copy_options::overwrite_existing);

        site.start(LUMING_SITE_EXECUTABLE, {"--media", Path(media), "--port", "0"});
        ASSERT_TRUE(site.waitForReadyRead(kTimeoutMs));
        const auto match = QRegularExpression("^listening on (http://127.0.0.1:\\d+)/$")
                               .match(QString::fromUtf8(site.readLine()).trimmed());
        ASSERT_TRUE(match.hasMatch());
        ASSERT_EQ(Run("bash", {LUMING_SOURCE_DIR "/demo/make-suite.sh", LUMING_BUILD_DIR,
                               Path(media), Path(suite), match.captured(1)}),
                  0);

        fs::create_directories(runtime);
        fs::permissions(runtime, fs::perms::owner_all);
        qputenv("XDG_RUNTIME_DIR", runtime.c_str());
    }

    // The accessibility bus, with its socket in a directory of this test's own (the launcher's
    // default place is shared by every launcher of the user). The client and the reader find it
    // through the session bus.
    void StartAccessibilityBus() {
        busLauncher.start("/usr/libexec/at-spi-bus-launcher", {"--launch-immediately"});
        // Asked without starting it: the session bus would start a launcher of its own.
        ASSERT_TRUE(WaitUntil(
            [this] {
                QProcess ask;
                ask.start("dbus-send",
                          {"--session", "--print-reply", "--dest=org.freedesktop.DBus",
                           "/org/freedesktop/DBus", "org.freedesktop.DBus.NameHasOwner",
                           "string:org.a11y.Bus"});
                return ask.waitForFinished(kTimeoutMs) && ask.readAll().contains("true");
            },
            kTimeoutMs));
    }

    void TearDown() override {
        for (QProcess* process : {&site, &busLauncher}) {
            process->terminate();
            process->waitForFinished(5000);
        }
    }

    static QString Path(const fs::path& path) { return QString::fromStdString(path.string()); }

    static int Run(const QString& program, const QStringList& arguments) {
        QProcess process;
        process.start(program, arguments);
        if (!process.waitForFinished(kReaderTimeoutMs))
            return -1;
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }

    // The window read by the at-spi reader once its status bar says `readyName`, and the focus
    // after `keys`.
    QJsonObject ReadWindow(RunningProgram& client, const QString& readyName,
                           const QStringList& keys) {
        QProcess reader;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("READY_NAME", readyName);
        reader.setProcessEnvironment(environment);
        reader.start("/usr/bin/python3", QStringList{LUMING_SOURCE_DIR "/tests/e2e/atspi_window.py",
                                                     QString::number(client.pid()), kTitle} +
                                             keys);
        EXPECT_TRUE(reader.waitForFinished(kReaderTimeoutMs)) << "the reader is still reading";
        const QByteArray output = reader.readAllStandardOutput();
        EXPECT_EQ(reader.exitCode(), 0)
            << reader.readAllStandardError().toStdString() << "the client said:\n"
            << client.Output().right(3000).toStdString();
        return QJsonDocument::fromJson(output).object();
    }

    TempDir temp;
    fs::path media = fs::path(LUMING_BUILD_DIR) / "demo" / "media";
    fs::path suite = temp.path() / "suite";
    fs::path locks = temp.path() / "locks";
    fs::path runtime = temp.path() / "runtime";
    QProcess site;
    QProcess busLauncher;
};

// The object of `objects` named `name` that shows on screen (or that is there at all, shown
// or not); empty when there is none.
QJsonObject Shown(const QJsonArray& objects, const QString& name, bool showing = true) {
    for (const QJsonValue& object : objects)
        if (object["name"].toString() == name &&
            (!showing || object["states"].toArray().contains(QStringLiteral("showing"))))
            return object.toObject();
    return {};
}

// Who holds the focus, as kTabOrder names it: the tree (which says so with its chosen row, its
// focus child), the play button (its name follows the player's state), or a control by name.
QString FocusHolder(const QJsonArray& focused) {
    QStringList holders;
    for (const QJsonValue& object : focused) {
        const QString role = object["role"].toString();
        if (role == "tree" || role == "table cell" || role == "tree item")
            holders << "tree";
        else if (QStringList{"暂停", "继续播放", "重播"}.contains(object["name"].toString()))
            holders << "play";
        else
            holders << object["name"].toString();
    }
    holders.removeDuplicates();
    return holders.size() == 1 ? holders[0] : "[" + holders.join(", ") + "]";
}

} // namespace

TEST_F(Accessibility, EveryControlHasARoleAChineseNameAndAPlaceInTheTabOrder) {
    RunningProgram client(suite / "poetry", {}, locks);
    // The accessibility bus comes up after the window, as when a screen reader starts later.
    ASSERT_TRUE(
        WaitUntil([&] { return WindowsOfProcess(static_cast<pid_t>(client.pid())).viewable > 0; },
                  kTimeoutMs))
        << client.Output().toStdString();
    StartAccessibilityBus();
    // Paused first, so that the play button stays where it is while Tab goes round; at the end
    // the sound goes off.
    QStringList keys = {QStringLiteral("space=暂停中")};
    for (int stop = 0; stop < kTabOrder.size(); ++stop)
        keys << "Tab";
    keys << "shift+Tab" << QStringLiteral("m@静音");
    const QJsonObject window = ReadWindow(client, QStringLiteral("正在播放"), keys);
    const QJsonArray objects = window["objects"].toArray();

    // The window and nothing else; no object shows a name of the program's insides.
    EXPECT_EQ(window["windows"].toArray(), QJsonArray{kTitle});
    for (const QJsonValue& object : objects) {
        const QString name = object["name"].toString();
        EXPECT_FALSE(QRegularExpression("^[A-Za-z_]\\w*$|^\\d+$").match(name).hasMatch())
            << object["role"].toString().toStdString() << " named " << name.toStdString();
    }

    for (const char* button : {"最小化", "还原", "关闭", "上一首", "下一首", "选择节目播放方式",
                               "全屏播放", "更多资源", "搜索"})
        EXPECT_EQ(Shown(objects, button)["role"].toString(), "push button") << button;
    // The mute button: a check box (Qt's bridge has no checkable push button), checked once the
    // sound is off.
    const QJsonObject mute = Shown(objects, "静音");
    EXPECT_EQ(mute["role"].toString(), "check box");
    EXPECT_TRUE(mute["states"].toArray().contains(QStringLiteral("checked")));
    EXPECT_EQ(Shown(objects, "搜索关键词")["role"].toString(), "text");
    // The state label, and the line of 静夜思's read-along being read, each named by what it says
    // (the read-along's has no name until the voice reaches the first line).
    QStringList statusLines;
    for (const QJsonValue& object : objects)
        if (object["role"].toString() == "status bar" &&
            object["states"].toArray().contains(QStringLiteral("showing")))
            statusLines << object["name"].toString();
    ASSERT_EQ(statusLines.size(), 2) << statusLines.join(" | ").toStdString();
    const QStringList lines = {QString(), QStringLiteral("床前明月光 chuáng qián míng yuè guāng"),
                               QStringLiteral("疑是地上霜 yí shì dì shàng shuāng")};
    const bool lineFirst = lines.contains(statusLines[0]);
    EXPECT_TRUE(lines.contains(statusLines[lineFirst ? 0 : 1]))
        << statusLines.join(" | ").toStdString();
    EXPECT_TRUE(statusLines[lineFirst ? 1 : 0].contains(QRegularExpression("^\\p{Han}+$")))
        << statusLines.join(" | ").toStdString();
    const QJsonObject volume = Shown(objects, "音量", false); // shown while it has the focus
    EXPECT_EQ(volume["role"].toString(), "slider");
    EXPECT_EQ(volume["maximum"].toDouble(), 255);
    const QJsonObject position = Shown(objects, "播放进度");
    EXPECT_EQ(position["role"].toString(), "slider");
    EXPECT_TRUE(QRegularExpression("^\\d\\d:\\d\\d / \\d\\d:\\d\\d$")
                    .match(position["description"].toString())
                    .hasMatch())
        << position["description"].toString().toStdString();

    // The tree: named, its rows under no header a reader meets, each folder open or closed,
    // each programme with its kind. The first folder is open at the remembered programme.
    EXPECT_EQ(Shown(objects, "节目列表")["role"].toString(), "tree");
    for (const QJsonValue& object : objects)
        EXPECT_FALSE(object["role"].toString() == "column header" &&
                     object["states"].toArray().contains(QStringLiteral("showing")))
            << object["name"].toString().toStdString();
    const QJsonArray open = Shown(objects, "唐诗")["states"].toArray();
    EXPECT_TRUE(open.contains(QStringLiteral("expandable")) &&
                open.contains(QStringLiteral("expanded")));
    // Closed: expandable and not expanded, which a reader says as collapsed.
    const QJsonArray closed = Shown(objects, "宋词")["states"].toArray();
    EXPECT_TRUE(closed.contains(QStringLiteral("expandable")) &&
                !closed.contains(QStringLiteral("expanded")));
    EXPECT_EQ(Shown(objects, "静夜思 李白")["description"].toString(), QStringLiteral("视频"));
    EXPECT_EQ(Shown(objects, "春晓 孟浩然")["description"].toString(), QStringLiteral("音频"));
    EXPECT_EQ(Shown(objects, "登鹳雀楼 王之涣")["description"].toString(), QStringLiteral("动画"));

    // After every key one control holds the focus: once round the window, and back.
    const QJsonArray focus = window["focus"].toArray();
    ASSERT_EQ(focus.size(), keys.size());
    EXPECT_EQ(FocusHolder(focus[0].toArray()), "tree") << "the space key paused, in the tree";
    QStringList order;
    for (int stop = 1; stop <= kTabOrder.size(); ++stop)
        order << FocusHolder(focus[stop].toArray());
    EXPECT_EQ(order, kTabOrder) << order.join(", ").toStdString();
    const QJsonArray soundOn = focus[kTabOrder.indexOf(QStringLiteral("静音")) + 1].toArray();
    EXPECT_FALSE(!soundOn.isEmpty() &&
                 soundOn[0]["states"].toArray().contains(QStringLiteral("checked")));
    EXPECT_EQ(FocusHolder(focus[kTabOrder.size() + 1].toArray()), "搜索");
}
