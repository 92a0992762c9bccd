#include "host/windows/saver_switches.h"

namespace {

// The separators and the program name's end are decided on the byte as an
// unsigned value: bytes of 0x80 and above belong to names, not separators.
bool isAboveSpace(const char* p)
{
    return static_cast<unsigned char>(*p) > ' ';
}

const char* skipSpaces(const char* p)
{
    while (*p == ' ')
        ++p;
    return p;
}

}  // namespace

const char* nextByte(const char* text)
{
    return *text != '\0' ? text + 1 : text;
}

const char* skipProgramName(const char* commandLine, CharStep step)
{
    const char* p = commandLine;
    if (*p == '"') {
        do {
            p = step(p);
        } while (*p != '\0' && *p != '"');
        if (*p == '"')
            p = step(p);
    } else {
        while (isAboveSpace(p))
            p = step(p);
    }
    while (*p != '\0' && !isAboveSpace(p))
        p = step(p);
    return p;
}

SaverCommand scanSaverSwitch(const char* tail)
{
    for (const char* p = tail;; ++p) {
        switch (*p) {
        case ' ':
        case '-':
        case '/':
            continue;
        case '\0':
            return {RunMode::dialogWithoutOwner, nullptr};
        case 'S':
        case 's':
            return {RunMode::fullScreen, nullptr};
        case 'C':
        case 'c':
            return {RunMode::dialog, p[1] == ':' ? p + 2 : nullptr};
        case 'P':
        case 'p':
        case 'L':
        case 'l':
            return {RunMode::preview, skipSpaces(p + 1)};
        case 'A':
        case 'a':
            return {RunMode::changePassword, skipSpaces(p + 1)};
        default:
            return {RunMode::unknown, nullptr};
        }
    }
}

std::uint32_t parseHandleNumber(const char* text)
{
    std::uint32_t value = 0;
    if (text == nullptr)
        return value;
    for (const char* p = text; *p >= '0' && *p <= '9'; ++p)
        value = value * 10u + static_cast<std::uint32_t>(*p - '0');
    return value;
}

std::uintptr_t handleFromNumber(std::uint32_t number)
{
    return static_cast<std::uintptr_t>(static_cast<std::intptr_t>(static_cast<std::int32_t>(number)));
}
