#include "host/windows/saver_switches.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

struct TailCase {
    const char* tail;
    RunMode mode;
    const char* argument;  // expected text of the argument; null for none
};

const TailCase tailCases[] = {
    {"/s", RunMode::fullScreen, nullptr},
    {"-s", RunMode::fullScreen, nullptr},
    {"s", RunMode::fullScreen, nullptr},
    {" S", RunMode::fullScreen, nullptr},
    {"/S", RunMode::fullScreen, nullptr},
    {"/s5", RunMode::fullScreen, nullptr},
    {"/s:42", RunMode::fullScreen, nullptr},
    {"--//  /s", RunMode::fullScreen, nullptr},
    {"", RunMode::dialogWithoutOwner, nullptr},
    {"  / - ", RunMode::dialogWithoutOwner, nullptr},
    {"/c", RunMode::dialog, nullptr},
    {"/C:1234", RunMode::dialog, "1234"},
    {"/c:", RunMode::dialog, ""},
    {"/c 1234", RunMode::dialog, nullptr},
    {"/p 1234", RunMode::preview, "1234"},
    {"/l 1234", RunMode::preview, "1234"},
    {"/P1234", RunMode::preview, "1234"},
    {"/p", RunMode::preview, ""},
    {"/p x", RunMode::preview, "x"},
    {"/p\t1234", RunMode::preview, "\t1234"},
    {"/a 1234", RunMode::changePassword, "1234"},
    {"/A   77", RunMode::changePassword, "77"},
    {"/x", RunMode::unknown, nullptr},
    {"5", RunMode::unknown, nullptr},
    {"/\ts", RunMode::unknown, nullptr},
    {"\x80s", RunMode::unknown, nullptr},
    {"/\xE9", RunMode::unknown, nullptr},
};

TEST(ScanSaverSwitch, FirstSwitchLetterChoosesTheMode)
{
    for (const TailCase& c : tailCases) {
        SCOPED_TRACE(std::string("tail '") + c.tail + "'");
        const SaverCommand command = scanSaverSwitch(c.tail);
        EXPECT_EQ(command.mode, c.mode);
        if (c.argument == nullptr) {
            EXPECT_EQ(command.argument, nullptr);
        } else {
            ASSERT_NE(command.argument, nullptr);
            EXPECT_STREQ(command.argument, c.argument);
        }
    }
}

TEST(ScanSaverSwitch, ArgumentPointsIntoTheTail)
{
    const char* tail = "/c:99";
    EXPECT_EQ(scanSaverSwitch(tail).argument, tail + 3);
}

struct NameCase {
    const char* commandLine;
    const char* tail;
};

const NameCase nameCases[] = {
    {"flowball.scr /s", "/s"},
    {"flowball.scr", ""},
    {"\"C:\\Program Files\\Flowball\\flowball.scr\" /p 1234", "/p 1234"},
    {"\"C:\\My Savers\\flowball.scr\"/s", "/s"},
    {"\"C:\\unterminated quote /s", ""},
    {"\"\" /c", "/c"},
    {"flowball.scr \t \t/s", "/s"},
    {"flowball.scr\t\x01\x1f /a 5", "/a 5"},
    {"C:\\sav\xe9r\xff.scr /s", "/s"},
    {"", ""},
    {"\"", ""},
    {"flowball.scr    ", ""},
};

TEST(SkipProgramName, TailStartsAfterNameAndSeparators)
{
    for (const NameCase& c : nameCases) {
        SCOPED_TRACE(std::string("command line '") + c.commandLine + "'");
        const char* tail = skipProgramName(c.commandLine, nextByte);
        EXPECT_STREQ(tail, c.tail);
        EXPECT_EQ(tail, c.commandLine + std::strlen(c.commandLine) - std::strlen(c.tail));
    }
}

TEST(SkipProgramName, MovesWithTheGivenCharacterStep)
{
    // A step over two bytes at a time, as a double-byte code page steps over a
    // lead byte: the quote in the second byte of a pair is not seen, and the
    // name ends at the next quote that starts a character.
    const CharStep pairs = [](const char* p) -> const char* {
        if (*p == '\0')
            return p;
        return p[1] == '\0' ? p + 1 : p + 2;
    };
    EXPECT_STREQ(skipProgramName("\"ab\"cd\" /s", pairs), "/s");
    EXPECT_STREQ(skipProgramName("\"ab\"cd\" /s", nextByte), "cd\" /s");
}

struct NumberCase {
    const char* text;
    std::uint32_t value;
};

const NumberCase numberCases[] = {
    {"1234", 1234u},
    {"0", 0u},
    {"", 0u},
    {"x12", 0u},
    {"-5", 0u},
    {"+5", 0u},
    {"0x1F", 0u},
    {"42abc", 42u},
    {"42 17", 42u},
    {"007", 7u},
    {"4294967295", 4294967295u},
    {"4294967296", 0u},
    {"4294967297", 1u},
    {"99999999999", 1215752191u},  // 99999999999 mod 2^32
};

TEST(ParseHandleNumber, ReadsLeadingDecimalDigitsWithWrapAround)
{
    for (const NumberCase& c : numberCases) {
        SCOPED_TRACE(std::string("text '") + c.text + "'");
        EXPECT_EQ(parseHandleNumber(c.text), c.value);
    }
}

TEST(ParseHandleNumber, NullTextIsZero)
{
    EXPECT_EQ(parseHandleNumber(nullptr), 0u);
}

// A 64-bit parent prints a handle with its sign-extended upper half; the 32-bit
// wrap-around keeps the low half and the sign extension restores the rest.
TEST(HandleFromNumber, WidensWithTheSignOfA32BitHandle)
{
    const bool wide = sizeof(std::uintptr_t) == 8;
    const struct {
        const char* text;
        std::uint64_t handle;
    } cases[] = {
        {"0", 0u},
        {"1234", 1234u},
        {"2147483647", 0x7FFFFFFFu},
        {"2147483648", wide ? 0xFFFFFFFF80000000u : 0x80000000u},
        {"2147488308", wide ? 0xFFFFFFFF80001234u : 0x80001234u},
        {"4294967295", wide ? 0xFFFFFFFFFFFFFFFFu : 0xFFFFFFFFu},
        {"18446744071562072628", wide ? 0xFFFFFFFF80001234u : 0x80001234u},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("text '") + c.text + "'");
        EXPECT_EQ(static_cast<std::uint64_t>(handleFromNumber(parseHandleNumber(c.text))), c.handle);
    }
}

}  // namespace
