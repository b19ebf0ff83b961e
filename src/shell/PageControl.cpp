#include "shell/PageControl.h"

#include "shell/AlignLayout.h"

#include <QTabBar>

namespace luming {

PageControl::PageControl(QWidget* parent, QSize designSize)
    : QWidget(parent), layout_(new AlignLayout(this, designSize)), tabs_(new QTabBar(this)),
      designSize_(designSize) {
    tabs_->setShape(QTabBar::RoundedSouth);
    tabs_->setDrawBase(false);
    tabs_->setFocusPolicy(Qt::NoFocus);
    const int tabHeight = tabs_->sizeHint().height();
    layout_->Place(tabs_, Align::Bottom,
                   {0, designSize.height() - tabHeight, designSize.width(), tabHeight});
    connect(tabs_, &QTabBar::currentChanged, this, [this](int index) {
        if (index >= 0 && index < pages_.size())
            setCurrentWidget(pages_[index]);
    });
}

QWidget* PageControl::AddPage(const char* name, const QString& caption) {
    auto* page = new QWidget(this);
    page->setObjectName(name);
    page->hide();
    layout_->Place(page, Align::Client, QRect(QPoint(), designSize_));
    pages_.append(page);
    tabs_->addTab(caption);
    if (!current_)
        setCurrentWidget(page);
    return page;
}

int PageControl::count() const {
    return static_cast<int>(pages_.size());
}

QString PageControl::tabText(int index) const {
    return tabs_->tabText(index);
}

void PageControl::setCurrentWidget(QWidget* page) {
    if (!pages_.contains(page) || page == current_)
        return;
    if (current_)
        current_->hide();
    current_ = page;
    current_->show();
    const QSignalBlocker quiet(tabs_);
    tabs_->setCurrentIndex(static_cast<int>(pages_.indexOf(page)));
}

void PageControl::SetTabsVisible(bool visible) {
    tabs_->setVisible(visible);
}

bool PageControl::TabsVisible() const {
    return !tabs_->isHidden();
}

} // namespace luming
