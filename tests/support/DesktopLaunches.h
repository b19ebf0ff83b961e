#pragma once

#include <QObject>
#include <QStringList>
#include <QUrl>

namespace luming::test {

// While it lives, the addresses of `scheme` that anything hands to the desktop's handlers
// (QDesktopServices, as the web engine does for a scheme it does not know) are recorded here
// instead of starting a program.
class DesktopLaunches : public QObject {
    Q_OBJECT
public:
    explicit DesktopLaunches(const QString& scheme);
    ~DesktopLaunches() override;

    const QStringList& opened() const { return opened_; }

public slots:
    void Open(const QUrl& url);

private:
    QString scheme_;
    QStringList opened_;
};

} // namespace luming::test
