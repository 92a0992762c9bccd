// What the two command-line targets share: a command line from fuzz input,
// the check that an accepted command line names every option in full, and
// settings printed back as options.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "settings/settings.h"

// A command line: the program's name, then the input's NUL-separated words.
class CommandLine {
public:
    CommandLine(const char* program, FuzzInput& input, std::size_t mostWords = 24)
    {
        words.push_back(program);
        while (input.remaining() > 0 && words.size() <= mostWords)
            words.push_back(input.text());
    }

    explicit CommandLine(std::vector<std::string> written) : words(std::move(written)) {}

    // argv for the parsers, valid while the words are left alone.
    std::vector<char*> argv()
    {
        std::vector<char*> pointers;
        for (std::string& word : words)
            pointers.push_back(word.data());
        pointers.push_back(nullptr);
        return pointers;
    }

    int argc() const { return int(words.size()); }

    std::vector<std::string> words;
};

// An option a program takes: its name, and whether a value follows it.
struct OptionName {
    std::string name;
    bool takesValue;
};

// Every option of the settings table, by name.
inline std::vector<OptionName> settingOptionNames()
{
    std::vector<OptionName> names;
    for (int row = 0; row < settingCount; ++row) {
        const SettingInfo& info = settingTable[row];
        names.push_back({info.optionName, info.kind != SettingKind::Switch});
        if (info.offOptionName != nullptr)
            names.push_back({info.offOptionName, false});
    }
    return names;
}

// Whether the words after the program's name are options written in full
// (one dash or two, then a whole name), each value after '=' or as the next
// word, up to the end or a "--" that ends the options with nothing after it.
inline bool writtenInFull(const std::vector<std::string>& words, const std::vector<OptionName>& names)
{
    for (std::size_t i = 1; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (word == "--")
            return i + 1 == words.size();
        if (word.size() < 2 || word[0] != '-')
            return false;
        const std::size_t dashes = word[1] == '-' ? 2 : 1;
        const std::size_t equals = word.find('=');
        const std::string name = word.substr(dashes, equals == std::string::npos ? std::string::npos : equals - dashes);
        const OptionName* found = nullptr;
        for (const OptionName& option : names) {
            if (option.name == name)
                found = &option;
        }
        if (found == nullptr)
            return false;
        if (!found->takesValue && equals != std::string::npos)
            return false;
        if (found->takesValue && equals == std::string::npos && ++i >= words.size())
            return false;
    }
    return true;
}

// A refusal is one line of its own words: no program name, no line break.
inline void expectOneLineMessage(const std::string& error, const char* program)
{
    expectProperty(!error.empty(), "a refusal without a message");
    expectProperty(error.find('\n') == std::string::npos, "a message of more than one line: " + error);
    expectProperty(error.compare(0, std::string(program).size(), program) != 0,
                   "a message that starts with the program's name: " + error);
}

// The settings as options that give them back: switches by their on or off
// form, colours as RRGGBB, every other value as its number.
inline void appendSettingOptions(std::vector<std::string>& words, const Settings& settings)
{
    for (int row = 0; row < settingCount; ++row) {
        const SettingInfo& info = settingTable[row];
        const std::int32_t value = settings.*info.field;
        if (info.kind == SettingKind::Switch) {
            words.push_back(std::string("--") + (value != 0 ? info.optionName : info.offOptionName));
            continue;
        }
        std::string text = std::to_string(value);
        if (info.kind == SettingKind::Colour) {
            char hex[16];
            std::snprintf(hex, sizeof hex, "%06X", unsigned(value));
            text = hex;
        }
        words.push_back(std::string("--") + info.optionName);
        words.push_back(text);
    }
}

// Settings written as options from numbers in the input, any numbers: each
// setting is given or not, switches by their on or off form, the others as
// their number (colours as hex digits). expected gets what a parse must
// give; the result says whether every value written is one its setting
// accepts, that is whether a parse must accept them.
inline bool appendWrittenSettings(std::vector<std::string>& words, FuzzInput& input, Settings& expected)
{
    bool acceptable = true;
    for (int row = 0; row < settingCount; ++row) {
        const SettingInfo& info = settingTable[row];
        if ((input.byte() & 1) == 0)
            continue;
        const std::int32_t value = input.value<std::int32_t>();
        if (info.kind == SettingKind::Switch) {
            words.push_back(std::string("--") + ((value & 1) != 0 ? info.optionName : info.offOptionName));
            expected.*info.field = value & 1;
            continue;
        }
        std::string text = std::to_string(value);
        if (info.kind == SettingKind::Colour) {
            char hex[16];
            std::snprintf(hex, sizeof hex, "%06X", unsigned(value));
            text = hex;
        }
        words.push_back(std::string("--") + info.optionName + "=" + text);
        if (isValidSettingValue(info, value))
            expected.*info.field = value;
        else
            acceptable = false;
    }
    return acceptable;
}

inline bool sameSettings(const Settings& a, const Settings& b)
{
    for (int row = 0; row < settingCount; ++row) {
        if (a.*settingTable[row].field != b.*settingTable[row].field)
            return false;
    }
    return true;
}

inline void expectValidSettings(const Settings& settings)
{
    for (int row = 0; row < settingCount; ++row) {
        const SettingInfo& info = settingTable[row];
        expectProperty(isValidSettingValue(info, settings.*info.field),
                       std::string("a setting out of its range: ") + info.storedName);
    }
}
