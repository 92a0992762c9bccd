// The watcher's rounds with a source the test drives through a pipe and a
// stand-in saver, a shell that writes what happens to it into a log: the
// watcher runs in a child process, as the program does, so that its signals,
// its saver and its ending are real.
//
// The pipe's bytes: 'i' idle, 'r' resumed; closing it loses the source.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <sstream>
#include <thread>

#include "host/posix/exit_status.h"
#include "host/posix/idle_watcher.h"
#include "host/posix/stop_signals.h"

namespace {

// Long enough for a loaded two-core machine; the cases end well before it.
constexpr auto waitLimit = std::chrono::seconds(30);

class PipeIdleSource : public IdleSource {
public:
    // Writes a byte to waitsEnd at each wait: the watcher has acted on all
    // it heard before.
    PipeIdleSource(int readEnd, int waitsEnd) : fd(readEnd), waits(waitsEnd) {}
    const char* name() const override { return "test pipe"; }

    bool prepareWait(pollfd& wait, int& timeoutMilliseconds, std::string&) override
    {
        const char waiting = 'w';
        static_cast<void>(write(waits, &waiting, 1));
        wait = {fd, POLLIN, 0};
        timeoutMilliseconds = -1;
        return true;
    }

    bool finishWait(short returnedEvents, std::vector<IdleEvent>& heard, std::string& error) override
    {
        if ((returnedEvents & (POLLIN | POLLHUP)) == 0)
            return true;
        char bytes[16];
        const ssize_t count = read(fd, bytes, sizeof bytes);
        if (count <= 0) {
            error = "the test source went away";
            return false;
        }
        for (ssize_t i = 0; i < count; ++i)
            heard.push_back(bytes[i] == 'i' ? IdleEvent::idle : IdleEvent::resumed);
        return true;
    }

private:
    int fd;
    int waits;
};

std::string readFile(const std::string& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> lines;
    std::stringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

bool waitFor(const std::function<bool()>& condition)
{
    const auto deadline = std::chrono::steady_clock::now() + waitLimit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

bool processGone(pid_t pid) { return kill(pid, 0) != 0 && errno == ESRCH; }

// The watcher's children are the savers it started and has not reaped.
std::vector<pid_t> childrenOf(pid_t parent)
{
    const std::string path = "/proc/" + std::to_string(parent) + "/task/" + std::to_string(parent) + "/children";
    std::vector<pid_t> pids;
    std::stringstream in(readFile(path));
    for (pid_t child; in >> child;)
        pids.push_back(child);
    return pids;
}

// One watcher in a child process of the test, its stand-in saver logging to
// saverLog ("started PID", then "TERM"/"INT"/"HUP" for the signal that
// ended it) and its own messages going to watcherLog.
class WatcherRun {
public:
    explicit WatcherRun(const std::string& saverScript = standInSaver(), const char* saverProgram = "/bin/sh",
                        long startUpMilliseconds = saverStartUpMilliseconds)
    {
        char folderTemplate[] = "/tmp/flowball-idle-watcher-XXXXXX";
        folder = mkdtemp(folderTemplate);
        saverLog = folder + "/saver.log";
        watcherLog = folder + "/watcher.log";
        int ends[2];
        EXPECT_EQ(pipe(ends), 0);
        int waitEnds[2];
        EXPECT_EQ(pipe2(waitEnds, O_CLOEXEC), 0);
        pid = fork();
        if (pid == 0) {
            close(ends[1]);
            close(waitEnds[0]);
            const int log = open(watcherLog.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            dup2(log, STDERR_FILENO);
            takeStopSignals();
            PipeIdleSource source(ends[0], waitEnds[1]);
            const int status =
                runIdleWatcher(source, {saverProgram, "-c", saverScript, "stand-in", saverLog}, startUpMilliseconds);
            if (stopSignalled() != 0)
                endBySignal(stopSignalled());
            _exit(status);
        }
        close(ends[0]);
        writeEnd = ends[1];
        close(waitEnds[1]);
        waitsEnd = waitEnds[0];
    }

    ~WatcherRun()
    {
        std::vector<pid_t> savers = saverPids();
        if (pid > 0 && waitpid(pid, nullptr, WNOHANG) == 0) {
            // A saver may not have logged its start yet.
            for (pid_t saver : childrenOf(pid))
                savers.push_back(saver);
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
        for (pid_t saver : savers) {
            for (pid_t sleeper : childrenOf(saver))
                kill(sleeper, SIGKILL);
            kill(saver, SIGKILL);
        }
        if (writeEnd >= 0)
            close(writeEnd);
        close(waitsEnd);
        std::remove(saverLog.c_str());
        std::remove(watcherLog.c_str());
        rmdir(folder.c_str());
    }

    // Ends on TERM, INT or HUP with status 0 after logging the signal; its
    // sleep is a child of its own, ended with it. The sleep holds none of
    // the test's output: one left behind by a saver that was killed would
    // keep a runner that reads that output waiting for its end.
    static std::string standInSaver()
    {
        return "echo started $$ >> \"$1\"; "
               "for s in TERM INT HUP; do trap \"echo $s >> '$1'; kill \\$!; exit 0\" $s; done; "
               "sleep 600 </dev/null >/dev/null 2>&1 & wait";
    }

    // Logs the stop signals it is sent and goes on.
    static std::string stuckSaver()
    {
        return "echo started $$ >> \"$1\"; "
               "for s in TERM INT HUP; do trap \"echo $s >> '$1'\" $s; done; "
               "while :; do sleep 1; done";
    }

    void tell(const char* bytes) { ASSERT_EQ(write(writeEnd, bytes, strlen(bytes)), ssize_t(strlen(bytes))); }

    void loseSource()
    {
        close(writeEnd);
        writeEnd = -1;
    }

    // The first telling: waits until the watcher is at its first wait,
    // tells, and waits until it is back at its wait, having acted on what
    // it heard.
    void tellFirstAndWait(const char* bytes)
    {
        char waited[2];
        ASSERT_EQ(read(waitsEnd, waited, 1), 1);
        tell(bytes);
        ASSERT_EQ(read(waitsEnd, waited, 1), 1);
    }

    std::vector<pid_t> saverPids() const
    {
        std::vector<pid_t> pids;
        for (const std::string& line : linesOf(readFile(saverLog))) {
            if (line.rfind("started ", 0) == 0)
                pids.push_back(pid_t(std::atoi(line.c_str() + 8)));
        }
        return pids;
    }

    bool waitForSavers(std::size_t count)
    {
        return waitFor([&] { return saverPids().size() >= count; });
    }

    // The watcher's end as waitpid tells it.
    bool waitForEnd(int& status)
    {
        return waitFor([&] { return waitpid(pid, &status, WNOHANG) == pid; }) && (pid = -1, true);
    }

    std::string folder;
    std::string saverLog;
    std::string watcherLog;
    pid_t pid = -1;
    int writeEnd = -1;
    int waitsEnd = -1;
};

}  // namespace

TEST(IdleWatcher, ShowsOneSaverOnIdleAndAnotherOnlyAfterItEnded)
{
    WatcherRun run;
    // Resumed alone starts nothing; idle twice in a row starts one saver.
    run.tell("rii");
    ASSERT_TRUE(run.waitForSavers(1));
    const pid_t first = run.saverPids()[0];
    // Input ends the saver by its own rules, with 0.
    kill(first, SIGTERM);
    ASSERT_TRUE(waitFor([&] { return processGone(first); })) << "the watcher reaps its saver";
    run.tell("ri");
    ASSERT_TRUE(run.waitForSavers(2));
    const std::vector<pid_t> savers = run.saverPids();
    EXPECT_NE(savers[1], first);

    // The barrier: the watcher is back at its wait, and no third saver came
    // of the idle heard while the first showed.
    run.tell("i");
    run.loseSource();
    int status = 0;
    ASSERT_TRUE(run.waitForEnd(status));
    EXPECT_EQ(run.saverPids().size(), 2u) << readFile(run.saverLog);
    EXPECT_EQ(readFile(run.watcherLog).find("the saver ended"), std::string::npos)
        << "a saver that ends with 0 is no news: " << readFile(run.watcherLog);
}

TEST(IdleWatcher, AStopSignalEndsTheSaverBySameSignalThenTheWatcherByIt)
{
    const struct {
        int number;
        const char* name;
    } signals[] = {{SIGTERM, "TERM"}, {SIGINT, "INT"}, {SIGHUP, "HUP"}};
    for (const auto& stop : signals) {
        SCOPED_TRACE(stop.name);
        WatcherRun run;
        run.tell("i");
        ASSERT_TRUE(run.waitForSavers(1));
        const pid_t saver = run.saverPids()[0];
        kill(run.pid, stop.number);
        int status = 0;
        ASSERT_TRUE(run.waitForEnd(status));
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == stop.number) << "status " << status;
        EXPECT_TRUE(processGone(saver)) << "the saver ended before the watcher";
        const std::vector<std::string> lines = linesOf(readFile(run.saverLog));
        ASSERT_EQ(lines.size(), 2u) << readFile(run.saverLog);
        EXPECT_EQ(lines[1], stop.name);
    }
}

TEST(IdleWatcher, AStopSignalEndsASaverThatIgnoresItBeforeTheWatcherEnds)
{
    WatcherRun run(WatcherRun::stuckSaver());
    run.tell("i");
    ASSERT_TRUE(run.waitForSavers(1));
    const pid_t saver = run.saverPids()[0];
    kill(run.pid, SIGTERM);
    int status = 0;
    ASSERT_TRUE(run.waitForEnd(status));
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << "status " << status;
    EXPECT_TRUE(processGone(saver)) << "the saver outlived the watcher";
}

TEST(IdleWatcher, IdleAndResumedInOneReadStartNothing)
{
    // Each as one write, which the source reads at once; the last word
    // counts.
    const struct {
        const char* heard;
        std::size_t savers;
    } cases[] = {{"ir", 0}, {"irir", 0}, {"iri", 1}};
    for (const auto& round : cases) {
        SCOPED_TRACE(round.heard);
        WatcherRun run;
        run.tellFirstAndWait(round.heard);
        EXPECT_EQ(childrenOf(run.pid).size(), round.savers) << "the watcher's children";
    }
}

TEST(IdleWatcher, InputWhileTheSaverStartsEndsIt)
{
    // A start-up longer than the test, so that the input surely falls in it.
    WatcherRun run(WatcherRun::standInSaver(), "/bin/sh", long(std::chrono::milliseconds(waitLimit).count()));
    run.tell("i");
    ASSERT_TRUE(run.waitForSavers(1));
    const pid_t first = run.saverPids()[0];
    run.tell("r");
    ASSERT_TRUE(waitFor([&] { return processGone(first); })) << readFile(run.saverLog);
    EXPECT_EQ(linesOf(readFile(run.saverLog)).back(), "TERM");
    // And the watcher waits for the next idle as before.
    run.tell("i");
    ASSERT_TRUE(run.waitForSavers(2));
}

TEST(IdleWatcher, InputAfterTheSaverStartedIsTheSaversToJudge)
{
    WatcherRun run(WatcherRun::standInSaver(), "/bin/sh", 0);
    run.tell("i");
    ASSERT_TRUE(run.waitForSavers(1));
    run.tell("r");
    // Had the input ended the saver, this idle would start a second one.
    run.tell("ri");
    run.loseSource();
    int status = 0;
    ASSERT_TRUE(run.waitForEnd(status));
    EXPECT_EQ(run.saverPids().size(), 1u) << readFile(run.saverLog);
}

TEST(IdleWatcher, AStopSignalWhileWaitingEndsTheWatcherByIt)
{
    WatcherRun run;
    kill(run.pid, SIGTERM);
    int status = 0;
    ASSERT_TRUE(run.waitForEnd(status));
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << "status " << status;
    EXPECT_TRUE(run.saverPids().empty());
}

TEST(IdleWatcher, LosingTheSourceEndsTheSaverAndFailsWithTheReason)
{
    WatcherRun run;
    run.tell("i");
    ASSERT_TRUE(run.waitForSavers(1));
    const pid_t saver = run.saverPids()[0];
    run.loseSource();
    int status = 0;
    ASSERT_TRUE(run.waitForEnd(status));
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == exitFailed) << "status " << status;
    EXPECT_TRUE(processGone(saver));
    EXPECT_EQ(linesOf(readFile(run.saverLog)).back(), "TERM");
    EXPECT_NE(readFile(run.watcherLog).find("flowball: the test source went away"), std::string::npos)
        << readFile(run.watcherLog);
}

TEST(IdleWatcher, ASaverThatFailsIsToldAndShownAgainAtTheNextIdle)
{
    WatcherRun run("echo started $$ >> \"$1\"; exit 3");
    run.tell("i");
    ASSERT_TRUE(run.waitForSavers(1));
    ASSERT_TRUE(waitFor([&] { return readFile(run.watcherLog).find("status 3") != std::string::npos; }))
        << readFile(run.watcherLog);
    run.tell("ri");
    ASSERT_TRUE(run.waitForSavers(2));
    EXPECT_NE(readFile(run.watcherLog).find("flowball: the saver ended with status 3\n"), std::string::npos)
        << readFile(run.watcherLog);
}

TEST(IdleWatcher, ASaverThatCannotStartIsToldAndTheWatcherWaitsOn)
{
    WatcherRun run(WatcherRun::standInSaver(), "/nonexistent/flowball");
    run.tell("i");
    ASSERT_TRUE(waitFor([&] {
        return readFile(run.watcherLog).find("flowball: cannot start the saver /nonexistent/flowball: ") !=
               std::string::npos;
    })) << readFile(run.watcherLog);
    // Still waiting: a stop signal ends it as it would have before.
    kill(run.pid, SIGTERM);
    int status = 0;
    ASSERT_TRUE(run.waitForEnd(status));
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << "status " << status;
}
