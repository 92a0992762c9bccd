#include "host/posix/stop_signals.h"

#include <fcntl.h>
#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

#include "host/posix/monotonic_clock.h"

namespace {

const int stopSignals[] = {SIGTERM, SIGINT, SIGHUP};
// The watchdog's own signal, from a timer made before any stop signal comes:
// making one is no work for a signal handler.
constexpr int watchdogSignal = SIGALRM;

std::atomic<int> signalled{0};
static_assert(std::atomic<int>::is_always_lock_free, "the handler needs a lock-free flag");
int wakeRead = -1;
int wakeWrite = -1;
timer_t watchdog;
bool watchdogMade = false;

void armWatchdog(long milliseconds)
{
    if (!watchdogMade)
        return;
    itimerspec grace = {};
    grace.it_value = timespecOfMicroseconds(std::int64_t(milliseconds) * 1000);
    timer_settime(watchdog, 0, &grace, nullptr);
}

// Only the first stop signal counts: the program ends by it.
void onStopSignal(int signalNumber)
{
    const int savedErrno = errno;
    int none = 0;
    if (signalled.compare_exchange_strong(none, signalNumber)) {
        armWatchdog(stopGraceMilliseconds);
        const char wake = 0;
        const ssize_t written = write(wakeWrite, &wake, 1);
        static_cast<void>(written);
    }
    errno = savedErrno;
}

// The watchdog's signal can come from elsewhere too (a stray alarm, a kill):
// without a stop signal to end by, it is no reason to end.
void onWatchdog(int)
{
    const int signalNumber = signalled.load();
    if (signalNumber != 0)
        endBySignal(signalNumber);
}

void setHandler(int signalNumber, void (*handler)(int))
{
    struct sigaction action = {};
    action.sa_handler = handler;
    // Calls interrupted by a signal go on; the wake descriptor and the
    // watchdog see to the ending.
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    for (int each : stopSignals)
        sigaddset(&action.sa_mask, each);
    sigaddset(&action.sa_mask, watchdogSignal);
    sigaction(signalNumber, &action, nullptr);
}

}  // namespace

void takeStopSignals()
{
    int ends[2];
    if (pipe2(ends, O_CLOEXEC | O_NONBLOCK) == 0) {
        wakeRead = ends[0];
        wakeWrite = ends[1];
    }
    sigevent expiry = {};
    expiry.sigev_notify = SIGEV_SIGNAL;
    expiry.sigev_signo = watchdogSignal;
    watchdogMade = timer_create(CLOCK_MONOTONIC, &expiry, &watchdog) == 0;

    setHandler(watchdogSignal, onWatchdog);
    sigset_t taken;
    sigemptyset(&taken);
    sigaddset(&taken, watchdogSignal);
    for (int signalNumber : stopSignals) {
        setHandler(signalNumber, onStopSignal);
        sigaddset(&taken, signalNumber);
    }
    sigprocmask(SIG_UNBLOCK, &taken, nullptr);
}

void extendStopGrace(long milliseconds)
{
    if (stopSignalled() != 0)
        armWatchdog(milliseconds);
}

int stopSignalled() { return signalled.load(); }

int stopSignalWakeDescriptor() { return wakeRead; }

void endBySignal(int signalNumber)
{
    struct sigaction action = {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    sigaction(signalNumber, &action, nullptr);

    // Unblocked here (a handler runs with it blocked), the raised signal is
    // delivered before raise returns.
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, signalNumber);
    sigprocmask(SIG_UNBLOCK, &only, nullptr);
    raise(signalNumber);
    _exit(128 + signalNumber);
}
