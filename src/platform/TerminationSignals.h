#pragma once

#include <QObject>

class QSocketNotifier;

namespace luming {

// Turns SIGTERM, SIGINT and SIGHUP (a desktop's logout, `systemctl --user stop`, Ctrl+C in a
// terminal, a closed terminal) into a Qt signal on the UI thread, so that the program can end
// in order instead of dying where it stands. A second signal of those kinds, once the first
// has arrived, ends the process at once: an ending that hangs can still be stopped.
class TerminationSignals : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override; // gives the signals back their default handling

signals:
    void received(int signalNumber);

private:
    void Read();

    QSocketNotifier* notifier_ = nullptr;
};

} // namespace luming
