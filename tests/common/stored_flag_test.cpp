#include "settings/stored_flag.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Registry types besides the two that count, as the platform numbers them.
constexpr std::uint32_t expandTextType = 2;     // REG_EXPAND_SZ
constexpr std::uint32_t binaryType = 3;         // REG_BINARY
constexpr std::uint32_t bigEndianType = 5;      // REG_DWORD_BIG_ENDIAN
constexpr std::uint32_t multiTextType = 7;      // REG_MULTI_SZ
constexpr std::uint32_t quadWordType = 11;      // REG_QWORD

struct FlagCase {
    const char* what;
    std::uint32_t type;
    std::vector<unsigned char> data;
    bool on;
};

std::vector<unsigned char> text(const std::string& characters) { return {characters.begin(), characters.end()}; }

TEST(StoredFlag, EachTypeCountsByItsOwnForm)
{
    const FlagCase cases[] = {
        {"DWORD 1", registryDwordType, {1, 0, 0, 0}, true},
        {"DWORD 0", registryDwordType, {0, 0, 0, 0}, false},
        {"DWORD high byte", registryDwordType, {0, 0, 0, 0x80}, true},
        {"DWORD of 2 bytes", registryDwordType, {1, 0}, false},
        {"DWORD of 8 bytes", registryDwordType, {1, 0, 0, 0, 0, 0, 0, 0}, false},
        {"text 1 with NUL", registryTextType, text(std::string("1\0", 2)), true},
        {"text 0 with NUL", registryTextType, text(std::string("0\0", 2)), false},
        {"text 0 without NUL", registryTextType, text("0"), false},
        {"text 00", registryTextType, text("00"), false},
        {"text 10", registryTextType, text("10"), true},
        {"text too long for any integer", registryTextType, text("000000000000000000000000000001"), true},
        {"empty text", registryTextType, {}, false},
        {"text of a NUL", registryTextType, {0}, false},
        {"text -1", registryTextType, text("-1"), false},
        {"text with a space", registryTextType, text(" 1"), false},
        {"text yes", registryTextType, text("yes"), false},
        {"text after its NUL", registryTextType, text(std::string("0\0" "1", 3)), false},
        {"expandable text 1", expandTextType, text(std::string("1\0", 2)), false},
        {"binary 1", binaryType, {1, 0, 0, 0}, false},
        {"big-endian DWORD 1", bigEndianType, {0, 0, 0, 1}, false},
        {"text list 1", multiTextType, text(std::string("1\0\0", 3)), false},
        {"QWORD 1", quadWordType, {1, 0, 0, 0, 0, 0, 0, 0}, false},
    };
    for (const FlagCase& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(storedFlagOn(c.type, c.data.data(), c.data.size()), c.on);
    }
}

}  // namespace
