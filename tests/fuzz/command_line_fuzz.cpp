// libFuzzer target for the command-line scanning: any bytes as a command
// line, scanned with a one-byte step and with a double-byte step as on an
// East Asian code page. The scanners must not crash, must not read past the
// terminating NUL (AddressSanitizer watches the exactly sized copy), and must
// answer pointers into the text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

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

void expectWithin(const char* p, const char* begin, const char* end)
{
    if (p < begin || p > end)
        std::abort();
}

void scan(const char* text, std::size_t length, CharStep step)
{
    const char* end = text + length;
    const char* tail = skipProgramName(text, step);
    expectWithin(tail, text, end);
    const SaverCommand command = scanSaverSwitch(tail);
    if (command.argument != nullptr)
        expectWithin(command.argument, tail, end);
    parseHandleNumber(command.argument);
    parseHandleNumber(text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The command line ends at its first NUL, as the system hands it over.
    const std::size_t length = strnlen(reinterpret_cast<const char*>(data), size);
    char* text = static_cast<char*>(std::malloc(length + 1));
    std::memcpy(text, data, length);
    text[length] = '\0';
    scan(text, length, nextByte);
    scan(text, length, doubleByteStep);
    std::free(text);
    return 0;
}
