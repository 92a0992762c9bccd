// flowball's command line, any words (and XSCREENSAVER_WINDOW, set or not):
// an accepted command line names each option in full, gives settings each
// setting accepts and the mode its options ask for; a refused one says why in
// one line. The options printed from what was accepted give it back, and so
// does the idle watcher's saver command made from them (saver_command.h):
// its own printer, read back by the same parser. And options written from
// any numbers (window ids, settings) are accepted exactly when every number
// is in its range, and then read as those numbers.
//
// Input: a form byte. Words: whether XSCREENSAVER_WINDOW is set, its text up
// to a NUL, then the words, each up to a NUL. Numbers (form bit 1): which
// options are given and in which form, the window ids, the settings.
#include <cstdio>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "settings/idle_time.h"
#include "host/posix/options.h"
#include "host/posix/saver_command.h"
#include "option_words.h"

namespace {

std::vector<OptionName> hostOptionNames()
{
    std::vector<OptionName> names = {{"root", false},  {"window-id", true}, {"wayland", false}, {"x11", false},
                                     {"fps", false},   {"idle-after", true}, {"help", false},   {"h", false},
                                     {"idle", false},  {"no-settings-file", false}};
    const std::vector<OptionName> settings = settingOptionNames();
    names.insert(names.end(), settings.begin(), settings.end());
    return names;
}

std::string hexWindowId(std::uint32_t id)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%x", unsigned(id));
    return text;
}

// The host's own options in an accepted command line: which were given,
// and the last value of those that take one.
struct HostWords {
    bool root = false;
    bool window = false;
    bool wayland = false;
    bool x11 = false;
    bool idle = false;
    bool idleFromFile = false;
    bool noSettingsFile = false;
    std::string windowText;
    std::string idleText;
};

HostWords hostWordsOf(const std::vector<std::string>& words)
{
    HostWords written;
    for (std::size_t i = 1; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (word == "--")
            break;
        const std::size_t dashes = word.compare(0, 2, "--") == 0 ? 2 : 1;
        const std::size_t equals = word.find('=');
        const std::string name = word.substr(dashes, equals == std::string::npos ? std::string::npos : equals - dashes);
        bool takesValue = false;
        for (const OptionName& option : hostOptionNames()) {
            if (option.name == name)
                takesValue = option.takesValue;
        }
        std::string value;
        if (takesValue)
            value = equals != std::string::npos ? word.substr(equals + 1) : words[++i];
        written.root = written.root || name == "root";
        written.wayland = written.wayland || name == "wayland";
        written.x11 = written.x11 || name == "x11";
        written.idleFromFile = written.idleFromFile || name == "idle";
        written.noSettingsFile = written.noSettingsFile || name == "no-settings-file";
        if (name == "window-id") {
            written.window = true;
            written.windowText = value;
        } else if (name == "idle-after") {
            written.idle = true;
            written.idleText = value;
        }
    }
    return written;
}

// The saver the idle watcher would start for these options: on Wayland in
// a window of its own, with the read-out and every setting as given.
void checkSaverCommand(const HostOptions& options)
{
    CommandLine command(saverCommand("flowball", options));
    std::vector<char*> argv = command.argv();
    HostOptions saver;
    std::string error;
    expectProperty(parseHostOptions(command.argc(), argv.data(), nullptr, saver, error),
                   "the saver's command refused: " + error);
    expectProperty(saver.mode == HostMode::ownWindow && saver.display == DisplayRequest::wayland &&
                       saver.idleAfterMilliseconds == 0 && saver.showFps == options.showFps &&
                       sameSettings(saver.settings, options.settings),
                   "the saver's command read back differently");
}

