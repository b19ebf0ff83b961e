// Ruffle's view is made ahead of the first Flash movie, when one comes within the child's reach
// in the tree: made on the click, the first movie waited for the view, its page and Ruffle's
// script as well. Made at start for everyone, it cost sessions that never play a Flash movie;
// made near one, it costs them nothing, and it goes again after the same minute without a Flash
// movie as a used view.
#include "catalogue/TreeQueries.h"
#include "platform/FlashControl.h"
#include "shell/ProgrammeTreeModel.h"
#include "shell/TfrmMain.h"

#include <QTimer>
#include <QTreeView>

namespace luming {

namespace {

// Long enough to pass over rows held down by an arrow key, short beside a child's reading.
constexpr int kSettleMs = 500;
// At start, counted from the first programme's start, which waits for the advertising pages.
constexpr int kStartSettleMs = 2000;

} // namespace

void TfrmMain::ConnectFlashPreparation() {
    flashNearTimer_ = new QTimer(this);
    flashNearTimer_->setSingleShot(true);
    connect(flashNearTimer_, &QTimer::timeout, this, [this] {
        if (isVisible() && FlashMovieNear(tree_, flashNear_))
            ShockwaveFlash1->PrepareFlashMovie();
    });
    // Where the child goes in the tree; not where the play list takes the selection: a Flash
    // movie it starts makes its engine anyway, and Ruffle compiling beside every video of a
    // folder with Flash movies would take a core from the video.
    const auto childWentTo = [this](const QModelIndex& index) {
        if (!followingTree_)
            ConsiderFlashNear(treeModel_->NodeOf(index));
    };
    connect(tv1->selectionModel(), &QItemSelectionModel::currentChanged, this, childWentTo);
    connect(tv1, &QTreeView::expanded, this, childWentTo);
}

void TfrmMain::ConsiderFlashNear(NodeIndex node, bool atStart) {
    flashNear_ = node;
    flashNearTimer_->start(atStart ? kStartSettleMs : kSettleMs);
}

} // namespace luming
