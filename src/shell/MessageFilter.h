#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <vector>

namespace luming {

// Looks at every event of the application before it is delivered: no context menu in the
// vendor's web panes, and no Ctrl+N, Ctrl+F or Ctrl+A anywhere (no new browser window, find or
// select-all by keyboard).
class MessageFilter : public QObject {
    Q_OBJECT
public:
    explicit MessageFilter(QObject* parent);

    // Panes inside which the right mouse button does nothing.
    void GuardPane(QWidget* pane);
    // A pane that may come and go (the system-message pop-up's browser).
    void GuardPaneWhileItExists(std::function<QWidget*()> pane);

    // True when the event is to be dropped.
    bool Drops(QObject* target, QEvent* event) const;

protected:
    bool eventFilter(QObject* target, QEvent* event) override;

private:
    bool InGuardedPane(QObject* target) const;

    std::vector<QPointer<QWidget>> panes_;
    std::vector<std::function<QWidget*()>> transientPanes_;
};

} // namespace luming
