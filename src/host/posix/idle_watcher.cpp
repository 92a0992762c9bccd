#include "host/posix/idle_watcher.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "host/posix/exit_status.h"
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

    bool shows() const { return pid > 0; }

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

    // Sends the signal and waits for the saver to end, however long its
    // release takes.
    void end(int signalNumber)
    {
        kill(pid, signalNumber);
        int status = 0;
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
        pid = 0;
    }

private:
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
};

}  // namespace

int runIdleWatcher(IdleSource& source, const SaverCommand& saverCommand)
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
            timespec timeout = {timeoutMilliseconds / 1000, long(timeoutMilliseconds % 1000) * 1000000};
            if (ppoll(waits, 2, timeoutMilliseconds < 0 ? nullptr : &timeout, &waitMask) <= 0)
                waits[0].revents = 0;
        }
        if (connected) {
            heard.clear();
            connected = source.finishWait(waits[0].revents, heard, error);
        }

        if (stopSignalled() != 0) {
            if (saver.shows())
                saver.end(stopSignalled());
            return exitEnded;
        }
        if (childChanged != 0) {
            childChanged = 0;
            if (saver.shows())
                saver.reapIfEnded();
        }
        if (!connected) {
            if (saver.shows())
                saver.end(SIGTERM);
            std::fprintf(stderr, "flowball: %s\n", error.c_str());
            return exitFailed;
        }
        for (IdleEvent event : heard) {
            if (event == IdleEvent::idle && !saver.shows())
                saver.start(saverCommand);
        }
    }
}
