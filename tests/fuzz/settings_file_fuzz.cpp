// A settings file's text, any bytes: the parse never fails as a whole, keeps
// every setting to a value it uses, names only lines the text has in messages
// of one line each; and the settings written back into the same text (keeping
// its other lines) read back as the same settings, with no problem left about
// a setting's value or a key given twice, and writing them again changes
// nothing.
//
// Input: the file's text as it stands.
#include <algorithm>
#include <string>

#include "fuzz_support.h"
#include "settings/idle_time.h"
#include "settings/settings_file.h"

namespace {

bool sameSettings(const SettingsFileContents& a, const SettingsFileContents& b)
{
    for (int row = 0; row < settingCount; ++row) {
        if (a.settings.*settingTable[row].field != b.settings.*settingTable[row].field)
            return false;
    }
    return a.idleAfterMilliseconds == b.idleAfterMilliseconds;
}

void checkParsed(const std::string& text, const SettingsFileContents& contents)
{
    expectProperty(contents.state == SettingsFileState::read, "a text read as other than read");
    for (int row = 0; row < settingCount; ++row) {
        expectProperty(isValidSettingValue(settingTable[row], contents.settings.*settingTable[row].field),
                       std::string("a value the setting does not use: ") + settingTable[row].optionName);
    }
    const std::uint32_t idle = contents.idleAfterMilliseconds;
    expectProperty(idle == 0 || (idle % 1000 == 0 && idle >= shortestIdleMilliseconds &&
                                 idle <= longestIdleMilliseconds),
                   "an idle time out of its range");
    const int lineCount = int(std::count(text.begin(), text.end(), '\n')) + 1;
    for (const SettingsFileProblem& problem : contents.problems) {
        expectProperty(problem.line >= 1 && problem.line <= lineCount, "a problem on a line the text lacks");
        const std::string line = describeProblem("flowball.conf", problem);
        expectProperty(std::none_of(line.begin(), line.end(),
                                    [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }),
                       "a problem's message with a control byte: " + line);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const SettingsFileContents parsed = parseSettingsText(text);
    checkParsed(text, parsed);

    const std::string written = updatedSettingsText(text, parsed.settings, parsed.idleAfterMilliseconds);
    const SettingsFileContents reread = parseSettingsText(written);
    checkParsed(written, reread);
    expectProperty(sameSettings(parsed, reread), "written settings read back as others");
    // What is left are the lines kept as they were.
    for (const SettingsFileProblem& problem : reread.problems) {
        expectProperty(problem.what.rfind("unknown key ", 0) == 0 ||
                           problem.what.rfind("not a key=value line", 0) == 0 ||
                           problem.what.rfind("not UTF-8 text", 0) == 0,
                       "a written setting's line has a problem: " + problem.what);
    }
    expectProperty(updatedSettingsText(written, parsed.settings, parsed.idleAfterMilliseconds) == written,
                   "writing the same settings again changes the text");
    return 0;
}
