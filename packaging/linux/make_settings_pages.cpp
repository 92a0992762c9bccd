// make-settings-pages: writes the package's manual page and the daemon's
// settings page from their templates, with the settings table's rows in place
// of the marker lines, and checks that every row arrived.
//
//   make-settings-pages MANUAL_TEMPLATE MANUAL_OUT XML_TEMPLATE XML_OUT
//
// Exit status 0 when both pages are written and complete; 1 with a message
// naming the file, the marker or the rows that are missing.

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "settings_pages.h"

namespace {

const char* const manualMarker = ".\\\" SETTINGS";
const char* const valuesMarker = "<!-- SETTING VALUES -->";
const char* const switchesMarker = "<!-- SETTING SWITCHES -->";

bool readFile(const char* path, std::string& text)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream contents;
    contents << in.rdbuf();
    text = contents.str();
    return true;
}

bool writeFile(const char* path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    return bool(out);
}

bool complete(const char* path, const std::vector<std::string>& missing)
{
    if (missing.empty())
        return true;
    std::string names;
    for (const std::string& name : missing)
        names += (names.empty() ? "" : ", ") + name;
    std::fprintf(stderr, "make-settings-pages: %s lacks the settings %s\n", path, names.c_str());
    return false;
}

bool fillPage(const char* templatePath, const char* outPath,
              const std::vector<std::pair<const char*, std::string>>& markers)
{
    std::string text;
    if (!readFile(templatePath, text)) {
        std::fprintf(stderr, "make-settings-pages: cannot read %s\n", templatePath);
        return false;
    }
    for (const auto& [marker, replacement] : markers) {
        if (!replaceMarkerLine(text, marker, replacement)) {
            std::fprintf(stderr, "make-settings-pages: %s has no line '%s'\n", templatePath, marker);
            return false;
        }
    }
    if (!writeFile(outPath, text)) {
        std::fprintf(stderr, "make-settings-pages: cannot write %s\n", outPath);
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 5) {
        std::fputs("usage: make-settings-pages MANUAL_TEMPLATE MANUAL_OUT XML_TEMPLATE XML_OUT\n", stderr);
        return 1;
    }
    if (!fillPage(argv[1], argv[2], {{manualMarker, manualSettingsSection(settingTable, settingCount)}}) ||
        !fillPage(argv[3], argv[4],
                  {{valuesMarker, daemonValueControls(settingTable, settingCount)},
                   {switchesMarker, daemonSwitchControls(settingTable, settingCount)}}))
        return 1;

    std::string manual;
    std::string page;
    if (!readFile(argv[2], manual) || !readFile(argv[4], page)) {
        std::fputs("make-settings-pages: cannot read back what it wrote\n", stderr);
        return 1;
    }
    const bool manualComplete = complete(argv[2], settingsMissingFromManual(settingTable, settingCount, manual));
    const bool pageComplete = complete(argv[4], settingsMissingFromDaemonPage(settingTable, settingCount, page));
    return manualComplete && pageComplete ? 0 : 1;
}
