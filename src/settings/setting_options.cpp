#include "settings/setting_options.h"

#include <cctype>
#include <charconv>
#include <cstring>

namespace {

// Where the descriptions start in the help text, and the line width.
constexpr std::size_t helpColumn = 22;
constexpr std::size_t helpWidth = 79;

// A decimal whole number, optionally negative, and nothing else.
bool parseDecimal(const char* text, std::int64_t& value)
{
    const char* last = text + std::strlen(text);
    if (text == last || !(std::isdigit(static_cast<unsigned char>(text[0])) || text[0] == '-'))
        return false;
    const auto result = std::from_chars(text, last, value);
    return result.ec == std::errc() && result.ptr == last;
}

// RRGGBB: exactly six hex digits after an optional '#'.
bool parseColour(const char* text, std::int64_t& value)
{
    if (text[0] == '#')
        ++text;
    if (std::strlen(text) != 6)
        return false;
    for (int i = 0; i < 6; ++i) {
        if (!std::isxdigit(static_cast<unsigned char>(text[i])))
            return false;
    }
    const auto result = std::from_chars(text, text + 6, value, 16);
    return result.ec == std::errc();
}

bool parseChoice(const SettingInfo& info, const char* text, std::int64_t& value)
{
    for (int i = 0; i < info.choiceCount; ++i) {
        if (sameSettingName(info.choices[i].name, text)) {
            value = info.choices[i].value;
            return true;
        }
    }
    return parseDecimal(text, value);
}

std::string colourText(std::int32_t colour)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string text(6, '0');
    for (int i = 5; i >= 0; --i, colour >>= 4)
        text[std::size_t(i)] = digits[colour & 0xF];
    return text;
}

std::string defaultText(const SettingInfo& info)
{
    switch (info.kind) {
    case SettingKind::Switch:
        return info.defaultValue != 0 ? "on" : "off";
    case SettingKind::Colour:
        return colourText(info.defaultValue);
    case SettingKind::Texture:
    case SettingKind::Choice:
        return findSettingChoice(info, info.defaultValue)->name;
    case SettingKind::Number:
        break;
    }
    return std::to_string(info.defaultValue);
}

const char* valuePlaceholder(SettingKind kind)
{
    switch (kind) {
    case SettingKind::Switch:
        return "";
    case SettingKind::Number:
        return " N";
    case SettingKind::Colour:
        return " RRGGBB";
    case SettingKind::Texture:
    case SettingKind::Choice:
        break;
    }
    return " NAME";
}

// Appends words to help, wrapped into lines no wider than helpWidth whose
// continuations start at helpColumn. lineLength is the length of help's last
// line so far.
void appendWrapped(std::string& help, const std::string& words, std::size_t lineLength)
{
    std::size_t start = 0;
    bool firstWord = true;
    while (start < words.size()) {
        std::size_t end = words.find(' ', start);
        if (end == std::string::npos)
            end = words.size();
        const std::size_t wordLength = end - start;
        if (!firstWord && lineLength + 1 + wordLength > helpWidth) {
            help += '\n';
            help.append(helpColumn, ' ');
            lineLength = helpColumn;
        } else if (!firstWord) {
            help += ' ';
            ++lineLength;
        }
        help.append(words, start, wordLength);
        lineLength += wordLength;
        start = end + 1;
        firstWord = false;
    }
}

// The option name an argument gives, as written: "--size" of "--size=64x48".
std::string writtenName(const char* argument)
{
    const char* equals = std::strchr(argument, '=');
    return equals != nullptr ? std::string(argument, equals) : std::string(argument);
}

// The row that the written name ("-speed", "--speed") names in full, or
// nullptr.
const option* rowNamedInFull(const option* rows, const std::string& name)
{
    const std::size_t dashes = name.compare(0, 2, "--") == 0 ? 2 : 1;
    for (const option* row = rows; row->name != nullptr; ++row) {
        if (name.compare(dashes, std::string::npos, row->name) == 0)
            return row;
    }
    return nullptr;
}

std::string unknownOption(const std::string& name)
{
    if (name.compare(0, 2, "--") == 0)
        return "unknown option " + quotedArgument(name);
    return "unexpected argument " + quotedArgument(name) + " (no option of that name)";
}

}  // namespace

