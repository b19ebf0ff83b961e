#pragma once

#include <QWidget>

class QTabBar;

namespace luming {

class AlignLayout;

// The page control of the form: pages filling the control, one shown at a time, with tabs at
// the bottom that the window hides. Its pages are laid out like every other panel of the form,
// so their sizes are right as soon as the control has its own.
class PageControl : public QWidget {
    Q_OBJECT
public:
    PageControl(QWidget* parent, QSize designSize);

    // Adds a page (a new widget named `name`) with the caption of its tab.
    QWidget* AddPage(const char* name, const QString& caption);

    int count() const;
    QString tabText(int index) const;
    QWidget* currentWidget() const { return current_; }
    void setCurrentWidget(QWidget* page);
    void SetTabsVisible(bool visible);
    bool TabsVisible() const;

private:
    AlignLayout* layout_;
    QTabBar* tabs_;
    QList<QWidget*> pages_;
    QWidget* current_ = nullptr;
    QSize designSize_;
};

} // namespace luming
