#include "settings_pages.h"

#include <cctype>
#include <cstdio>

namespace {

// The colours the daemon's page offers by name; the table's default is among
// them (or joins them, named by its digits).
struct NamedColour {
    const char* name;
    std::int32_t value;
};
constexpr NamedColour namedColours[] = {
    {"gold", 0xFFCC00},  {"orange", 0xFF8000}, {"red", 0xFF2020},   {"green", 0x40E040},
    {"blue", 0x4080FF},  {"violet", 0xB060FF}, {"white", 0xFFFFFF},
};

std::string colourDigits(std::int32_t value)
{
    char text[8];
    std::snprintf(text, sizeof text, "%06X", unsigned(value) & 0xFFFFFFu);
    return text;
}

std::string lowered(const char* text)
{
    std::string result(text);
    for (char& c : result)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return result;
}

// "the ball's colour" -> "The ball's colour".
std::string sentenceCase(const char* text)
{
    std::string result(text);
    if (!result.empty())
        result[0] = char(std::toupper(static_cast<unsigned char>(result[0])));
    return result;
}

// A dialog label as it reads inside a sentence: "In step with the display" ->
// "in step with the display"; a leading acronym keeps its capitals.
std::string inSentence(const char* label)
{
    std::string result(label);
    if (result.size() > 1 && std::isupper(static_cast<unsigned char>(result[0])) &&
        !std::isupper(static_cast<unsigned char>(result[1])))
        result[0] = char(std::tolower(static_cast<unsigned char>(result[0])));
    return result;
}

// "FrameRate" -> "Frame rate": the row's stored name as a control's title.
std::string title(const char* storedName)
{
    std::string result;
    for (const char* at = storedName; *at != '\0'; ++at) {
        if (at != storedName && std::isupper(static_cast<unsigned char>(*at))) {
            result += ' ';
            result += char(std::tolower(static_cast<unsigned char>(*at)));
        } else {
            result += *at;
        }
    }
    return result;
}

// groff takes '-' as a hyphen; options want the minus sign.
std::string roffOption(const char* name)
{
    std::string result = "\\-";
    for (const char* at = name; *at != '\0'; ++at) {
        if (*at == '-')
            result += "\\-";
        else
            result += *at;
    }
    return result;
}

std::string escapedXml(const std::string& text)
{
    std::string result;
    for (char c : text) {
        switch (c) {
        case '&':
            result += "&amp;";
            break;
        case '<':
            result += "&lt;";
            break;
        case '>':
            result += "&gt;";
            break;
        case '"':
            result += "&quot;";
            break;
        default:
            result += c;
        }
    }
    return result;
}

std::string choiceName(const SettingInfo& info, const SettingChoice& choice)
{
    // Texture names are written in capitals in the table; the command line
    // takes any case, and lower case reads better.
    return info.kind == SettingKind::Texture ? lowered(choice.name) : std::string(choice.name);
}

std::string manualEntry(const SettingInfo& info)
{
    std::string entry = ".TP\n";
    std::string text = sentenceCase(info.help);
    switch (info.kind) {
    case SettingKind::Switch:
        entry += ".BR " + roffOption(info.optionName) + " \", \" " + roffOption(info.offOptionName) + "\n";
        text += std::string(" (default ") + (info.defaultValue != 0 ? "on" : "off") + ").";
        break;
    case SettingKind::Number:
        entry += ".BI " + roffOption(info.optionName) + " \" N\"\n";
        text += ", " + std::to_string(info.minimum) + " to " + std::to_string(info.maximum) + " (default " +
                std::to_string(info.defaultValue) + ").";
        break;
    case SettingKind::Colour:
        entry += ".BI " + roffOption(info.optionName) + " \" RRGGBB\"\n";
        text += ", as six hexadecimal digits, optionally after # (default " + colourDigits(info.defaultValue) +
                ").";
        break;
    case SettingKind::Texture:
    case SettingKind::Choice: {
        entry += ".BI " + roffOption(info.optionName) + " \" NAME\"\n";
        const SettingChoice* standard = findSettingChoice(info, info.defaultValue);
        text += ": ";
        for (int i = 0; i < info.choiceCount; ++i) {
            const SettingChoice& choice = info.choices[i];
            text += i == 0 ? "" : info.kind == SettingKind::Choice ? "; " : ", ";
            text += choiceName(info, choice);
            if (info.kind == SettingKind::Choice)
                text += " (" + std::to_string(choice.value) + "): " + inSentence(choice.label);
        }
        text += " (default " +
                (standard != nullptr ? choiceName(info, *standard) : std::to_string(info.defaultValue)) + ").";
        break;
    }
    }
    return entry + text + "\n";
}

constexpr const char* controlIndent = "      ";

std::string selectControl(const SettingInfo& info)
{
    const std::string id = info.optionName;
    const std::string heading = title(info.storedName) + ": ";
    std::string control = std::string(controlIndent) + "<select id=\"" + id + "\">\n";
    auto addOption = [&](const std::string& optionId, const std::string& label, const std::string& argument,
                         bool isDefault) {
        control += std::string(controlIndent) + "  <option id=\"" + escapedXml(id + "-" + optionId) +
                   "\" _label=\"" + escapedXml(heading + label) + "\"";
        if (!isDefault)
            control += " arg-set=\"-" + id + " " + escapedXml(argument) + "\"";
        control += "/>\n";
    };
    if (info.kind == SettingKind::Colour) {
        bool defaultNamed = false;
        for (const NamedColour& colour : namedColours)
            defaultNamed = defaultNamed || colour.value == info.defaultValue;
        if (!defaultNamed)
            addOption(lowered(colourDigits(info.defaultValue).c_str()), colourDigits(info.defaultValue), "", true);
        for (const NamedColour& colour : namedColours)
            addOption(colour.name, colour.name, colourDigits(colour.value), colour.value == info.defaultValue);
    } else {
        for (int i = 0; i < info.choiceCount; ++i) {
            const SettingChoice& choice = info.choices[i];
            const std::string name = lowered(choice.name);
            addOption(name, inSentence(choice.label), name, choice.value == info.defaultValue);
        }
    }
    return control + controlIndent + "</select>\n";
}

std::string sliderControl(const SettingInfo& info)
{
    const std::string low = std::to_string(info.minimum);
    const std::string high = std::to_string(info.maximum);
    return std::string(controlIndent) + "<number id=\"" + info.optionName + "\" type=\"slider\" arg=\"-" +
           info.optionName + " %\"\n" + controlIndent + "        _label=\"" +
           escapedXml(sentenceCase(info.help)) + "\" _low-label=\"" + low + "\" _high-label=\"" + high + "\"\n" +
           controlIndent + "        low=\"" + low + "\" high=\"" + high + "\" default=\"" +
           std::to_string(info.defaultValue) + "\"/>\n";
}

std::string switchControl(const SettingInfo& info)
{
    // A check box's unset state is off: a switch that is on by default is
    // shown ticked and adds its off form when cleared.
    const bool onByDefault = info.defaultValue != 0;
    return std::string(controlIndent) + "<boolean id=\"" + info.optionName + "\" _label=\"" +
           escapedXml(sentenceCase(info.help)) + "\" " + (onByDefault ? "arg-unset=\"-" : "arg-set=\"-") +
           (onByDefault ? info.offOptionName : info.optionName) + "\"/>\n";
}

}  // namespace

