// A window id as --window-id and XSCREENSAVER_WINDOW give it, any text: it is
// taken exactly when it is decimal digits, or 0x / 0X and hexadecimal
// digits, of a value from 1 to 2^32 - 1, and then it is that value; an id
// printed in any of those forms reads back as itself. XSCREENSAVER_WINDOW
// gives its window when --window-id does not, and a text that is no window
// id makes the command line refused with a message that names the variable.
//
// Input: a 32-bit id to print, then the text.
#include <cstdio>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "host/posix/options.h"
#include "option_words.h"

namespace {

// What the text says as a window id, worked out apart from the parser: the
// value, or 0 for no id.
std::uint64_t idWritten(const std::string& text)
{
    std::size_t start = 0;
    unsigned base = 10;
    if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        start = 2;
        base = 16;
    }
    if (start == text.size())
        return 0;
    std::uint64_t value = 0;
    for (std::size_t i = start; i < text.size(); ++i) {
        const char c = text[i];
        unsigned digit = 0;
        if (c >= '0' && c <= '9')
            digit = unsigned(c - '0');
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = unsigned(c - 'a' + 10);
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = unsigned(c - 'A' + 10);
        else
            return 0;
        value = value * base + digit;
        if (value > 0xFFFFFFFFu)
            return 0;
    }
    return value;
}

void checkPrinted(std::uint32_t id)
{
    if (id == 0)
        return;
    for (const char* form : {"%u", "0x%x", "0X%X", "0x%08x"}) {
        char text[32];
        std::snprintf(text, sizeof text, form, unsigned(id));
        std::uint32_t read = 0;
        expectProperty(parseWindowId(text, read) && read == id,
                       std::string("a printed id does not read back: ") + text);
    }
}

void checkEnvironment(const std::string& text, std::uint64_t expected)
{
    std::vector<std::string> words = {"flowball", "-root"};
    CommandLine line(words);
    std::vector<char*> argv = line.argv();
    HostOptions options;
    std::string error;
    const bool accepted = parseHostOptions(line.argc(), argv.data(), text.c_str(), options, error);
    if (text.empty()) {
        expectProperty(accepted && options.mode == HostMode::rootWindow, "an empty XSCREENSAVER_WINDOW is not unset");
    } else if (expected != 0) {
        expectProperty(accepted && options.mode == HostMode::givenWindow && options.windowId == expected,
                       "XSCREENSAVER_WINDOW does not give its window over -root");
    } else {
        expectProperty(!accepted, "XSCREENSAVER_WINDOW holding no window id accepted");
        expectOneLineMessage(error, "flowball");
        expectProperty(error.find("XSCREENSAVER_WINDOW") != std::string::npos,
                       "the message does not name XSCREENSAVER_WINDOW: " + error);
    }

    // --window-id wins, whatever the variable holds.
    CommandLine withWindow(std::vector<std::string>{"flowball", "--window-id", "7"});
    argv = withWindow.argv();
    HostOptions given;
    expectProperty(parseHostOptions(withWindow.argc(), argv.data(), text.c_str(), given, error) &&
                       given.mode == HostMode::givenWindow && given.windowId == 7,
                   "--window-id does not win over XSCREENSAVER_WINDOW");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput input(data, size);
    checkPrinted(input.value<std::uint32_t>());
    // Text ends at its first NUL, as argv and the environment hand it over.
    const std::string text = input.text();
    const std::uint64_t expected = idWritten(text);
    std::uint32_t id = 0;
    const bool taken = parseWindowId(text.c_str(), id);
    expectProperty(taken == (expected != 0), "a window id taken or refused against its form");
    if (taken)
        expectProperty(id == expected, "a window id read as another value");
    checkEnvironment(text, expected);
    return 0;
}
