#include "settings_window/idle_start.h"

#include <dirent.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include <glib.h>

#include "settings_window/detached_start.h"

namespace {

constexpr const char* entryName = "flowball-idle.desktop";
constexpr const char* watcherOption = "idle";
constexpr const char* timedWatcherOption = "idle-after";
// What starts the watcher, found on PATH at login.
constexpr const char* watcherCommandText = "flowball --idle";

bool isAbsolute(const char* path) { return path != nullptr && path[0] == '/'; }

std::string folderOf(const std::string& path) { return path.substr(0, path.rfind('/')); }

std::string baseName(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// --idle, -idle, --idle-after and -idle-after, the last two also with =TIME.
bool isWatcherOption(const std::string& argument)
{
    std::size_t start = 0;
    while (start < 2 && start < argument.size() && argument[start] == '-')
        ++start;
    if (start == 0)
        return false;
    const std::string name = argument.substr(start, argument.find('=') - start);
    return name == watcherOption || name == timedWatcherOption;
}

bool desktopListHas(const char* currentDesktop, const char* name)
{
    if (currentDesktop == nullptr)
        return false;
    std::stringstream list(currentDesktop);
    std::string desktop;
    while (std::getline(list, desktop, ':')) {
        if (g_ascii_strcasecmp(desktop.c_str(), name) == 0)
            return true;
    }
    return false;
}

}  // namespace

std::string autostartEntryPath(const char* xdgConfigHome, const char* home)
{
    if (isAbsolute(xdgConfigHome))
        return std::string(xdgConfigHome) + "/autostart/" + entryName;
    if (isAbsolute(home))
        return std::string(home) + "/.config/autostart/" + entryName;
    return std::string();
}

std::vector<std::string> watcherCommand(const std::string& program)
{
    return {program, std::string("--") + watcherOption};
}

std::string autostartEntryText()
{
    return std::string("[Desktop Entry]\n"
                       "Type=Application\n"
                       "Name=Flowball idle start\n"
                       "Comment=Shows Flowball after a time without input (turned on in Flowball Settings)\n"
                       "Exec=") +
           watcherCommandText +
           "\n"
           "Icon=flowball\n"
           "Terminal=false\n"
           "NoDisplay=true\n"
           "X-GNOME-Autostart-enabled=true\n";
}

std::string configurationLineFor(const char* currentDesktop)
{
    if (desktopListHas(currentDesktop, "sway"))
        return std::string("exec ") + watcherCommandText;
    if (desktopListHas(currentDesktop, "Hyprland"))
        return std::string("exec-once = ") + watcherCommandText;
    return std::string();
}

bool isWatcherCommandLine(const std::string& nulSeparatedArguments)
{
    std::vector<std::string> arguments;
    std::size_t start = 0;
    while (start < nulSeparatedArguments.size()) {
        const std::size_t end = nulSeparatedArguments.find('\0', start);
        arguments.push_back(nulSeparatedArguments.substr(start, end - start));
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    if (arguments.empty() || baseName(arguments[0]) != "flowball")
        return false;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        if (isWatcherOption(arguments[i]))
            return true;
    }
    return false;
}

std::vector<pid_t> runningWatchers()
{
    std::vector<pid_t> watchers;
    DIR* proc = opendir("/proc");
    if (proc == nullptr)
        return watchers;
    const uid_t user = getuid();
    const pid_t self = getpid();
    while (dirent* entry = readdir(proc)) {
        char* end = nullptr;
        const long pid = std::strtol(entry->d_name, &end, 10);
        if (end == entry->d_name || *end != '\0' || pid <= 0 || pid == self)
            continue;
        const std::string folder = std::string("/proc/") + entry->d_name;
        struct stat status;
        if (stat(folder.c_str(), &status) != 0 || status.st_uid != user)
            continue;
        std::ifstream file(folder + "/cmdline", std::ios::binary);
        const std::string arguments((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        if (isWatcherCommandLine(arguments))
            watchers.push_back(pid_t(pid));
    }
    closedir(proc);
    return watchers;
}

bool writeAutostartEntry(const std::string& path, std::string& error)
{
    GError* failure = nullptr;
    if (g_mkdir_with_parents(folderOf(path).c_str(), 0700) != 0) {
        error = "cannot create " + folderOf(path) + ": " + std::strerror(errno);
        return false;
    }
    const std::string text = autostartEntryText();
    if (!g_file_set_contents(path.c_str(), text.data(), gssize(text.size()), &failure)) {
        error = failure->message;
        g_error_free(failure);
        return false;
    }
    return true;
}

bool removeAutostartEntry(const std::string& path, std::string& error)
{
    if (unlink(path.c_str()) != 0 && errno != ENOENT) {
        error = "cannot remove " + path + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

bool startWatcher(const std::string& program, std::string& error)
{
    return startDetached(watcherCommand(program), error);
}

int stopWatchers()
{
    int ended = 0;
    for (pid_t pid : runningWatchers()) {
        if (kill(pid, SIGTERM) == 0)
            ++ended;
    }
    return ended;
}