void checkAccepted(CommandLine& line, const char* environmentWindow, const HostOptions& options)
{
    expectProperty(writtenInFull(line.words, hostOptionNames()), "accepted an option not written in full");
    expectValidSettings(options.settings);
    if (options.help)
        return;
    const HostWords written = hostWordsOf(line.words);
    const bool environmentGiven = environmentWindow != nullptr && environmentWindow[0] != '\0';
    expectProperty(!(written.wayland && written.x11), "accepted both --wayland and --x11");
    expectProperty(options.display == (written.wayland ? DisplayRequest::wayland
                                       : written.x11   ? DisplayRequest::x11
                                                       : DisplayRequest::any),
                   "not the display asked for");
    expectProperty(!written.wayland || !(written.root || written.window || environmentGiven),
                   "--wayland accepted with an X window");
    expectProperty(options.settingsFile != written.noSettingsFile, "--no-settings-file not taken as given");
    expectProperty(options.idleTimeFromFile == (written.idleFromFile && !written.idle),
                   "--idle not taken as given, or over --idle-after's time");
    std::uint32_t id = 0;
    if (written.idleFromFile && !written.idle) {
        expectProperty(options.idleAfterMilliseconds == 0, "an idle time nobody gave");
        expectProperty(!written.root && !written.window && !written.x11 && options.mode == HostMode::ownWindow,
                       "--idle accepted with an X window");
    } else if (written.idle) {
        std::uint32_t milliseconds = 0;
        expectProperty(parseIdleTime(written.idleText.c_str(), milliseconds) &&
                           milliseconds == options.idleAfterMilliseconds,
                       "the idle time is not the one --idle-after names");
        expectProperty(milliseconds >= shortestIdleMilliseconds && milliseconds <= longestIdleMilliseconds,
                       "an idle time out of its range");
        expectProperty(!written.root && !written.window && !written.x11 && options.mode == HostMode::ownWindow,
                       "--idle-after accepted with an X window");
    } else if (written.window) {
        expectProperty(options.idleAfterMilliseconds == 0, "an idle time nobody gave");
        expectProperty(options.mode == HostMode::givenWindow, "--window-id does not give that window");
        expectProperty(parseWindowId(written.windowText.c_str(), id) && id == options.windowId,
                       "the window is not the one --window-id names");
    } else if (environmentGiven) {
        expectProperty(options.mode == HostMode::givenWindow, "XSCREENSAVER_WINDOW does not give that window");
        expectProperty(parseWindowId(environmentWindow, id) && id == options.windowId,
                       "the window is not the one XSCREENSAVER_WINDOW names");
    } else {
        expectProperty(options.mode == (written.root ? HostMode::rootWindow : HostMode::ownWindow),
                       "not the mode asked for");
    }
    expectProperty(options.windowId != 0 || options.mode != HostMode::givenWindow, "window 0 given");

    // Printed back as options, the same mode, window, display, idle time,
    // read-out and settings.
    std::vector<std::string> printed = {"flowball"};
    if (options.mode == HostMode::rootWindow)
        printed.push_back("-root");
    if (options.mode == HostMode::givenWindow)
        printed.push_back("--window-id=" + hexWindowId(options.windowId));
    if (options.display != DisplayRequest::any)
        printed.push_back(options.display == DisplayRequest::wayland ? "--wayland" : "--x11");
    if (options.idleAfterMilliseconds != 0)
        printed.push_back("--idle-after=" + idleTimeText(options.idleAfterMilliseconds));
    if (options.idleTimeFromFile)
        printed.push_back("--idle");
    if (!options.settingsFile)
        printed.push_back("--no-settings-file");
    if (options.showFps)
        printed.push_back("--fps");
    appendSettingOptions(printed, options.settings);
    CommandLine again(printed);
    std::vector<char*> argv = again.argv();
    HostOptions reread;
    std::string error;
    expectProperty(parseHostOptions(again.argc(), argv.data(), nullptr, reread, error),
                   "printed options refused: " + error);
    expectProperty(reread.mode == options.mode && reread.windowId == options.windowId &&
                       reread.display == options.display &&
                       reread.idleAfterMilliseconds == options.idleAfterMilliseconds &&
                       reread.idleTimeFromFile == options.idleTimeFromFile &&
                       reread.settingsFile == options.settingsFile &&
                       reread.showFps == options.showFps && sameSettings(reread.settings, options.settings),
                   "printed options read back differently");
    checkSaverCommand(options);
}

std::string windowIdText(std::uint64_t id, bool hex)
{
    char text[32];
    std::snprintf(text, sizeof text, hex ? "0x%llx" : "%llu", static_cast<unsigned long long>(id));
    return text;
}

