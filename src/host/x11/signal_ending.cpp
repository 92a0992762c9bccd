#include "host/x11/signal_ending.h"

#include <signal.h>
#include <unistd.h>

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
