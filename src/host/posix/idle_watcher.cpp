#include "host/posix/idle_watcher.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "host/posix/exit_status.h"
#include "host/posix/monotonic_clock.h"
#include "host/posix/stop_signals.h"

extern char** environ;

namespace {

// SIGCHLD is blocked outside the wait and caught by a handler, so that it
// ends the wait (an ignored signal would not) and never lands between the
// check and the wait. Answers the mask to wait with, which lets it through:
// the mask the watcher had.
volatile sig_atomic_t childChanged = 0;
void onChildSignal(int) { childChanged = 1; }

sigset_t takeChildSignal()
{
    sigset_t child;
    sigemptyset(&child);
    sigaddset(&child, SIGCHLD);
    sigset_t waitMask;
    sigprocmask(SIG_BLOCK, &child, &waitMask);
    sigdelset(&waitMask, SIGCHLD);

    struct sigaction action = {};
    action.sa_handler = onChildSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_NOCLDSTOP;
    sigaction(SIGCHLD, &action, nullptr);
    return waitMask;
}

class Saver {
public:
    explicit Saver(const sigset_t& childMask) : mask(childMask) {}

    // Started and not yet reaped.
    bool running() const { return pid > 0; }

    // Whether the saver may still be without its surface and keyboard.
    bool startingUp(long startUpMilliseconds) const
    {
        return monotonicMicroseconds() - startedAt < std::int64_t(startUpMilliseconds) * 1000;
    }

    void start(const SaverCommand& command)
    {
        std::vector<char*> arguments;
        for (const std::string& argument : command)
            arguments.push_back(const_cast<char*>(argument.c_str()));
        arguments.push_back(nullptr);

        // The saver takes its own signals: it starts with the mask the
        // watcher waits with and the default actions.
        posix_spawnattr_t attributes;
        posix_spawnattr_init(&attributes);
        posix_spawnattr_setsigmask(&attributes, &mask);
        sigset_t defaults;
        sigemptyset(&defaults);
        for (int signalNumber : {SIGTERM, SIGINT, SIGHUP, SIGCHLD})
            sigaddset(&defaults, signalNumber);
        posix_spawnattr_setsigdefault(&attributes, &defaults);
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
        pid_t started = 0;
        const int failure = posix_spawn(&started, arguments[0], nullptr, &attributes, arguments.data(), environ);
        posix_spawnattr_destroy(&attributes);
        if (failure != 0) {
            std::fprintf(stderr, "flowball: cannot start the saver %s: %s\n", arguments[0], std::strerror(failure));
            return;
        }
        pid = started;
        startedAt = monotonicMicroseconds();
    }

    // Reaps the saver if it has ended; says whether it has.
    bool reapIfEnded()
    {
        int status = 0;
        const pid_t reaped = waitpid(pid, &status, WNOHANG);
        if (reaped != pid)
            return false;
        report(status);
        pid = 0;
        return true;
    }

    // Sends the signal and waits for the saver to end, at most
    // saverEndMilliseconds; a saver that still runs then (stopped, or held
    // where its watchdog cannot help) is killed, so that none is left
    // covering the screens.
    void end(int signalNumber)
    {
        kill(pid, signalNumber);
        if (!reapWithin(saverEndMilliseconds)) {
            kill(pid, SIGKILL);
            while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
            }
        }
        pid = 0;
    }

private:
    // Waits with SIGCHLD let through (it is blocked outside the waits, so
    // none is lost between the check and the wait); says whether the saver
    // ended and was reaped in time.
    bool reapWithin(long milliseconds) const
    {
        const std::int64_t deadline = monotonicMicroseconds() + std::int64_t(milliseconds) * 1000;
        for (;;) {
            if (waitpid(pid, nullptr, WNOHANG) == pid)
                return true;
            const std::int64_t left = deadline - monotonicMicroseconds();
            if (left <= 0)
                return false;
            const timespec timeout = timespecOfMicroseconds(left);
            ppoll(nullptr, 0, &timeout, &mask);
        }
    }

    // Input ends the saver with 0; anything else is worth a line in the
    // session's log, since the watcher waits for the next idle anyway.
    static void report(int status)
    {
        if (WIFEXITED(status) && WEXITSTATUS(status) != exitEnded)
            std::fprintf(stderr, "flowball: the saver ended with status %d\n", WEXITSTATUS(status));
        else if (WIFSIGNALED(status))
            std::fprintf(stderr, "flowball: the saver ended by signal %d (%s)\n", WTERMSIG(status),
                         strsignal(WTERMSIG(status)));
    }

    sigset_t mask;
    pid_t pid = 0;
    std::int64_t startedAt = 0;
};

// What one read brought: its last word counts, since the user is as the
// source heard last. Idle starts a saver where none runs; input ends one
// that is still starting up and cannot see it.
void actOn(const std::vector<IdleEvent>& heard, Saver& saver, const SaverCommand& saverCommand,
           long startUpMilliseconds)
{
    if (heard.empty())
        return;
    if (heard.back() == IdleEvent::idle) {
        if (!saver.running())
            saver.start(saverCommand);
    } else if (saver.running() && saver.startingUp(startUpMilliseconds)) {
        saver.end(SIGTERM);
    }
}

}  // namespace

int runIdleWatcher(IdleSource& source, const SaverCommand& saverCommand, long startUpMilliseconds)
{
    const sigset_t waitMask = takeChildSignal();
    Saver saver(waitMask);
    std::vector<IdleEvent> heard;
    std::string error;
    for (;;) {
        pollfd waits[2] = {{-1, 0, 0}, {stopSignalWakeDescriptor(), POLLIN, 0}};
        int timeoutMilliseconds = -1;
        bool connected = source.prepareWait(waits[0], timeoutMilliseconds, error);
        if (connected && stopSignalled() == 0 && childChanged == 0) {
            const timespec timeout = timespecOfMicroseconds(std::int64_t(timeoutMilliseconds) * 1000);
            if (ppoll(waits, 2, timeoutMilliseconds < 0 ? nullptr : &timeout, &waitMask) <= 0)
                waits[0].revents = 0;
        }
        if (connected) {
            heard.clear();
            connected = source.finishWait(waits[0].revents, heard, error);
        }

        if (stopSignalled() != 0) {
            if (saver.running()) {
                // The watchdog armed by the signal would end the watcher
                // before the saver it waits for.
                extendStopGrace(saverEndMilliseconds + stopGraceMilliseconds);
                saver.end(stopSignalled());
            }
            return exitEnded;
        }
        if (childChanged != 0) {
            childChanged = 0;
            if (saver.running())
                saver.reapIfEnded();
        }
        if (!connected) {
            if (saver.running())
                saver.end(SIGTERM);
            std::fprintf(stderr, "flowball: %s\n", error.c_str());
            return exitFailed;
        }
        actOn(heard, saver, saverCommand, startUpMilliseconds);
    }
}
