#pragma once

#include "config/Navigation.h"

#include <QString>
#include <QWidget>

namespace luming {

// An embedded web browser of the window: it goes to addresses, runs scripts in the page, and
// says when a document has finished loading.
class WebPane : public QWidget, public INavigable {
    Q_OBJECT
public:
    using QWidget::QWidget;

    void Navigate(const std::string& address) override = 0;
    virtual void RunScript(const QString& script) = 0;

signals:
    // A document finished loading: the top-level page (`topLevel`) or one of its frames.
    void documentComplete(bool topLevel, const QString& address);
};

} // namespace luming