SettingOptions::SettingOptions(const option* hostOptions, int hostOptionCount)
    : options(hostOptions, hostOptions + hostOptionCount)
{
    for (int row = 0; row < settingCount; ++row) {
        const SettingInfo& info = settingTable[row];
        const int code = settingOptionCodeBase + 2 * row;
        if (info.kind == SettingKind::Switch) {
            options.push_back({info.optionName, no_argument, nullptr, code});
            options.push_back({info.offOptionName, no_argument, nullptr, code + 1});
        } else {
            options.push_back({info.optionName, required_argument, nullptr, code});
        }
    }
    options.push_back({nullptr, 0, nullptr, 0});
}

bool SettingOptions::owns(int code) const
{
    return code >= settingOptionCodeBase && code < settingOptionCodeBase + 2 * settingCount;
}

bool SettingOptions::apply(int code, const char* argument, Settings& settings, std::string& error) const
{
    if (!owns(code)) {
        error = "not an option of the settings";
        return false;
    }
    const SettingInfo& info = settingTable[(code - settingOptionCodeBase) / 2];
    if (info.kind == SettingKind::Switch) {
        settings.*info.field = (code - settingOptionCodeBase) % 2 == 0 ? 1 : 0;
        return true;
    }
    std::int32_t value = 0;
    if (argument == nullptr || !parseSettingText(info, argument, value)) {
        error = std::string("--") + info.optionName + " wants " + settingValueDescription(info) + " (got " +
                quotedArgument(argument != nullptr ? argument : "") + ")";
        return false;
    }
    settings.*info.field = value;
    return true;
}

bool parseCommandLine(int argc, const char* const* argv, const option* programOptions, int programOptionCount,
                      Settings& settings, const ProgramOptionHandler& handleOption, std::string& error)
{
    const SettingOptions settingOptions(programOptions, programOptionCount);
    const option* rows = settingOptions.longOptions();
    // getopt_long_only does not write to the strings; its prototype only
    // allows for implementations that move them around, which '+' rules out.
    char* const* arguments = const_cast<char* const*>(argv);
    optind = 0;  // a fresh scan, even after an earlier one
    opterr = 0;  // the messages are ours
    for (;;) {
        // The argument getopt looks at next (optind 0 stands for 1).
        const int next = optind == 0 ? 1 : optind;
        const std::string name = next < argc ? writtenName(argv[next]) : std::string();
        // '+': stop at the first argument that is not an option, so that it
        // is reported rather than moved to the end; ':': a missing value is
        // told apart from an unknown option.
        const int code = getopt_long_only(argc, arguments, "+:", rows, nullptr);
        if (code == -1)
            break;
        const option* row = rowNamedInFull(rows, name);
        if (row == nullptr) {
            error = unknownOption(name);
            return false;
        }
        // Told from the row and the arguments rather than from getopt's code
        // and optarg, which C libraries give differently for these two faults
        // (one leaves optarg as an earlier scan set it).
        const bool valueWritten = std::strchr(argv[next], '=') != nullptr;
        if (row->has_arg == required_argument && !valueWritten && next + 1 >= argc) {
            error = "option --" + std::string(row->name) + " needs a value";
            return false;
        }
        if (row->has_arg == no_argument && valueWritten) {
            error = "option --" + std::string(row->name) + " takes no value (got " + quotedArgument(argv[next]) + ")";
            return false;
        }
        if (code == ':' || code == '?') {
            error = unknownOption(name);
            return false;
        }
        switch (handleOption(code, optarg, error)) {
        case OptionUse::taken:
            continue;
        case OptionUse::refused:
            return false;
        case OptionUse::notOwn:
            break;
        }
        if (!settingOptions.apply(code, optarg, settings, error))
            return false;
    }
    if (optind < argc) {
        error = "unexpected argument " + quotedArgument(argv[optind]) + " (options start with - or --)";
        return false;
    }
    return true;
}

bool parseSettingText(const SettingInfo& info, const char* text, std::int32_t& value)
{
    std::int64_t raw = 0;
    bool parsed = false;
    switch (info.kind) {
    case SettingKind::Switch:
    case SettingKind::Number:
        parsed = parseDecimal(text, raw);
        break;
    case SettingKind::Colour:
        parsed = parseColour(text, raw);
        break;
    case SettingKind::Texture:
    case SettingKind::Choice:
        parsed = parseChoice(info, text, raw);
        break;
    }
    if (!parsed || !isValidSettingValue(info, raw))
        return false;
    value = std::int32_t(raw);
    return true;
}

