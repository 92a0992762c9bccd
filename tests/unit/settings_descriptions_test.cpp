// What describes the settings outside the table follows it: README's table,
// the Windows README's list, the settings dialog's controls and the defaults
// the Windows end-to-end tests expect. Each check
// returns its problems, each naming the setting or control at fault, so that a
// new row in the table says what else it needs; each is shown to fail once on
// a text that lacks a setting or has one too many.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "host/windows/settings_dialog_controls.h"
#include "settings/settings.h"

namespace {

using Problems = std::vector<std::string>;

std::string readSourceFile(const std::string& path)
{
    std::ifstream file(std::string(FLOWBALL_SOURCE_DIR) + "/" + path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    EXPECT_FALSE(text.str().empty()) << "cannot read " << path;
    return text.str();
}

// The text from the line that starts with heading up to the next line that
// starts with the same heading marker, or to the end.
std::string section(const std::string& text, const std::string& heading, const std::string& nextHeading)
{
    const std::size_t start = text.find(heading);
    if (start == std::string::npos)
        return std::string();
    const std::size_t end = text.find(nextHeading, start + heading.size());
    return text.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> result;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);)
        result.push_back(line);
    return result;
}

std::string trimmed(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(' ');
    const std::size_t last = text.find_last_not_of(' ');
    return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
}

std::string hexColour(std::int32_t colour)
{
    char text[8];
    std::snprintf(text, sizeof text, "%06X", unsigned(colour));
    return text;
}

std::string joined(const SettingInfo& info, bool names)
{
    std::string text;
    for (int i = 0; i < info.choiceCount; ++i) {
        text += i == 0 ? "" : ", ";
        text += names ? info.choices[i].name : std::to_string(info.choices[i].value);
    }
    return text;
}

// README's table: a row per setting (several stored names may share one),
// its default and its range as the table has them.
std::string readmeDefault(const SettingInfo& info)
{
    switch (info.kind) {
    case SettingKind::Switch:
        return info.defaultValue != 0 ? "on" : "off";
    case SettingKind::Colour:
        return "0x" + hexColour(info.defaultValue);
    case SettingKind::Texture:
        return std::string(findSettingChoice(info, info.defaultValue)->name) + " (" +
               std::to_string(info.defaultValue) + ")";
    case SettingKind::Number:
    case SettingKind::Choice:
        break;
    }
    return std::to_string(info.defaultValue);
}

std::string readmeRange(const SettingInfo& info)
{
    switch (info.kind) {
    case SettingKind::Switch:
        return "on, off";
    case SettingKind::Colour:
        return "any 24-bit colour";
    case SettingKind::Number:
        return std::to_string(info.minimum) + " to " + std::to_string(info.maximum);
    case SettingKind::Texture:
        return joined(info, true);
    case SettingKind::Choice:
        break;
    }
    return joined(info, false);
}

Problems readmeTableProblems(const std::string& readme)
{
    Problems problems;
    std::set<const SettingInfo*> described;
    const std::regex storedName("`([A-Za-z]+)`");
    for (const std::string& line : lines(section(readme, "\n## Settings\n", "\n## "))) {
        if (line.rfind("| ", 0) != 0 || line.rfind("| Setting |", 0) == 0)
            continue;
        std::vector<std::string> cells;
        std::istringstream row(line.substr(1));
        for (std::string cell; std::getline(row, cell, '|');)
            cells.push_back(trimmed(cell));
        if (cells.size() != 5) {
            problems.push_back("README's settings table has a row of " + std::to_string(cells.size()) +
                               " cells: " + line);
            continue;
        }
        for (std::sregex_iterator name(cells[1].begin(), cells[1].end(), storedName), end; name != end; ++name) {
            const std::string stored = (*name)[1];
            const SettingInfo* info = findSetting(stored.c_str());
            if (info == nullptr) {
                problems.push_back("README's settings table describes " + stored + ", which is no setting");
                continue;
            }
            described.insert(info);
            if (cells[3] != readmeDefault(*info))
                problems.push_back("README's settings table gives " + stored + " the default '" + cells[3] +
                                   "', the table " + readmeDefault(*info));
            if (cells[4] != readmeRange(*info))
                problems.push_back("README's settings table gives " + stored + " the range '" + cells[4] +
                                   "', the table " + readmeRange(*info));
            for (int i = 0; info->kind == SettingKind::Choice && i < info->choiceCount; ++i) {
                if (cells[2].find(std::to_string(info->choices[i].value) + ": ") == std::string::npos)
                    problems.push_back("README's settings table does not say what " + stored + " " +
                                       std::to_string(info->choices[i].value) + " does");
            }
        }
    }
    for (int i = 0; i < settingCount; ++i) {
        if (described.count(&settingTable[i]) == 0)
            problems.push_back(std::string("README's settings table has no row for ") + settingTable[i].storedName);
    }
    return problems;
}

