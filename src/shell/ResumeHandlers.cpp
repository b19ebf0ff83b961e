// Going on where the child stopped: the position of a video or audio programme that is left
// before its end is kept, and the next start of that programme seeks there once it plays.
#include "config/Settings.h"
#include "playback/ResumePositions.h"
#include "shell/TfrmMain.h"

namespace luming {

namespace {

bool IsResumable(const TKrvPlay* play) {
    return play && (play->FileType == "4" || play->FileType == "2"); // not plain Flash
}

} // namespace

void TfrmMain::RememberWhereLeft() {
    const TKrvPlay* play = transport_->CurrentPlay;
    if (!IsResumable(play))
        return;
    if (const auto at = transport_->CurrentPosition())
        resumePositions_->Left(channel_.CurrentChannel, play->Id, at->seconds, at->total);
}

void TfrmMain::ResumeIfDue() {
    if (!resumeDue_)
        return;
    const TKrvPlay* play = transport_->CurrentPlay;
    if (!IsResumable(play)) {
        resumeDue_ = false; // nothing to ask the player on later ticks
        return;
    }
    const auto at = transport_->CurrentPosition();
    if (!at)
        return; // not playing yet
    resumeDue_ = false;
    if (const auto from = resumePositions_->ResumeAt(channel_.CurrentChannel, play->Id, at->total))
        transport_->SeekTo(*from);
}

void TfrmMain::ForgetFinishedProgramme() {
    if (const TKrvPlay* play = transport_->CurrentPlay; IsResumable(play))
        resumePositions_->Finished(channel_.CurrentChannel, play->Id);
}

} // namespace luming
