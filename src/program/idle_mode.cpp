#include "program/idle_mode.h"

#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "host/gnome/mutter_idle_monitor.h"
#include "host/posix/exit_status.h"
#include "host/posix/file_settings.h"
#include "host/posix/idle_watcher.h"
#include "host/posix/saver_command.h"
#include "host/posix/stop_signals.h"
#include "host/wayland/idle_notification.h"
#include "settings/idle_time.h"

namespace {

// The program's own path, so that the saver runs as "flowball" (started
// through /proc/self/exe, it would be named "exe").
std::string ownProgram()
{
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0)
        return "/proc/self/exe";
    return std::string(path, std::size_t(length));
}

// No Wayland display named: an X11 session's message, or the connection's
// own. A named display that does not answer is a Wayland failure whatever
// DISPLAY says, since Xwayland sets it in every Wayland session.
void reportNoWayland(const std::string& waylandError)
{
    const char* x11Display = std::getenv("DISPLAY");
    if (x11Display != nullptr && x11Display[0] != '\0') {
        std::fprintf(stderr,
                     "flowball: --idle-after watches for idle on Wayland desktops, and this session is X11 "
                     "(DISPLAY=%s, no Wayland display); there the X11 screen-saver daemon (xscreensaver) "
                     "starts flowball when idle\n",
                     x11Display);
        return;
    }
    std::fprintf(stderr, "flowball: %s\n", waylandError.c_str());
}

// The idle source that the desktop offers, asking for idle after
// milliseconds: the compositor's idle protocol, else Mutter's idle monitor.
// nullptr with the message written on stderr when none opens, and in
// failureStatus whether the session has no idle source at all
// (exitNoIdleSource, which a restart cannot mend) or one failed (exitFailed).
std::unique_ptr<IdleSource> openIdleSource(std::uint32_t milliseconds, int& failureStatus)
{
    std::string waylandError;
    WaylandIdleOpening outcome = WaylandIdleOpening::failed;
    std::unique_ptr<IdleSource> source = openWaylandIdleSource(milliseconds, outcome, waylandError);
    failureStatus = exitFailed;
    switch (outcome) {
    case WaylandIdleOpening::opened:
        break;
    case WaylandIdleOpening::noDisplay:
        reportNoWayland(waylandError);
        failureStatus = exitNoIdleSource;
        break;
    case WaylandIdleOpening::noIdleProtocol: {
        std::string busError;
        source = openMutterIdleMonitor(milliseconds, busError);
        if (source == nullptr) {
            std::fprintf(stderr, "flowball: %s, and %s\n", waylandError.c_str(), busError.c_str());
            failureStatus = exitNoIdleSource;
        }
        break;
    }
    case WaylandIdleOpening::failed:
        std::fprintf(stderr, "flowball: %s\n", waylandError.c_str());
        break;
    }
    return source;
}

// What tells a changed file from the one read before: its place on the disk,
// size and time of change (a rename over it changes the inode too).
struct FileStamp {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    std::int64_t changedNanoseconds = 0;

    bool operator==(const FileStamp& other) const
    {
        return exists == other.exists && device == other.device && inode == other.inode && size == other.size &&
               changedNanoseconds == other.changedNanoseconds;
    }
};

FileStamp stampOf(const std::string& path)
{
    FileStamp stamp;
    struct stat status {};
    if (stat(path.c_str(), &status) != 0)
        return stamp;
    stamp.exists = true;
    stamp.device = status.st_dev;
    stamp.inode = status.st_ino;
    stamp.size = status.st_size;
    stamp.changedNanoseconds = std::int64_t(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec;
    return stamp;
}

// The idle source of --idle: it follows the settings file's idle-after
// while the watcher waits. It looks at the file once a second and, when a
// change gives another idle time, opens the source again with it (none of
// the idle protocols changes the time of a watch it made). The watcher sees
// one source throughout.
class FileTimedIdleSource : public IdleSource {
public:
    FileTimedIdleSource(std::unique_ptr<IdleSource> opened, std::uint32_t milliseconds, std::string settingsPath)
        : source(std::move(opened)), idleMilliseconds(milliseconds), path(std::move(settingsPath)),
          stamp(stampOf(path))
    {
    }

    const char* name() const override { return source->name(); }

    bool prepareWait(pollfd& wait, int& timeoutMilliseconds, std::string& error) override
    {
        if (!source->prepareWait(wait, timeoutMilliseconds, error))
            return false;
        if (timeoutMilliseconds < 0 || timeoutMilliseconds > fileLookMilliseconds)
            timeoutMilliseconds = fileLookMilliseconds;
        return true;
    }

    bool finishWait(short returnedEvents, std::vector<IdleEvent>& heard, std::string& error) override
    {
        if (!source->finishWait(returnedEvents, heard, error))
            return false;
        followFile();
        return true;
    }

private:
    static constexpr int fileLookMilliseconds = 1000;

    void followFile()
    {
        const FileStamp now = stampOf(path);
        if (now == stamp)
            return;
        stamp = now;
        const SettingsFileContents file = readSettingsFileReporting(path);
        const std::uint32_t milliseconds =
            file.idleAfterMilliseconds != 0 ? file.idleAfterMilliseconds : defaultIdleMilliseconds;
        if (milliseconds == idleMilliseconds)
            return;
        // The old watch stays until the new one is made.
        int failureStatus = exitFailed;
        std::unique_ptr<IdleSource> reopened = openIdleSource(milliseconds, failureStatus);
        if (reopened == nullptr)
            return;
        source = std::move(reopened);
        idleMilliseconds = milliseconds;
        std::fprintf(stderr, "flowball: shows the saver after %s without input (%s)\n",
                     idleTimeText(milliseconds).c_str(), source->name());
    }

    std::unique_ptr<IdleSource> source;
    std::uint32_t idleMilliseconds;
    std::string path;
    FileStamp stamp;
};

}  // namespace

int runIdleWatcherMode(const HostOptions& options)
{
    const std::uint32_t milliseconds = options.idleAfterMilliseconds;
    int failureStatus = exitFailed;
    std::unique_ptr<IdleSource> source = openIdleSource(milliseconds, failureStatus);
    if (source == nullptr)
        return failureStatus;
    const std::string settingsPath = userSettingsFilePath();
    if (options.idleTimeFromFile && options.settingsFile && !settingsPath.empty())
        source = std::make_unique<FileTimedIdleSource>(std::move(source), milliseconds, settingsPath);

    // That window is the X11 daemon's, for the program it starts; a saver
    // on Wayland has none.
    unsetenv("XSCREENSAVER_WINDOW");
    std::fprintf(stderr, "flowball: shows the saver after %s without input (%s)\n",
                 idleTimeText(milliseconds).c_str(), source->name());
    const int status = runIdleWatcher(*source, saverCommand(ownProgram(), options));
    if (stopSignalled() != 0)
        endBySignal(stopSignalled());
    return status;
}
