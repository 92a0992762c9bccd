// The idle watcher (flowball --idle-after TIME): it stays in the background
// of the session without any surface, starts the saver as a child process
// once the user has been idle for the idle time, waits for it to end (input
// ends it, by the saver's own dismissal rules) and goes back to waiting.
//
// It costs nothing while it waits: no timer, no wake-up until the source
// says something, a child ends or a stop signal comes. One saver at a time:
// idle heard while one shows changes nothing. A saver that ends without
// input (it failed, someone ended it) is not started again until the next
// idle, which the sources send only after the user has been active again.
#pragma once

#include <poll.h>

#include <string>
#include <vector>

#include "host/posix/stop_signals.h"

enum class IdleEvent {
    idle,     // no input for the idle time
    resumed,  // input again after idle
};

// What tells the watcher that the user is idle: a compositor's idle
// protocol or an idle monitor on the session bus, over one descriptor.
class IdleSource {
public:
    virtual ~IdleSource() = default;

    // How messages name it: "ext-idle-notify-v1".
    virtual const char* name() const = 0;

    // Before each wait: sends what is queued and says what to wait for, the
    // descriptor with its events and the longest wait in milliseconds (-1
    // for none). False with a one-line message in error when the connection
    // is lost.
    virtual bool prepareWait(pollfd& wait, int& timeoutMilliseconds, std::string& error) = 0;

    // After each wait, with what the wait answered for the descriptor (0
    // when it ended for a signal or the timeout): reads and handles what came
    // and appends what it heard. False with a one-line message in error when
    // the connection is lost.
    virtual bool finishWait(short returnedEvents, std::vector<IdleEvent>& heard, std::string& error) = 0;
};

// The saver's command line: the program's path, then its arguments.
using SaverCommand = std::vector<std::string>;

// How long after its start the saver may not see input yet (it has no
// surface or keyboard): "resumed" heard in that time ends it, since the
// user it would cover is active. Later input is the saver's to judge, by its
// own dismissal rules.
constexpr long saverStartUpMilliseconds = 3000;

// The longest wait for a saver told to end: its stop grace, and time for
// its ending to reach the watcher on a loaded machine.
constexpr long saverEndMilliseconds = stopGraceMilliseconds + 250;

// Watches until a stop signal or the loss of the source. The stop signals
// must be taken (takeStopSignals); the watcher takes SIGCHLD too, and the
// saver starts with the signal mask the watcher had. Of what one read
// brings, the last word counts: idle then resumed starts nothing.
//
// After a stop signal it passes the same signal to the saver that shows and
// returns once the saver has ended, within saverEndMilliseconds: the
// saver's own watchdog ends it within the stop grace, and one that still
// runs after that is killed; the caller then ends by the signal.
// After the loss it ends the saver that shows by SIGTERM the same way,
// writes the message on stderr and answers exitFailed.
int runIdleWatcher(IdleSource& source, const SaverCommand& saver,
                   long startUpMilliseconds = saverStartUpMilliseconds);