std::string manualSettingsSection(const SettingInfo* table, int count)
{
    std::string section;
    for (int row = 0; row < count; ++row)
        section += manualEntry(table[row]);
    return section;
}

std::string daemonValueControls(const SettingInfo* table, int count)
{
    std::string controls;
    for (int row = 0; row < count; ++row) {
        const SettingInfo& info = table[row];
        if (info.kind == SettingKind::Number)
            controls += sliderControl(info);
        else if (info.kind != SettingKind::Switch)
            controls += selectControl(info);
    }
    return controls;
}

std::string daemonSwitchControls(const SettingInfo* table, int count)
{
    std::string controls;
    for (int row = 0; row < count; ++row) {
        if (table[row].kind == SettingKind::Switch)
            controls += switchControl(table[row]);
    }
    return controls;
}

std::vector<std::string> settingsMissingFromManual(const SettingInfo* table, int count, const std::string& page)
{
    std::vector<std::string> missing;
    for (int row = 0; row < count; ++row) {
        const SettingInfo& info = table[row];
        // The entry's heading line, as manualEntry writes it.
        const std::string heading = (info.kind == SettingKind::Switch ? "\n.BR " : "\n.BI ") +
                                    roffOption(info.optionName) + " \"";
        if (page.find(heading) == std::string::npos)
            missing.push_back(info.optionName);
    }
    return missing;
}

std::vector<std::string> settingsMissingFromDaemonPage(const SettingInfo* table, int count,
                                                       const std::string& page)
{
    std::vector<std::string> missing;
    for (int row = 0; row < count; ++row) {
        if (page.find(std::string(" id=\"") + table[row].optionName + "\"") == std::string::npos)
            missing.push_back(table[row].optionName);
    }
    return missing;
}

bool replaceMarkerLine(std::string& text, const std::string& marker, const std::string& replacement)
{
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find('\n', start);
        const std::size_t next = end == std::string::npos ? text.size() : end + 1;
        if (end == std::string::npos)
            end = text.size();
        std::size_t first = start;
        while (first < end && (text[first] == ' ' || text[first] == '\t'))
            ++first;
        if (text.compare(first, end - first, marker) == 0) {
            text.replace(start, next - start, replacement);
            return true;
        }
        start = next;
    }
    return false;
}
