// Ending by the signal that asked for the end: the parent sees death by that
// signal even though the program had caught it, and even from inside a
// handler that keeps it blocked (the watchdog's); and a program held where
// it cannot notice the signal is ended by it all the same.
#include <gtest/gtest.h>

#include <poll.h>
#include <signal.h>
#include <time.h>
#include <unistd.h>

#include "host/posix/stop_signals.h"

namespace {

void ignoreSignal(int) {}

// A stop signal caught by a handler that returns, and blocked, as it is
// while the watchdog's handler runs.
[[noreturn]] void endAsTheHostDoes(int signalNumber)
{
    struct sigaction action = {};
    action.sa_handler = ignoreSignal;
    sigemptyset(&action.sa_mask);
    sigaction(signalNumber, &action, nullptr);
    sigset_t blocked;
    sigemptyset(&blocked);
    sigaddset(&blocked, signalNumber);
    sigprocmask(SIG_BLOCK, &blocked, nullptr);
    endBySignal(signalNumber);
}

}  // namespace

TEST(SignalEnding, TheProcessDiesByTheSignalItCaught)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    for (int signalNumber : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(signalNumber);
        EXPECT_EXIT(endAsTheHostDoes(signalNumber), testing::KilledBySignal(signalNumber), "");
    }
}

namespace {

// Stands for a program held inside a library call that never returns (a
// display that never answers): it waits five seconds and then exits 0.
[[noreturn]] void stallAfter(int signalNumber)
{
    takeStopSignals();
    raise(signalNumber);
    timespec left = {5, 0};
    while (nanosleep(&left, &left) != 0) {
    }
    _exit(0);
}

}  // namespace

TEST(StopSignals, AProgramThatCannotEndByItselfIsEndedByTheSignal)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    for (int signalNumber : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(signalNumber);
        EXPECT_EXIT(stallAfter(signalNumber), testing::KilledBySignal(signalNumber), "");
    }
}

namespace {

bool readable(int descriptor)
{
    pollfd wake = {descriptor, POLLIN, 0};
    return poll(&wake, 1, 0) == 1 && (wake.revents & POLLIN) != 0;
}

// Exits 1 at once when the signal does not reach the waiting host as it
// should; else ends as the host does.
[[noreturn]] void signalWhileWaiting(int signalNumber)
{
    takeStopSignals();
    const int wake = stopSignalWakeDescriptor();
    if (wake < 0 || readable(wake) || stopSignalled() != 0)
        _exit(1);
    raise(signalNumber);
    raise(signalNumber == SIGTERM ? SIGINT : SIGTERM);
    if (!readable(wake) || stopSignalled() != signalNumber)
        _exit(1);
    endBySignal(stopSignalled());
}

}  // namespace

TEST(StopSignals, TheFirstSignalWakesTheWaitAndEndsTheProgram)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    for (int signalNumber : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(signalNumber);
        EXPECT_EXIT(signalWhileWaiting(signalNumber), testing::KilledBySignal(signalNumber), "");
    }
}

namespace {

// Exits 0 when the program goes on after the alarm as if it had not come.
[[noreturn]] void strayAlarm()
{
    takeStopSignals();
    raise(SIGALRM);
    _exit(stopSignalled() == 0 ? 0 : 1);
}

}  // namespace

// The watchdog's signal without a stop signal before it, from whoever sent
// it, ends nothing.
TEST(StopSignals, AnAlarmWithoutAStopSignalEndsNothing)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(strayAlarm(), testing::ExitedWithCode(0), "");
}
