// The desktop's media keys and player applets: each command is the transport button the user
// would press, and what they show is read off the transport and the volume bar.
#include "config/Settings.h"
#include "platform/MediaSession.h"
#include "platform/Platform.h"
#include "playback/OutputLevel.h"
#include "playback/PlayState.h"
#include "shell/FormParts.h"
#include "shell/ReadAlong.h"
#include "shell/TfrmMain.h"

#include <QLabel>
#include <QSlider>
#include <QToolButton>

#include <algorithm>
#include <cmath>

namespace luming {

class WindowMediaSession : public MediaSession {
public:
    explicit WindowMediaSession(TfrmMain& form) : form_(form) {}

    std::string Identity() override { return form_.lblSysVer->text().toStdString(); }
    void Raise() override { form_.BringForward(); }

    void PlayPause() override {
        // While a programme loads the button is off, and so is the key.
        if (form_.btnPlay->isEnabled())
            form_.btnPlayClick();
    }
    void Play() override {
        if (Status() != MediaStatus::Playing)
            PlayPause();
    }
    void Pause() override {
        if (Status() == MediaStatus::Playing)
            PlayPause();
    }
    // The window has no stop of its own: the programme pauses and goes back to its start, so
    // the play key begins it again.
    void Stop() override {
        if (Status() == MediaStatus::Stopped)
            return;
        Pause();
        form_.Playback().SeekToMilliseconds(0);
    }
    void Next() override { form_.btnNextClick(); }
    void Previous() override { form_.btnPreClick(); }
    void SeekTo(int64_t position) override { form_.Playback().SeekToMilliseconds(position / 1000); }

    MediaStatus Status() override {
        if (!form_.Playback().CurrentPlay)
            return MediaStatus::Stopped;
        switch (form::Tag(form_.btnPlay)) {
        case kTagPlaying:
            // While it loads or waits for its bytes the programme stands still, and a desktop
            // counts the position of a playing one on by itself.
            return form_.btnPlay->isEnabled() ? MediaStatus::Playing : MediaStatus::Paused;
        case kTagPaused:
            return MediaStatus::Paused;
        default:
            return MediaStatus::Stopped;
        }
    }

    std::optional<MediaTrack> Track() override {
        Transport& playback = form_.Playback();
        const TKrvPlay* play = playback.CurrentPlay;
        if (!play)
            return std::nullopt;
        MediaTrack track{play->Id, play->Name, Folder(*play), std::nullopt,
                         form_.ReadAlong().Lyrics()};
        if (const int64_t length = Guarded([&] { return playback.LengthMilliseconds(); }))
            track.length = length * 1000;
        return track;
    }
    int64_t Position() override {
        // The audio player reads a little before the start just after a jump there.
        const int64_t position =
            Guarded([this] { return form_.Playback().PositionMilliseconds(); });
        return std::max<int64_t>(position, 0) * 1000;
    }
    bool CanSeek() override { return form_.Playback().CanSeek(); }

    double Volume() override {
        if (!form_.outputLevel_->SoundOn())
            return 0.0;
        return double(OutputLevel::kMaximum - form_.TrackBar2->value()) / OutputLevel::kMaximum;
    }
    void SetVolume(double volume) override {
        // A volume key brings muted sound back, as the bar does once unmuted.
        if (!form_.outputLevel_->SoundOn())
            form_.btnSoundClick();
        // Through the bar, so it follows and the level is set as when the user moves it.
        form_.TrackBar2->setValue(OutputLevel::kMaximum -
                                  static_cast<int>(std::lround(volume * OutputLevel::kMaximum)));
    }

private:
    // The name of the folder the programme lies in; empty for a programme started from a link.
    std::string Folder(const TKrvPlay& play) {
        ProgrammeTree& tree = form_.Tree();
        const auto node = static_cast<NodeIndex>(form_.Channel().CurrentIndex);
        if (!tree.Contains(node) || &tree.Play(node) != &play)
            return {};
        const NodeIndex folder = tree.Parent(node);
        return folder == kNoNode ? std::string() : std::string(tree.Text(folder));
    }

    // A player that cannot answer now knows no time.
    template <typename Read> static int64_t Guarded(Read read) {
        try {
            return read();
        } catch (...) {
            return 0;
        }
    }

    TfrmMain& form_;
};

void TfrmMain::ConnectMediaSession() {
    mediaSession_ = std::make_unique<WindowMediaSession>(*this);
    mediaService_ = platform_.PublishMediaSession(*mediaSession_, settings_.EditionNo);
}

void TfrmMain::MediaSessionChanged() {
    if (mediaService_)
        mediaService_->SessionChanged();
}

} // namespace luming