// The Windows README's list: "  Name   what it does (default ...)", one
// entry per setting, continuation lines indented further.
Problems windowsReadmeProblems(const std::string& readme)
{
    Problems problems;
    std::map<const SettingInfo*, std::string> entries;
    const SettingInfo* current = nullptr;
    const std::regex entryLine("^  ([A-Za-z]+)  +(.*)$");
    const std::regex continuation("^   +(.*)$");
    for (const std::string& line : lines(section(readme, "\nSettings\n--------\n", "\n--------\n"))) {
        std::smatch match;
        if (std::regex_match(line, match, entryLine)) {
            current = findSetting(match[1].str().c_str());
            if (current == nullptr)
                problems.push_back("the Windows README lists " + match[1].str() + ", which is no setting");
            else
                entries[current] = match[2];
        } else if (current != nullptr && std::regex_match(line, match, continuation)) {
            entries[current] += " " + match[1].str();
        } else {
            current = nullptr;
        }
    }
    for (int i = 0; i < settingCount; ++i) {
        const SettingInfo& info = settingTable[i];
        const auto entry = entries.find(&info);
        if (entry == entries.end()) {
            problems.push_back(std::string("the Windows README does not list ") + info.storedName);
            continue;
        }
        std::string expected;
        if (info.kind == SettingKind::Number)
            expected = std::to_string(info.minimum) + " to " + std::to_string(info.maximum) + " (default " +
                       std::to_string(info.defaultValue) + ")";
        else if (info.kind == SettingKind::Switch)
            expected = info.defaultValue != 0 ? "(default on)" : "(default off)";
        else if (info.kind == SettingKind::Colour)
            expected = "(default " + hexColour(info.defaultValue);
        else if (info.kind == SettingKind::Texture)
            expected = std::string("(default ") + findSettingChoice(info, info.defaultValue)->name + ")";
        if (entry->second.find(expected) == std::string::npos)
            problems.push_back(std::string("the Windows README's ") + info.storedName + " lacks '" + expected + "'");
    }
    return problems;
}

// The dialog: every row has one control of a fitting kind, every control a
// row, and the template in flowball.rc holds exactly the controls the list
// names, by the identifiers of settings_dialog_ids.h.
Problems dialogProblems(const std::string& resourceScript, const std::string& idsHeader)
{
    Problems problems;
    std::map<int, std::string> idNames;
    const std::regex define("#define (IDC_[A-Z_]+) ([0-9]+)");
    for (std::sregex_iterator match(idsHeader.begin(), idsHeader.end(), define), end; match != end; ++match)
        idNames[std::stoi((*match)[2])] = (*match)[1];
    const std::string dialog = section(resourceScript, "SETTINGS_DIALOG_RESOURCE DIALOGEX", "\nEND");
    std::set<std::string> inTemplate;
    const std::regex controlId("\\b(IDC_[A-Z_]+)\\b");
    for (std::sregex_iterator match(dialog.begin(), dialog.end(), controlId), end; match != end; ++match)
        inTemplate.insert((*match)[1]);

    std::set<std::string> named;
    const auto expectInTemplate = [&](int id, const std::string& setting) {
        const std::string name = idNames.count(id) != 0 ? idNames[id] : std::to_string(id);
        named.insert(name);
        if (inTemplate.count(name) == 0)
            problems.push_back("the dialog template has no control " + name + " for " + setting);
    };
    std::map<const SettingInfo*, int> controlsOfRow;
    for (const SettingControl& control : settingControls) {
        const SettingInfo* info = settingFor(control.field);
        const std::string id = idNames.count(control.controlId) != 0 ? idNames[control.controlId] : "?";
        if (info == nullptr) {
            problems.push_back("the dialog's control " + id + " shows no setting of the table");
            continue;
        }
        ++controlsOfRow[info];
        if (!controlFitsSetting(control.kind, info->kind))
            problems.push_back(std::string("the dialog's control ") + id + " does not fit " + info->storedName);
        expectInTemplate(control.controlId, info->storedName);
        if (control.companionId != 0)
            expectInTemplate(control.companionId, info->storedName);
    }
    for (int id : dialogOwnControls)
        expectInTemplate(id, "the dialog");
    for (int i = 0; i < settingCount; ++i) {
        const int count = controlsOfRow[&settingTable[i]];
        if (count != 1)
            problems.push_back(std::string("the dialog has ") + std::to_string(count) + " controls for " +
                               settingTable[i].storedName);
    }
    for (const std::string& name : inTemplate) {
        if (named.count(name) == 0)
            problems.push_back("the dialog template's control " + name + " belongs to no setting");
    }
    return problems;
}

