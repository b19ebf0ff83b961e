#include "platform/TerminationSignals.h"

#include <QSocketNotifier>

#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace luming {

namespace {

constexpr std::array kEndingSignals = {SIGTERM, SIGINT, SIGHUP};

// Written by the handler, read on the UI thread. Only one object listens at a time.
int pipeEnds[2] = {-1, -1};

extern "C" void OnEndingSignal(int signalNumber) {
    const int saved = errno;
    const auto byte = static_cast<unsigned char>(signalNumber);
    // A full pipe already holds a wake-up: nothing is lost by dropping this one.
    [[maybe_unused]] const ssize_t written = ::write(pipeEnds[1], &byte, 1);
    errno = saved;
}

void Handle(void (*handler)(int), int flags) {
    struct sigaction action {};
    action.sa_handler = handler;
    action.sa_flags = flags;
    sigemptyset(&action.sa_mask);
    for (const int signalNumber : kEndingSignals)
        sigaction(signalNumber, &action, nullptr);
}

} // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent) {
    if (pipeEnds[0] >= 0 || ::pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0)
        return; // without a pipe the signals keep their default handling
    notifier_ = new QSocketNotifier(pipeEnds[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &TerminationSignals::Read);
    Handle(&OnEndingSignal, SA_RESTART);
}

TerminationSignals::~TerminationSignals() {
    if (!notifier_)
        return;
    Handle(SIG_DFL, 0);
    delete notifier_;
    ::close(pipeEnds[0]);
    ::close(pipeEnds[1]);
    pipeEnds[0] = pipeEnds[1] = -1;
}

void TerminationSignals::Read() {
    unsigned char byte = 0;
    bool any = false;
    int last = 0;
    while (::read(pipeEnds[0], &byte, 1) == 1) {
        any = true;
        last = byte;
    }
    if (!any)
        return;
    // From now on the next such signal is not asked about.
    Handle(SIG_DFL, 0);
    notifier_->setEnabled(false);
    emit received(last);
}

} // namespace luming
