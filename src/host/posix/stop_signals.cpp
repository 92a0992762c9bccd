#include "host/posix/stop_signals.h"

#include <signal.h>
#include <unistd.h>

namespace {

volatile sig_atomic_t signalled = 0;
void onStopSignal(int signalNumber) { signalled = signalNumber; }

const int stopSignals[] = {SIGTERM, SIGINT, SIGHUP};

}  // namespace

sigset_t takeStopSignals()
{
    sigset_t blocked;
    sigemptyset(&blocked);
    for (int signalNumber : stopSignals)
        sigaddset(&blocked, signalNumber);
    sigset_t waiting;
    sigprocmask(SIG_BLOCK, &blocked, &waiting);
    for (int signalNumber : stopSignals)
        sigdelset(&waiting, signalNumber);

    struct sigaction action = {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    for (int signalNumber : stopSignals)
        sigaction(signalNumber, &action, nullptr);
    return waiting;
}

int stopSignalled() { return signalled; }

void endBySignal(int signalNumber)
{
    struct sigaction action = {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    sigaction(signalNumber, &action, nullptr);

    // The host keeps its ending signals blocked outside its waits: unblocked
    // here, the raised signal is delivered before raise returns.
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, signalNumber);
    sigprocmask(SIG_UNBLOCK, &only, nullptr);
    raise(signalNumber);
    _exit(128 + signalNumber);
}
