// The programme tree view and the search box: the view shows the catalogue's tree through a
// model and hands clicks to the channel rules; the search box passes its events to its rules.
#include "catalogue/CatalogueSearch.h"
#include "catalogue/TreeQueries.h"
#include "config/Settings.h"
#include "platform/Platform.h"
#include "shell/ImageControl.h"
#include "shell/ProgrammeTreeModel.h"
#include "shell/TfrmMain.h"

#include <QEvent>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTreeView>

namespace luming {

void TfrmMain::ConnectTreeHandlers() {
    treeModel_ = new ProgrammeTreeModel(tree_, *ImageList1, this);
    tv1->setModel(treeModel_);

    // The tree decides what is open and selected; the view follows it...
    connect(treeModel_, &ProgrammeTreeModel::expandedChanged, this,
            [this](const QModelIndex& index, bool expanded) {
                followingTree_ = true;
                tv1->setExpanded(index, expanded);
                followingTree_ = false;
            });
    connect(treeModel_, &ProgrammeTreeModel::selectedChanged, this,
            [this](const QModelIndex& index) {
                followingTree_ = true;
                ShowSelectedRow(index);
                if (index.isValid())
                    tv1->scrollTo(index);
                followingTree_ = false;
            });
    connect(treeModel_, &ProgrammeTreeModel::treeReset, this, &TfrmMain::FollowTreeOpenStates);

    // ...and what the user does in the view (keys open and close, arrows select) goes back.
    connect(tv1, &QTreeView::expanded, this, [this](const QModelIndex& index) {
        if (!followingTree_)
            tree_.SetExpanded(treeModel_->NodeOf(index), true);
    });
    connect(tv1, &QTreeView::collapsed, this, [this](const QModelIndex& index) {
        if (!followingTree_)
            tree_.SetExpanded(treeModel_->NodeOf(index), false);
    });
    connect(tv1->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                const NodeIndex node = treeModel_->NodeOf(current);
                if (!followingTree_ && node != kNoNode)
                    tree_.Select(node);
            });
    connect(tv1, &QTreeView::clicked, this, [this](const QModelIndex& index) {
        const NodeIndex node = treeModel_->NodeOf(index);
        if (node == kNoNode)
            return;
        tree_.Select(node);
        tv1Click();
        // Folders that closed above the clicked one must not carry it out of view.
        if (tree_.Selected() != kNoNode)
            tv1->scrollTo(treeModel_->IndexOf(tree_.Selected()));
    });
}

void TfrmMain::FollowTreeOpenStates() {
    followingTree_ = true;
    tv1->collapseAll();
    for (NodeIndex node = 0; node < tree_.Count(); ++node)
        if (tree_.Expanded(node))
            tv1->setExpanded(treeModel_->IndexOf(node), true);
    ShowSelectedRow(treeModel_->IndexOf(tree_.Selected()));
    followingTree_ = false;
}

void TfrmMain::ShowSelectedRow(const QModelIndex& row) {
    // The row cursor, which tells a screen reader where the focus is, moves only while the tree
    // has the focus (see ConnectKeyboardFocus): a programme started by the play list must not
    // call a reader away from the control the child is on.
    if (tv1->hasFocus())
        tv1->selectionModel()->setCurrentIndex(row, QItemSelectionModel::ClearAndSelect);
    else
        tv1->selectionModel()->select(row, QItemSelectionModel::ClearAndSelect);
}

void TfrmMain::tv1Click() {
    if (rules_)
        Reported([this] { rules_->tv1Click(); });
}

void TfrmMain::ConnectSearchBoxHandlers() {
    rules_ =
        std::make_unique<ChannelRules>(tree_, channel_, settings_.AppDir, settings_.LocalIniPath,
                                       static_cast<IPlayProgram&>(*this));
    search_ = std::make_unique<CatalogueSearch>(tree_, *rules_, platform_.Dialogs());
    searchBox_ = std::make_unique<SearchBox>(*search_);

    edtkey->installEventFilter(this);
    connect(edtkey, &QLineEdit::textChanged, this, &TfrmMain::edtkeyChange);
    connect(edtkey, &QLineEdit::returnPressed, this, [this] { edtkeyKeyDown(kEnterKey); });
    connect(imgSearch, &ImageControl::clicked, this, &TfrmMain::imgSearchClick);
}

namespace {

// Focus that goes to another control of the window. A message box, a menu or another program
// taking the window's activation leaves the box as it was: the focus comes back to it, by
// whatever way, and the placeholder must not be there when it does.
bool MovesToAnotherControl(const QEvent* event) {
    const Qt::FocusReason reason = static_cast<const QFocusEvent*>(event)->reason();
    return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
}

} // namespace

bool TfrmMain::eventFilter(QObject* watched, QEvent* event) {
    if (watched == edtkey && event->type() == QEvent::FocusIn)
        edtkeyEnter();
    else if (watched == edtkey && event->type() == QEvent::FocusOut && MovesToAnotherControl(event))
        edtkeyExit();
    else if (watched == lblWeb)
        lblWebEvent(event);
    return QWidget::eventFilter(watched, event);
}

void TfrmMain::ShowSearchBoxText() {
    const QString text = QString::fromStdString(searchBox_->Text());
    if (edtkey->text() != text)
        edtkey->setText(text); // its change event reaches the rules, which take it in stride
}

void TfrmMain::imgSearchClick() {
    searchBox_->imgSearchClick();
    ShowSearchBoxText();
    AnnounceSearchResults();
}

void TfrmMain::AnnounceSearchResults() {
    // Nothing found is told by a message box; what was found lies in the tree, out of sight.
    const NodeIndex results = search_->ResultsNode();
    if (results != kNoNode)
        Announce(QStringLiteral("搜索结果: %1 个节目").arg(CountChildren(tree_, results)));
}

void TfrmMain::edtkeyEnter() {
    searchBox_->edtkeyEnter();
    ShowSearchBoxText();
}

void TfrmMain::edtkeyExit() {
    searchBox_->edtkeyExit();
    ShowSearchBoxText();
}

void TfrmMain::edtkeyChange() {
    searchBox_->edtkeyChange(edtkey->text().toStdString());
}

void TfrmMain::edtkeyKeyDown(int key) {
    searchBox_->edtkeyKeyDown(key);
    ShowSearchBoxText();
    if (key == kEnterKey)
        AnnounceSearchResults();
}

} // namespace luming
