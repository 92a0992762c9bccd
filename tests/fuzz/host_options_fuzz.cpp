// flowball's command line, any words (and XSCREENSAVER_WINDOW, set or not):
// an accepted command line names each option in full, gives settings each
// setting accepts and the mode its options ask for; a refused one says why in
// one line. The options printed from what was accepted give it back. And
// options written from any numbers (window ids, settings) are accepted
// exactly when every number is in its range, and then read as those numbers.
//
// Input: a form byte. Words: whether XSCREENSAVER_WINDOW is set, its text up
// to a NUL, then the words, each up to a NUL. Numbers (form bit 1): which
// options are given and in which form, the window ids, the settings.
#include <cstdio>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "host/posix/options.h"
#include "option_words.h"

namespace {

std::vector<OptionName> hostOptionNames()
{
    std::vector<OptionName> names = {{"root", false}, {"window-id", true}, {"fps", false}, {"help", false},
                                     {"h", false}};
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

// The value of the last --window-id, as written; empty when there is none.
std::string lastWindowId(const std::vector<std::string>& words, bool& given)
{
    std::string value;
    given = false;
    for (std::size_t i = 1; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (word == "--")
            break;
        const std::size_t dashes = word.compare(0, 2, "--") == 0 ? 2 : 1;
        if (word.compare(dashes, std::string::npos, "window-id") == 0 && i + 1 < words.size()) {
            value = words[++i];
            given = true;
        } else if (word.compare(dashes, 10, "window-id=") == 0) {
            value = word.substr(dashes + 10);
            given = true;
        } else if (word.find('=') == std::string::npos) {
            // A setting's value is the next word: skip it.
            for (const OptionName& option : settingOptionNames()) {
                if (option.takesValue && word.compare(dashes, std::string::npos, option.name) == 0)
                    ++i;
            }
        }
    }
    return value;
}

void checkAccepted(CommandLine& line, const char* environmentWindow, const HostOptions& options)
{
    expectProperty(writtenInFull(line.words, hostOptionNames()), "accepted an option not written in full");
    expectValidSettings(options.settings);
    if (options.help)
        return;
    bool windowGiven = false;
    const std::string windowText = lastWindowId(line.words, windowGiven);
    std::uint32_t id = 0;
    if (windowGiven) {
        expectProperty(options.mode == HostMode::givenWindow, "--window-id does not give that window");
        expectProperty(parseWindowId(windowText.c_str(), id) && id == options.windowId,
                       "the window is not the one --window-id names");
    } else if (environmentWindow != nullptr && environmentWindow[0] != '\0') {
        expectProperty(options.mode == HostMode::givenWindow, "XSCREENSAVER_WINDOW does not give that window");
        expectProperty(parseWindowId(environmentWindow, id) && id == options.windowId,
                       "the window is not the one XSCREENSAVER_WINDOW names");
    } else {
        expectProperty(options.mode != HostMode::givenWindow, "a window given by nobody");
    }
    expectProperty(options.windowId != 0 || options.mode != HostMode::givenWindow, "window 0 given");

    // Printed back as options, the same mode, window, read-out and settings.
    std::vector<std::string> printed = {"flowball"};
    if (options.mode == HostMode::rootWindow)
        printed.push_back("-root");
    if (options.mode == HostMode::givenWindow)
        printed.push_back("--window-id=" + hexWindowId(options.windowId));
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
                       reread.showFps == options.showFps && sameSettings(reread.settings, options.settings),
                   "printed options read back differently");
}

std::string windowIdText(std::uint64_t id, bool hex)
{
    char text[32];
    std::snprintf(text, sizeof text, hex ? "0x%llx" : "%llu", static_cast<unsigned long long>(id));
    return text;
}

void checkWrittenNumbers(FuzzInput& input)
{
    enum Given { root = 1, fps = 2, window = 4, environment = 8, windowInHex = 16, environmentInHex = 32 };
    const std::uint8_t given = input.byte();
    const std::uint64_t windowId = input.value<std::uint64_t>();
    const std::uint64_t environmentId = input.value<std::uint64_t>();
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
    const std::string environmentText = windowIdText(environmentId, (given & environmentInHex) != 0);
    if ((given & window) != 0) {
        words.push_back("--window-id");
        words.push_back(windowIdText(windowId, (given & windowInHex) != 0));
        acceptable = windowId >= 1 && windowId <= 0xFFFFFFFFu;
        expected.mode = HostMode::givenWindow;
        expected.windowId = std::uint32_t(windowId);
    } else if ((given & environment) != 0) {
        acceptable = environmentId >= 1 && environmentId <= 0xFFFFFFFFu;
        expected.mode = HostMode::givenWindow;
        expected.windowId = std::uint32_t(environmentId);
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
    expectProperty(accepted == acceptable, (accepted ? "accepted a number out of its range:"
                                                     : "refused numbers that are all in range (" + error + "):") +
                                               written);
    if (!accepted) {
        expectOneLineMessage(error, "flowball");
        return;
    }
    expectProperty(options.mode == expected.mode && options.windowId == expected.windowId &&
                       options.showFps == expected.showFps && sameSettings(options.settings, expected.settings),
                   "written numbers read as other values");
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