void checkWrittenNumbers(FuzzInput& input)
{
    enum Given { root = 1, fps = 2, window = 4, environment = 8, windowInHex = 16, environmentInHex = 32,
                 wayland = 64, x11 = 128 };
    const std::uint8_t given = input.byte();
    const std::uint64_t windowId = input.value<std::uint64_t>();
    const std::uint64_t environmentId = input.value<std::uint64_t>();
    // --idle-after in seconds when the top bit is set.
    const std::uint32_t idle = input.value<std::uint32_t>();
    const bool idleGiven = (idle & 0x80000000u) != 0;
    const std::uint32_t idleSeconds = idle & 0x7FFFFFFFu;
    std::vector<std::string> words = {"flowball"};
    HostOptions expected;
    bool acceptable = true;
    if ((given & root) != 0) {
        words.push_back("-root");
        expected.mode = HostMode::rootWindow;
    }
    if ((given & fps) != 0) {
        words.push_back("--fps");
        expected.showFps = true;
    }
    if ((given & wayland) != 0) {
        words.push_back("--wayland");
        expected.display = DisplayRequest::wayland;
        acceptable = (given & (root | window | environment | x11)) == 0;
    }
    if ((given & x11) != 0) {
        words.push_back("--x11");
        expected.display = DisplayRequest::x11;
    }
    const std::string environmentText = windowIdText(environmentId, (given & environmentInHex) != 0);
    if (idleGiven) {
        words.push_back("--idle-after=" + std::to_string(idleSeconds));
        acceptable = acceptable && idleSeconds >= 1 && idleSeconds <= 24 * 60 * 60 &&
                     (given & (root | window | x11)) == 0;
        expected.idleAfterMilliseconds = idleSeconds * 1000;
        expected.mode = HostMode::ownWindow;
    } else if ((given & window) != 0) {
        acceptable = acceptable && windowId >= 1 && windowId <= 0xFFFFFFFFu;
        expected.mode = HostMode::givenWindow;
        expected.windowId = std::uint32_t(windowId);
    } else if ((given & environment) != 0) {
        acceptable = acceptable && environmentId >= 1 && environmentId <= 0xFFFFFFFFu;
        expected.mode = HostMode::givenWindow;
        expected.windowId = std::uint32_t(environmentId);
    }
    if ((given & window) != 0) {
        words.push_back("--window-id");
        words.push_back(windowIdText(windowId, (given & windowInHex) != 0));
        acceptable = acceptable && windowId >= 1 && windowId <= 0xFFFFFFFFu;
    }
    acceptable = appendWrittenSettings(words, input, expected.settings) && acceptable;

    CommandLine line(words);
    std::vector<char*> argv = line.argv();
    HostOptions options;
    std::string error;
    const bool accepted = parseHostOptions(line.argc(), argv.data(),
                                           (given & environment) != 0 ? environmentText.c_str() : nullptr, options,
                                           error);
    std::string written;
    for (const std::string& word : words)
        written += " " + word;
    if ((given & environment) != 0)
        written += " with XSCREENSAVER_WINDOW=" + environmentText;
    expectProperty(accepted == acceptable, (accepted ? "accepted a number out of its range or a mode that is not:"
                                                     : "refused numbers that are all in range (" + error + "):") +
                                               written);
    if (!accepted) {
        expectOneLineMessage(error, "flowball");
        return;
    }
    expectProperty(options.mode == expected.mode && options.windowId == expected.windowId &&
                       options.display == expected.display &&
                       options.idleAfterMilliseconds == expected.idleAfterMilliseconds &&
                       options.showFps == expected.showFps && sameSettings(options.settings, expected.settings),
                   "written numbers read as other values:" + written);
    checkSaverCommand(options);
}

void checkWords(FuzzInput& input, std::uint8_t form)
{
    const bool environmentSet = (form & 1) != 0;
    const std::string environment = input.text();
    CommandLine line("flowball", input);
    std::vector<char*> argv = line.argv();
    HostOptions options;
    std::string error;
    const char* environmentWindow = environmentSet ? environment.c_str() : nullptr;
    if (parseHostOptions(line.argc(), argv.data(), environmentWindow, options, error))
        checkAccepted(line, environmentWindow, options);
    else
        expectOneLineMessage(error, "flowball");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput input(data, size);
    const std::uint8_t form = input.byte();
    if ((form & 2) != 0)
        checkWrittenNumbers(input);
    else
        checkWords(input, form);
    return 0;
}