// The Windows end-to-end tests' DEFAULT_SETTINGS, what OK stores after
// Defaults: every stored name with its default, and nothing else.
Problems endToEndDefaultsProblems(const std::string& runner)
{
    Problems problems;
    const std::size_t start = runner.find("\nDEFAULT_SETTINGS = {");
    const std::size_t end = runner.find('}', start);
    if (start == std::string::npos || end == std::string::npos)
        return {"the end-to-end runner has no DEFAULT_SETTINGS"};
    const std::string block = runner.substr(start, end - start);
    std::set<const SettingInfo*> listed;
    const std::regex entry("\"([A-Za-z]+)\": *(0x[0-9A-Fa-f]+|[0-9]+)");
    for (std::sregex_iterator match(block.begin(), block.end(), entry), stop; match != stop; ++match) {
        const std::string name = (*match)[1];
        const SettingInfo* info = findSetting(name.c_str());
        if (info == nullptr) {
            problems.push_back("the end-to-end DEFAULT_SETTINGS has " + name + ", which is no setting");
            continue;
        }
        listed.insert(info);
        if (std::stoll((*match)[2], nullptr, 0) != info->defaultValue)
            problems.push_back("the end-to-end DEFAULT_SETTINGS gives " + name + " " + (*match)[2].str() +
                               ", the table " + std::to_string(info->defaultValue));
    }
    for (int i = 0; i < settingCount; ++i) {
        if (listed.count(&settingTable[i]) == 0)
            problems.push_back(std::string("the end-to-end DEFAULT_SETTINGS lacks ") + settingTable[i].storedName);
    }
    return problems;
}

std::string described(const Problems& problems)
{
    std::string text;
    for (const std::string& problem : problems)
        text += problem + "\n";
    return text;
}

// The text with the first line that contains what removed.
std::string withoutLine(const std::string& text, const std::string& what)
{
    const std::size_t at = text.find(what);
    if (at == std::string::npos) {
        ADD_FAILURE() << "no line with " << what;
        return text;
    }
    const std::size_t start = text.rfind('\n', at) + 1;
    const std::size_t end = text.find('\n', at);
    return text.substr(0, start) + text.substr(end + 1);
}

std::string withLineAfter(const std::string& text, const std::string& what, const std::string& line)
{
    const std::size_t end = text.find('\n', text.find(what));
    return text.substr(0, end + 1) + line + "\n" + text.substr(end + 1);
}

bool mentions(const Problems& problems, const std::string& part)
{
    for (const std::string& problem : problems) {
        if (problem.find(part) != std::string::npos)
            return true;
    }
    return false;
}

