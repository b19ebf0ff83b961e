#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

namespace luming {

// Makes sure one copy of an edition runs at a time. The first copy holds an advisory lock on a
// file named after the edition key (the kernel drops it when the process ends, so a crashed copy
// never blocks the next start) and listens on a local socket of the same name; a second copy
// asks it through that socket to bring its window forward, then ends.
class SingleInstanceGuard : public QObject {
    Q_OBJECT
public:
    // `directory` holds the lock and the socket; empty means the system's temporary directory.
    explicit SingleInstanceGuard(const QString& editionKey, QString directory = {},
                                 QObject* parent = nullptr);
    ~SingleInstanceGuard() override;

    // True when no other copy of the edition runs (or the lock cannot be had at all, which
    // counts the same); this copy then answers later copies.
    bool TryBecomeFirst();

    // Asks the running copy to show its window; false when it could not be reached.
    bool AskRunningCopyToShow();

signals:
    void showRequested();

private:
    void OnConnection();

    QString lockPath_;
    QString socketPath_;
    int lockFd_ = -1;
    QLocalServer* server_ = nullptr;
};

} // namespace luming
