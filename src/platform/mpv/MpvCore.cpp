#include "platform/mpv/MpvCore.h"

#include <QtGlobal>

#include <mpv/client.h>

#include <charconv>
#include <cstring>
#include <vector>

namespace luming {

namespace {

// Observed properties, told apart by their reply tag.
enum Observed : uint64_t { kTimePos = 1, kDuration, kPause, kEofReached, kCoreIdle };
const char* const kObservedNames[] = {"",      "time-pos",    "duration",
                                      "pause", "eof-reached", "core-idle"};
constexpr uint64_t kObservedCount = 6;
// Replies of the one-off reads made when a file is loaded: tag = kReread + observed tag.
constexpr uint64_t kReread = 10;

// The reply tag of the seek that Restart follows with "play".
constexpr uint64_t kRestartSeek = 100;

// A machine without a sound device still plays (silently) and reaches the end; mpv's own
// keys, on-screen controller and terminal output have no place in a widget.
const MpvOptions kBaseOptions = {
    {"keep-open", "yes"},
    {"idle", "yes"},
    {"ao", "pipewire,pulse,alsa,null"},
    {"input-default-bindings", "no"},
    {"osc", "no"},
    {"terminal", "no"},
};

double AsDouble(const mpv_event_property& property) {
    return property.format == MPV_FORMAT_DOUBLE ? *static_cast<double*>(property.data) : 0.0;
}

bool AsFlag(const mpv_event_property& property, bool otherwise) {
    return property.format == MPV_FORMAT_FLAG ? *static_cast<int*>(property.data) != 0 : otherwise;
}

} // namespace

std::unique_ptr<MpvCore> MpvCore::Create(const MpvOptions& options) {
    mpv_handle* mpv = mpv_create();
    if (!mpv)
        return nullptr;
    for (const auto& list : {kBaseOptions, options})
        for (const auto& [name, value] : list)
            if (const int error = mpv_set_option_string(mpv, name.c_str(), value.c_str());
                error < 0)
                qWarning("mpv option %s=%s: %s", name.c_str(), value.c_str(),
                         mpv_error_string(error));
    if (mpv_initialize(mpv) < 0) {
        mpv_terminate_destroy(mpv);
        return nullptr;
    }
    return std::unique_ptr<MpvCore>(new MpvCore(mpv));
}

bool MpvCore::Available() {
    mpv_handle* mpv = mpv_create();
    if (!mpv)
        return false;
    mpv_destroy(mpv);
    return true;
}

MpvCore::MpvCore(mpv_handle* mpv) : mpv_(mpv) {
    mpv_observe_property(mpv_, kTimePos, "time-pos", MPV_FORMAT_DOUBLE);
    mpv_observe_property(mpv_, kDuration, "duration", MPV_FORMAT_DOUBLE);
    mpv_observe_property(mpv_, kPause, "pause", MPV_FORMAT_FLAG);
    mpv_observe_property(mpv_, kEofReached, "eof-reached", MPV_FORMAT_FLAG);
    mpv_observe_property(mpv_, kCoreIdle, "core-idle", MPV_FORMAT_FLAG);
    mpv_set_wakeup_callback(mpv_, &MpvCore::OnWakeup, this);
}

MpvCore::~MpvCore() {
    mpv_set_wakeup_callback(mpv_, nullptr, nullptr);
    mpv_terminate_destroy(mpv_);
}

// Called on one of mpv's threads: only queue the drain, once until it has run.
void MpvCore::OnWakeup(void* self) {
    auto* core = static_cast<MpvCore*>(self);
    if (!core->drainQueued_.exchange(true))
        QMetaObject::invokeMethod(core, &MpvCore::Drain, Qt::QueuedConnection);
}

void MpvCore::Drain() {
    drainQueued_ = false;
    bool any = false;
    for (;;) {
        const mpv_event* event = mpv_wait_event(mpv_, 0);
        if (event->event_id == MPV_EVENT_NONE)
            break;
        Apply(*event);
        any = true;
    }
    if (any)
        emit changed();
}

void MpvCore::Apply(const mpv_event& event) {
    switch (event.event_id) {
    case MPV_EVENT_START_FILE:
        if (static_cast<const mpv_event_start_file*>(event.data)->playlist_entry_id == entry_)
            entryStarted_ = true;
        break;
    case MPV_EVENT_FILE_LOADED:
        if (!entryStarted_)
            break;
        playback_.loaded = true;
        if (pendingSeek_) {
            Seek(*pendingSeek_);
            pendingSeek_.reset();
        }
        // mpv reports only changes: a value equal to the previous file's is never sent.
        for (uint64_t tag = 1; tag < kObservedCount; ++tag)
            mpv_get_property_async(mpv_, kReread + tag, kObservedNames[tag],
                                   tag == kTimePos || tag == kDuration ? MPV_FORMAT_DOUBLE
                                                                       : MPV_FORMAT_FLAG);
        break;
    case MPV_EVENT_END_FILE: {
        const auto* end = static_cast<const mpv_event_end_file*>(event.data);
        if (end->playlist_entry_id == entry_ && end->reason == MPV_END_FILE_REASON_ERROR) {
            playback_.error = mpv_error_string(end->error);
            playback_.loaded = false;
        }
        break;
    }
    case MPV_EVENT_GET_PROPERTY_REPLY:
    case MPV_EVENT_PROPERTY_CHANGE: {
        if (event.error < 0)
            break;
        const auto& property = *static_cast<const mpv_event_property*>(event.data);
        const uint64_t tag = event.event_id == MPV_EVENT_GET_PROPERTY_REPLY
                                 ? event.reply_userdata - kReread
                                 : event.reply_userdata;
        // Until the new file starts, file properties still describe the one it replaced.
        if (tag != kPause && !entryStarted_)
            break;
        switch (tag) {
        case kTimePos:
            playback_.position = AsDouble(property);
            break;
        case kDuration:
            playback_.duration = AsDouble(property);
            break;
        case kPause:
            playback_.paused = AsFlag(property, playback_.paused);
            break;
        case kEofReached:
            playback_.ended = AsFlag(property, false);
            break;
        case kCoreIdle:
            playback_.coreIdle = AsFlag(property, true);
            break;
        }
        break;
    }
    case MPV_EVENT_COMMAND_REPLY:
        if (event.reply_userdata == kRestartSeek && restartEntry_ == entry_)
            SetPaused(false);
        break;
    default:
        break;
    }
}

void MpvCore::Load(const std::string& file, bool paused) {
    playback_ = MpvPlayback{};
    playback_.active = true;
    playback_.paused = paused;
    entryStarted_ = false;
    pendingSeek_.reset();
    // Before the file starts, so that a paused load never shows a moving first frame.
    int flag = paused ? 1 : 0;
    mpv_set_property(mpv_, "pause", MPV_FORMAT_FLAG, &flag);
    const char* words[] = {"loadfile", file.c_str(), "replace", nullptr};
    mpv_node result{};
    if (const int error = mpv_command_ret(mpv_, words, &result); error < 0) {
        playback_.error = mpv_error_string(error);
        entry_ = -1;
        return;
    }
    entry_ = -1;
    if (result.format == MPV_FORMAT_NODE_MAP)
        for (int i = 0; i < result.u.list->num; ++i)
            if (std::strcmp(result.u.list->keys[i], "playlist_entry_id") == 0 &&
                result.u.list->values[i].format == MPV_FORMAT_INT64)
                entry_ = result.u.list->values[i].u.int64;
    mpv_free_node_contents(&result);
}

void MpvCore::Stop() {
    playback_ = MpvPlayback{};
    entry_ = -1;
    entryStarted_ = false;
    pendingSeek_.reset();
    // Waits: a load that follows must not be overtaken by it.
    const char* words[] = {"stop", nullptr};
    mpv_command(mpv_, words);
}

void MpvCore::SetPaused(bool paused) {
    playback_.paused = paused;
    int flag = paused ? 1 : 0;
    mpv_set_property_async(mpv_, 0, "pause", MPV_FORMAT_FLAG, &flag);
}

void MpvCore::Seek(double seconds) {
    playback_.position = seconds;
    playback_.ended = false;
    // mpv refuses to seek in a file it has not opened yet: seek once it has.
    if (playback_.active && !playback_.loaded && playback_.error.empty()) {
        pendingSeek_ = seconds;
        return;
    }
    char target[32];
    const auto end = std::to_chars(target, target + sizeof target - 1, seconds).ptr;
    *end = '\0';
    Command({"seek", target, "absolute"});
}

void MpvCore::Restart() {
    playback_.ended = false;
    playback_.position = 0;
    restartEntry_ = entry_;
    // Unpausing at the end would only end again: play once the seek is done.
    Command({"seek", "0", "absolute"}, kRestartSeek);
}

void MpvCore::SetVolume(double percent) {
    mpv_set_property_async(mpv_, 0, "volume", MPV_FORMAT_DOUBLE, &percent);
}

void MpvCore::SetProperty(const char* name, const std::string& value) {
    const char* text = value.c_str();
    mpv_set_property_async(mpv_, 0, name, MPV_FORMAT_STRING, &text);
}

void MpvCore::Command(std::initializer_list<const char*> words, uint64_t tag) {
    std::vector<const char*> command(words);
    command.push_back(nullptr);
    mpv_command_async(mpv_, tag, command.data());
}

} // namespace luming