TEST(SettingsDescriptions, ReadmeTableFollowsTheTable)
{
    const std::string readme = readSourceFile("README.md");
    EXPECT_TRUE(readmeTableProblems(readme).empty()) << described(readmeTableProblems(readme));

    const Problems missing = readmeTableProblems(withoutLine(readme, "| Speed | `Speed` |"));
    EXPECT_TRUE(mentions(missing, "has no row for Speed")) << described(missing);
    const Problems extra = readmeTableProblems(
        withLineAfter(readme, "| Speed | `Speed` |", "| Sparkle | `Sparkle` | glitter | off | on, off |"));
    EXPECT_TRUE(mentions(extra, "describes Sparkle, which is no setting")) << described(extra);
    std::string wrongRange = readme;
    wrongRange.replace(wrongRange.find("| 25 to 400 |"), 13, "| 25 to 300 |");
    EXPECT_TRUE(mentions(readmeTableProblems(wrongRange), "gives Speed the range '25 to 300'"));
}

TEST(SettingsDescriptions, WindowsReadmeListsEverySetting)
{
    const std::string readme = readSourceFile("packaging/windows/README-windows.txt");
    EXPECT_TRUE(windowsReadmeProblems(readme).empty()) << described(windowsReadmeProblems(readme));

    const Problems missing = windowsReadmeProblems(withoutLine(readme, "  Particles "));
    EXPECT_TRUE(mentions(missing, "does not list Particles")) << described(missing);
    const Problems extra = windowsReadmeProblems(withLineAfter(readme, "  Fog ", "  Sparkle     glitter"));
    EXPECT_TRUE(mentions(extra, "lists Sparkle, which is no setting")) << described(extra);
    std::string wrongDefault = readme;
    wrongDefault.replace(wrongDefault.find("(default 32)"), 12, "(default 40)");
    EXPECT_TRUE(mentions(windowsReadmeProblems(wrongDefault), "Detail lacks '8 to 100 (default 32)'"));
}

TEST(SettingsDescriptions, DialogHasAControlForEveryRowAndARowForEveryControl)
{
    const std::string script = readSourceFile("src/host/windows/flowball.rc");
    const std::string ids = readSourceFile("src/host/windows/settings_dialog_ids.h");
    EXPECT_TRUE(dialogProblems(script, ids).empty()) << described(dialogProblems(script, ids));

    const Problems missing = dialogProblems(withoutLine(script, "IDC_FOG,"), ids);
    EXPECT_TRUE(mentions(missing, "has no control IDC_FOG for Fog")) << described(missing);
    const Problems extra = dialogProblems(
        withLineAfter(script, "IDC_FOG,", "    AUTOCHECKBOX    \"Spa&rkle\", IDC_SPARKLE, 16, 139, 100, 10"),
        ids + "#define IDC_SPARKLE 1017\n");
    EXPECT_TRUE(mentions(extra, "control IDC_SPARKLE belongs to no setting")) << described(extra);
}

TEST(SettingsDescriptions, EndToEndDefaultsAreTheTables)
{
    const std::string runner = readSourceFile("tests/e2e/run_e2e.py");
    EXPECT_TRUE(endToEndDefaultsProblems(runner).empty()) << described(endToEndDefaultsProblems(runner));

    std::string wrong = runner;
    wrong.replace(wrong.find("\"Speed\": 100"), 12, "\"Speed\": 150");
    EXPECT_TRUE(mentions(endToEndDefaultsProblems(wrong), "gives Speed 150, the table 100"));
    wrong.replace(wrong.find("\"Bars\": 1, "), 11, "");
    const Problems missing = endToEndDefaultsProblems(wrong);
    EXPECT_TRUE(mentions(missing, "lacks Bars")) << described(missing);
}

TEST(SettingsDescriptions, ControlKindsFitSettingKinds)
{
    EXPECT_TRUE(controlFitsSetting(SettingControlKind::checkBox, SettingKind::Switch));
    EXPECT_TRUE(controlFitsSetting(SettingControlKind::slider, SettingKind::Number));
    EXPECT_TRUE(controlFitsSetting(SettingControlKind::number, SettingKind::Number));
    EXPECT_TRUE(controlFitsSetting(SettingControlKind::list, SettingKind::Texture));
    EXPECT_FALSE(controlFitsSetting(SettingControlKind::checkBox, SettingKind::Choice));
    EXPECT_FALSE(controlFitsSetting(SettingControlKind::list, SettingKind::Number));
    EXPECT_FALSE(controlFitsSetting(SettingControlKind::colour, SettingKind::Switch));
}

}  // namespace
