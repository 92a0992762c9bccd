// Ending by the signal that asked for the end: the parent sees death by that
// signal even though the program had caught it and kept it blocked, as the
// host does while it cleans up.
#include <gtest/gtest.h>

#include <signal.h>

#include "host/posix/stop_signals.h"

namespace {

void ignoreSignal(int) {}

// As the host leaves a stop signal when its loop has ended: caught by a
// handler that returns, and blocked.
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
