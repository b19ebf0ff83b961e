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

// What the answer to a request means: the seek that Restart follows with "play", the loadfile
// that names the new file's playlist entry.
constexpr uint64_t kRestartSeek = 100;
constexpr uint64_t kLoadFile = 101;
// Requests are told apart by their reply tags, counted from here.
constexpr uint64_t kFirstRequestReply = 1000;

// A machine without a sound device still plays (silently) and reaches the end; mpv's own
// keys, on-screen controller and terminal output have no place in a widget. Nor have its
// scripts (web-video lookup, statistics, console, profiles): each is a Lua interpreter of its
// own, and the lookup's hooks held up the start of every file. Files beside a programme are not
// its subtitles: a read-along (.lrc) shows in the window's own strip, not in the picture too.
const MpvOptions kBaseOptions = {
    {"sub-auto", "no"},
    {"keep-open", "yes"},
    {"idle", "yes"},
    {"ao", "pipewire,pulse,alsa,null"},
    {"input-default-bindings", "no"},
    {"osc", "no"},
    {"terminal", "no"},
    {"ytdl", "no"},
    {"load-scripts", "no"},
    {"load-stats-overlay", "no"},
    {"load-osd-console", "no"},
    {"load-auto-profiles", "no"},
};

double AsDouble(const mpv_event_property& property) {
    return property.format == MPV_FORMAT_DOUBLE ? *static_cast<double*>(property.data) : 0.0;
}

bool AsFlag(const mpv_event_property& property, bool otherwise) {
    return property.format == MPV_FORMAT_FLAG ? *static_cast<int*>(property.data) != 0 : otherwise;
}

int64_t PlaylistEntry(const mpv_node& result) {
    if (result.format == MPV_FORMAT_NODE_MAP)
        for (int i = 0; i < result.u.list->num; ++i)
            if (std::strcmp(result.u.list->keys[i], "playlist_entry_id") == 0 &&
                result.u.list->values[i].format == MPV_FORMAT_INT64)
                return result.u.list->values[i].u.int64;
    return -1;
}

} // namespace

std::unique_ptr<MpvCore> MpvCore::Create(const MpvOptions& options, bool pictureDrawnOnThisThread) {
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
    return std::unique_ptr<MpvCore>(new MpvCore(mpv, pictureDrawnOnThisThread));
}

bool MpvCore::Available() {
    mpv_handle* mpv = mpv_create();
    if (!mpv)
        return false;
    mpv_destroy(mpv);
    return true;
}

MpvCore::MpvCore(mpv_handle* mpv, bool oneRequestAtATime)
    : mpv_(mpv), oneRequestAtATime_(oneRequestAtATime), nextReply_(kFirstRequestReply) {
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
        lastStarted_ = static_cast<const mpv_event_start_file*>(event.data)->playlist_entry_id;
        if (lastStarted_ == entry_)
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
    case MPV_EVENT_SET_PROPERTY_REPLY:
        if (event.reply_userdata >= kFirstRequestReply)
            Answered(event);
        break;
    default:
        break;
    }
}

void MpvCore::Send(std::function<int(uint64_t)> send, uint64_t tag) {
    requests_.push_back(Request{std::move(send), tag, loads_});
    SendNext();
}

void MpvCore::SendNext() {
    while (!requests_.empty() && !(oneRequestAtATime_ && !unanswered_.empty())) {
        Request request = std::move(requests_.front());
        requests_.pop_front();
        const uint64_t reply = nextReply_++;
        if (const int error = request.send(reply); error < 0) {
            if (request.tag == kLoadFile && request.loadNo == loads_)
                playback_.error = mpv_error_string(error);
            else
                qWarning("mpv request: %s", mpv_error_string(error));
            continue;
        }
        unanswered_.emplace(reply, std::move(request));
    }
}

void MpvCore::Answered(const mpv_event& event) {
    const auto sent = unanswered_.find(event.reply_userdata);
    if (sent == unanswered_.end())
        return;
    const Request request = std::move(sent->second);
    unanswered_.erase(sent);
    // An answer for a file that was replaced or stopped since says nothing about the current one.
    if (request.loadNo == loads_) {
        if (request.tag == kLoadFile && event.error < 0) {
            playback_.error = mpv_error_string(event.error);
        } else if (request.tag == kLoadFile) {
            entry_ = PlaylistEntry(static_cast<const mpv_event_command*>(event.data)->result);
            entryStarted_ = entry_ >= 0 && entry_ == lastStarted_;
        } else if (request.tag == kRestartSeek && event.error >= 0) {
            SetPaused(false);
        }
    }
    SendNext();
}

void MpvCore::Load(const std::string& file, bool paused) {
    ++loads_;
    playback_ = MpvPlayback{};
    playback_.active = true;
    playback_.paused = paused;
    entry_ = -1;
    entryStarted_ = false;
    pendingSeek_.reset();
    // Before the file starts, so that a paused load never shows a moving first frame.
    SetFlag("pause", paused);
    SendCommand({"loadfile", file, "replace"}, kLoadFile);
}

void MpvCore::Stop() {
    ++loads_;
    playback_ = MpvPlayback{};
    entry_ = -1;
    entryStarted_ = false;
    pendingSeek_.reset();
    SendCommand({"stop"});
}

void MpvCore::SetPaused(bool paused) {
    playback_.paused = paused;
    SetFlag("pause", paused);
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
    // Unpausing at the end would only end again: play once the seek is done.
    SendCommand({"seek", "0", "absolute"}, kRestartSeek);
}

void MpvCore::SetVolume(double percent) {
    Send([this, percent](uint64_t reply) {
        double value = percent;
        return mpv_set_property_async(mpv_, reply, "volume", MPV_FORMAT_DOUBLE, &value);
    });
}

void MpvCore::SetProperty(const char* name, const std::string& value) {
    Send([this, name = std::string(name), value](uint64_t reply) {
        const char* text = value.c_str();
        return mpv_set_property_async(mpv_, reply, name.c_str(), MPV_FORMAT_STRING, &text);
    });
}

void MpvCore::SetFlag(const char* name, bool value) {
    Send([this, name, value](uint64_t reply) {
        int flag = value ? 1 : 0;
        return mpv_set_property_async(mpv_, reply, name, MPV_FORMAT_FLAG, &flag);
    });
}

void MpvCore::Command(std::initializer_list<const char*> words) {
    SendCommand(std::vector<std::string>(words.begin(), words.end()));
}

void MpvCore::SendCommand(std::vector<std::string> words, uint64_t tag) {
    Send(
        [this, words = std::move(words)](uint64_t reply) {
            std::vector<const char*> command;
            for (const std::string& word : words)
                command.push_back(word.c_str());
            command.push_back(nullptr);
            return mpv_command_async(mpv_, reply, command.data());
        },
        tag);
}

} // namespace luming