namespace {

// A well-formed UTF-8 character: no overlong form, no surrogate, nothing
// past U+10FFFF. A length of 0 means that none starts at the byte.
struct Utf8Character {
    char32_t codePoint = 0;
    std::size_t length = 0;
};

// The length of a character that begins with a byte above 0x7F; 0 for a
// byte that begins none (a continuation byte, or one that could only begin
// an overlong form or a code past U+10FFFF).
std::size_t utf8Length(unsigned char lead)
{
    if (lead >= 0xC2 && lead <= 0xDF)
        return 2;
    if (lead >= 0xE0 && lead <= 0xEF)
        return 3;
    if (lead >= 0xF0 && lead <= 0xF4)
        return 4;
    return 0;
}

Utf8Character utf8CharacterAt(const std::string& text, std::size_t at)
{
    const unsigned char lead = static_cast<unsigned char>(text[at]);
    if (lead < 0x80)
        return {lead, 1};
    const std::size_t length = utf8Length(lead);
    if (length == 0 || text.size() - at < length)
        return {};
    char32_t codePoint = lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        const unsigned char next = static_cast<unsigned char>(text[at + i]);
        if ((next & 0xC0) != 0x80)
            return {};
        codePoint = codePoint << 6 | (next & 0x3F);
    }
    const char32_t least[] = {0x80, 0x800, 0x10000};
    if (codePoint < least[length - 2] || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF))
        return {};
    return {codePoint, length};
}

// C0, DEL and C1. C1's codes are controls as bytes to an 8-bit terminal and
// as characters to a UTF-8 one.
bool isControl(char32_t code) { return code < 0x20 || (code >= 0x7F && code <= 0x9F); }

void appendEscaped(std::string& quoted, unsigned char byte)
{
    static const char digits[] = "0123456789ABCDEF";
    quoted += "\\x";
    quoted += digits[byte >> 4];
    quoted += digits[byte & 0xF];
}

}  // namespace

std::string quotedArgument(const std::string& text)
{
    std::string quoted = "'";
    for (std::size_t at = 0; at < text.size();) {
        const Utf8Character character = utf8CharacterAt(text, at);
        // A byte outside any character counts by its own value.
        const std::size_t length = character.length != 0 ? character.length : 1;
        const char32_t code = character.length != 0 ? character.codePoint : static_cast<unsigned char>(text[at]);
        for (std::size_t i = at; i < at + length; ++i) {
            if (isControl(code))
                appendEscaped(quoted, static_cast<unsigned char>(text[i]));
            else
                quoted += text[i];
        }
        at += length;
    }
    return quoted + "'";
}

std::string settingValueDescription(const SettingInfo& info)
{
    switch (info.kind) {
    case SettingKind::Switch:
        return "0 or 1";
    case SettingKind::Number:
        return "a whole number from " + std::to_string(info.minimum) + " to " + std::to_string(info.maximum);
    case SettingKind::Colour:
        return "a colour as six hex digits RRGGBB, from " + colourText(info.minimum) + " to " +
               colourText(info.maximum);
    case SettingKind::Texture:
    case SettingKind::Choice:
        break;
    }
    std::string names;
    std::string numbers;
    for (int i = 0; i < info.choiceCount; ++i) {
        names += (i == 0 ? "" : i + 1 == info.choiceCount ? " or " : ", ");
        names += info.choices[i].name;
        numbers += (i == 0 ? "" : i + 1 == info.choiceCount ? " or " : ", ");
        numbers += std::to_string(info.choices[i].value);
    }
    return "one of " + names + " (or " + numbers + ")";
}

std::string settingOptionsHelp()
{
    std::string help;
    for (int row = 0; row < settingCount; ++row) {
        const SettingInfo& info = settingTable[row];
        std::string left = "  --";
        left += info.optionName;
        left += valuePlaceholder(info.kind);
        help += left;
        if (left.size() + 1 < helpColumn)
            help.append(helpColumn - left.size(), ' ');
        else
            help += '\n' + std::string(helpColumn, ' ');

        std::string description = info.help;
        if (info.kind == SettingKind::Number)
            description += ", " + std::to_string(info.minimum) + " to " + std::to_string(info.maximum);
        description += " (default " + defaultText(info);
        if (info.offOptionName != nullptr)
            description += std::string("; --") + info.offOptionName + ": off";
        description += ")";
        if (info.choices != nullptr) {
            description += ": one of";
            for (int i = 0; i < info.choiceCount; ++i)
                description += std::string(" ") + info.choices[i].name;
        }
        appendWrapped(help, description, helpColumn);
        help += '\n';
    }
    return help;
}
