// The saver's command line, any bytes: scanned with a one-byte step and with
// a double-byte step as on an East Asian code page. The scanners must not
// read past the terminating NUL (AddressSanitizer watches an exactly sized
// copy) and must answer pointers into the text; the mode is the one the
// first letter after the separators names; a handle number is the value of
// the leading digits, modulo 2^32. And a command line printed from a mode and
// a handle (a program name, quoted or not, a switch, the number) reads back
// as that mode and that handle.
//
// Input: a mode byte, a 32-bit handle, a program name up to a NUL, a form
// byte (quoting, dash or slash, separators), then the command line to scan.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "fuzz_support.h"
#include "host/windows/saver_switches.h"

namespace {

// A lead byte (0x81 and above) takes the byte after it along, unless that is
// the terminating NUL.
const char* doubleByteStep(const char* p)
{
    if (*p == '\0')
        return p;
    if (static_cast<unsigned char>(*p) >= 0x81 && p[1] != '\0')
        return p + 2;
    return p + 1;
}

bool within(const char* p, const char* begin, const char* end) { return p >= begin && p <= end; }

bool isSwitchSeparator(char c) { return c == ' ' || c == '-' || c == '/'; }

RunMode modeOfLetter(char letter)
{
    switch (letter) {
    case '\0':
        return RunMode::dialogWithoutOwner;
    case 's':
    case 'S':
        return RunMode::fullScreen;
    case 'c':
    case 'C':
        return RunMode::dialog;
    case 'p':
    case 'P':
    case 'l':
    case 'L':
        return RunMode::preview;
    case 'a':
    case 'A':
        return RunMode::changePassword;
    default:
        return RunMode::unknown;
    }
}

// The leading decimal digits' value modulo 2^32, the long way.
std::uint32_t leadingDigitsModulo(const char* text)
{
    std::uint64_t value = 0;
    for (; *text >= '0' && *text <= '9'; ++text)
        value = (value * 10 + std::uint64_t(*text - '0')) % 4294967296u;
    return std::uint32_t(value);
}

void checkScan(const char* text, std::size_t length, CharStep step)
{
    const char* end = text + length;
    const char* tail = skipProgramName(text, step);
    expectProperty(within(tail, text, end), "the command tail lies in the text");
    expectProperty(tail == end || static_cast<unsigned char>(*tail) > ' ',
                   "the command tail starts after the separators");
    const SaverCommand command = scanSaverSwitch(tail);
    const char* letter = tail;
    while (isSwitchSeparator(*letter))
        ++letter;
    expectProperty(command.mode == modeOfLetter(*letter), "the mode is the first letter's");
    if (command.argument != nullptr) {
        expectProperty(within(command.argument, tail, end), "the switch's argument lies in the tail");
        expectProperty(parseHandleNumber(command.argument) == leadingDigitsModulo(command.argument),
                       "a handle number is its leading digits modulo 2^32");
    }
    expectProperty(parseHandleNumber(text) == leadingDigitsModulo(text),
                   "a handle number is its leading digits modulo 2^32");
}

// What the system and the settings applet write: a program name, a switch
// and, for the modes that take one, the handle.
void checkPrinted(FuzzInput& input)
{
    static const char letters[] = {'s', 'S', 'c', 'C', 'p', 'P', 'l', 'L', 'a', 'A'};
    const char letter = letters[input.byte() % sizeof letters];
    const std::uint32_t handle = input.value<std::uint32_t>();
    std::string name = input.text();
    const std::uint8_t form = input.byte();
    const bool quoted = (form & 1) != 0;
    // A name holds no quote; an unquoted one no byte up to space either.
    std::string kept;
    for (char c : name) {
        if (c != '"' && (quoted || static_cast<unsigned char>(c) > ' '))
            kept += c;
    }
    if (kept.empty())
        kept = "flowball.scr";
    const RunMode mode = modeOfLetter(letter);
    std::string line = quoted ? "\"" + kept + "\"" : kept;
    line += (form & 2) != 0 ? "  " : " ";
    line += (form & 4) != 0 ? '-' : '/';
    line += letter;
    const bool takesHandle = mode != RunMode::fullScreen;
    if (takesHandle)
        line += (mode == RunMode::dialog ? ":" : ((form & 8) != 0 ? "  " : " ")) + std::to_string(handle);

    const char* tail = skipProgramName(line.c_str(), nextByte);
    const SaverCommand command = scanSaverSwitch(tail);
    expectProperty(command.mode == mode, "a printed switch reads back as its mode");
    if (takesHandle) {
        expectProperty(command.argument != nullptr && parseHandleNumber(command.argument) == handle,
                       "a printed handle reads back as itself");
        expectProperty(std::uint32_t(handleFromNumber(handle)) == handle,
                       "a handle keeps its 32 bits when widened");
        expectProperty((handleFromNumber(handle) >> 31) == ((handle & 0x80000000u) != 0 ? UINTPTR_MAX >> 31 : 0),
                       "a handle is widened with its sign");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput input(data, size);
    checkPrinted(input);
    // The rest is a command line; it ends at its first NUL, as the system
    // hands it over.
    const std::string rest = input.bytes(input.remaining());
    const std::size_t length = strnlen(rest.data(), rest.size());
    char* text = static_cast<char*>(std::malloc(length + 1));
    std::memcpy(text, rest.data(), length);
    text[length] = '\0';
    checkScan(text, length, nextByte);
    checkScan(text, length, doubleByteStep);
    std::free(text);
    return 0;
}
