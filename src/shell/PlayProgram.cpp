// The start of a programme in the player of its type, and the life of the hidden audio player.
#include "config/Settings.h"
#include "content/PlayRequest.h"
#include "platform/FlashControl.h"
#include "platform/MediaPlayer.h"
#include "platform/Platform.h"
#include "platform/WebPane.h"
#include "playback/PlayStart.h"
#include "playback/TextProgramme.h"
#include "shell/AsyncProbe.h"
#include "shell/ReadAlong.h"
#include "shell/TextFetch.h"
#include "shell/TextProgrammeView.h"
#include "shell/TfrmMain.h"

#include <QFrame>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>

#include <filesystem>

namespace luming {

namespace {

constexpr char kOfflineAudioPage[] = "../Resource/Html/offline/mp3.htm";
constexpr char kNoAudioPlayer[] = "音频播放器无法创建";

bool IsFile(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

} // namespace

void TfrmMain::PlayProgram(TKrvPlay& play) {
    Transport& playback = *transport_;
    // A text read again (one programme repeated) stays on the page with its read-along: only
    // its clock starts again. Shown anew, each round would tell a screen reader the whole page.
    if (&play == playback.CurrentPlay && play.FileType == "3" && txtProgramme->isVisible() &&
        playback.ReadAgain()) {
        TimerPlayList->start();
        return;
    }
    RememberWhereLeft();
    TimerPlayList->stop();
    playback.SetPlayState(PlayState::Loading);
    playback.ResetPosition();
    try {
        if (playback.CurrentPlay && playback.CurrentPlay->FileType == "2")
            CloseMp3();
        ShockwaveFlash1->SetMovie(settings_.AppDir + std::string(kBlankMovie));
    } catch (...) {
    }
    try {
        if (pnlExitFullScreen->isVisible() && playback.CurrentPlay &&
            LeavesFullScreen(playback.CurrentPlay->FileType, play.FileType))
            btnExitFullScreen->click();
    } catch (...) {
    }
    textFetch_->Cancel(); // a text still on its way belongs to the programme before
    if (&play != playback.CurrentPlay)
        readAlong_->Stop(); // the same programme again keeps its poem (see ReadAlong::Start)
    if (play.FileType != "3")
        txtProgramme->hide();
    // What plays now, for a reader whose focus is not on the row (next, previous, the list
    // moving on by itself); a programme that only starts again is not news.
    if (playback.CurrentPlay != &play)
        Announce(QString::fromStdString(play.Name), tv1);
    playback.CurrentPlay = &play;
    resumeDue_ = true;
    MediaSessionChanged();
    try {
        StartPlayer(play);
    } catch (const std::exception& error) {
        // The programme cannot start: the bar says so, as for a failure found while playing,
        // and the play button offers to try again. No box stands in the child's way.
        readAlong_->Stop();
        playback.ShowPlayError(error.what());
        return;
    }
    readAlong_->Start(play, channel_.CurrentChannel, !playback.PlayingLocal);
    if (playback.PlayingLocal && play.FileType != "3") // a text says it is read once shown
        playback.SetPlayState(PlayState::Playing);
    TimerPlayList->start();
}

std::string TfrmMain::ProgrammeSource(TKrvPlay& play) {
    if (auto local = LocalCopy(play, settings_.CacheDir, channel_.CurrentChannel,
                               settings_.DownloadDir, IsFile)) {
        transport_->PlayingLocal = true;
        return *local;
    }
    RequestPlayUrl(platform_.Vendor(), settings_.DownloadBaseUrl, play);
    transport_->PlayingLocal = false;
    return play.PlayUrl;
}

void TfrmMain::StartPlayer(TKrvPlay& play) {
    const std::string& type = play.FileType;
    // The audio page stays loaded but hidden under a movie: a hidden view does not keep
    // drawing its animations while the movie needs the machine.
    if (type == "1" || type == "4")
        wbMp3->hide();
    if (type == "1") {
        ShockwaveFlash1->SetBackgroundColor(0);
        ShockwaveFlash1->show();
        ShockwaveFlash1->raise();
        ShockwaveFlash1->SetScaleMode(2);
        if (FullScreenOn == 1)
            pnlExitFullScreen->raise();
        ShockwaveFlash1->SetMovie(ProgrammeSource(play));
        ShockwaveFlash1->SetLoop(false);
    } else if (type == "2") {
        wbMp3->show();
        wbMp3->raise();
        // The vendor's audio page when it answers (asked twice), else the offline one; the
        // window does not wait for the answer.
        const std::string primary = AudioPageAddress(settings_.Mp3PageUrl, channel_.CurrentChannel);
        probes_->Probe(
            primary,
            [this, primary, fallback = settings_.AppDir + kOfflineAudioPage](bool reachable) {
                wbMp3->Navigate(reachable ? primary : fallback);
            },
            2);
        const std::string source = ProgrammeSource(play);
        if (!AudioPlayer)
            throw MediaError(kNoAudioPlayer);
        AudioPlayer->SetFileName(source);
        AudioPlayer->SetAutomaticDeviceType();
        AudioPlayer->Open();
        AudioPlayer->Play();
    } else if (type == "3") {
        StartText(play);
    } else if (type == "4") {
        ShockwaveFlash1->show();
        ShockwaveFlash1->raise();
        ShockwaveFlash1->SetFlashVars(VideoFlashVars(ProgrammeSource(play)));
        ShockwaveFlash1->SetMovie(settings_.AppDir + std::string(kPlayerMovie));
        ShockwaveFlash1->SetLoop(false);
    }
}

void TfrmMain::StartText(TKrvPlay& play) {
    wbMp3->hide();
    ShockwaveFlash1->hide();
    txtProgramme->clear();
    txtProgramme->show();
    txtProgramme->raise();
    textFetch_->Start(ProgrammeSource(play),
                      [this](bool ok, const std::string& bytes, const std::string& error) {
                          if (!ok) {
                              transport_->ShowPlayError(error);
                              return;
                          }
                          const std::string text = ProgrammeTextToUtf8(bytes);
                          txtProgramme->ShowText(QString::fromStdString(text));
                          transport_->StartReading(ReadingSeconds(text));
                      });
}

void TfrmMain::CreateAudioPlayer() {
    if (AudioPlayer)
        return;
    AudioPlayer = platform_.CreateMediaPlayer(this);
    if (!AudioPlayer)
        return; // audio programmes then say they cannot be played
    AudioPlayer->setObjectName("FrameMP" + QString::number(AudioPlayerSerial));
    AudioPlayer->setGeometry(0, 0, 1, 1);
    AudioPlayer->hide();
    AudioPlayer->lower();
}

void TfrmMain::ReleaseAudioPlayer() {
    if (AudioPlayer) {
        if (AudioPlayer->Mode() == MediaMode::Playing) {
            // A playing device is stopped and kept for the next audio programme.
            AudioPlayer->Stop();
            AudioPlayer->Eject();
        } else {
            delete AudioPlayer;
            AudioPlayer = nullptr;
        }
    }
    ++AudioPlayerSerial;
}

void TfrmMain::CloseMp3() {
    ReleaseAudioPlayer();
    CreateAudioPlayer();
}

} // namespace luming
