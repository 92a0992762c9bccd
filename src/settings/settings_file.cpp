#include "settings/settings_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "settings/idle_time.h"
#include "settings/setting_options.h"

namespace {

// No settings file comes near this; a larger file is something else put in
// its place, and is not read into memory.
constexpr std::size_t largestFileBytes = 64 * 1024;

// How much of a value a message quotes: enough to recognise it, never a
// whole runaway line.
constexpr std::size_t longestQuotedBytes = 60;

// New folders and files hold one user's settings.
constexpr mode_t newFolderMode = 0700;

// One line of the text, without its line end.
struct TextLine {
    std::string text;
    bool endsWithCarriageReturn = false;
};

std::vector<TextLine> splitLines(const std::string& text)
{
    std::vector<TextLine> lines;
    std::size_t start = 0;
    // A UTF-8 byte order mark belongs to no line.
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0)
        start = 3;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        TextLine line{text.substr(start, end - start)};
        if (!line.text.empty() && line.text.back() == '\r') {
            line.text.pop_back();
            line.endsWithCarriageReturn = true;
        }
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

std::string trimmed(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return std::string();
    const std::size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

// text quoted for a message, cut short (at a character's start) when long.
std::string quotedValue(const std::string& text)
{
    if (text.size() <= longestQuotedBytes)
        return quotedArgument(text);
    std::size_t cut = longestQuotedBytes;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
        --cut;
    return quotedArgument(text.substr(0, cut)) + "...";
}

bool isCommentOrBlank(const std::string& line)
{
    const std::string content = trimmed(line);
    return content.empty() || content[0] == '#';
}

// The key of a key=value line as written (trimmed), or "" for any other line.
std::string keyOf(const std::string& line)
{
    if (isCommentOrBlank(line))
        return std::string();
    const std::size_t equals = line.find('=');
    return equals == std::string::npos ? std::string() : trimmed(line.substr(0, equals));
}

// The settings and idle-after in one list of keys: row is the table's row,
// or settingCount for idle-after.
int keyRow(const std::string& key)
{
    for (int row = 0; row < settingCount; ++row) {
        if (sameSettingName(settingTable[row].optionName, key.c_str()))
            return row;
    }
    return sameSettingName(idleAfterKey, key.c_str()) ? settingCount : -1;
}

const char* keyName(int row)
{
    return row == settingCount ? idleAfterKey : settingTable[row].optionName;
}

struct SwitchWord {
    const char* text;
    std::int32_t value;
};

constexpr SwitchWord switchWords[] = {
    {"true", 1}, {"false", 0}, {"on", 1}, {"off", 0}, {"yes", 1}, {"no", 0}, {"1", 1}, {"0", 0},
};

bool parseSwitch(const std::string& text, std::int32_t& value)
{
    for (const SwitchWord& word : switchWords) {
        if (sameSettingName(word.text, text.c_str())) {
            value = word.value;
            return true;
        }
    }
    return false;
}

std::string valueDescription(int row)
{
    if (row == settingCount)
        return "a time from 1s to 24h: seconds, or a number followed by s, m or h";
    if (settingTable[row].kind == SettingKind::Switch)
        return "true or false (or on/off, yes/no, 1/0)";
    return settingValueDescription(settingTable[row]);
}

// Takes one key's value into contents; false when the value is not one the
// key takes.
bool applyValue(int row, const std::string& value, SettingsFileContents& contents)
{
    if (row == settingCount) {
        contents.idleAfterMilliseconds = 0;
        return parseIdleTime(value.c_str(), contents.idleAfterMilliseconds);
    }
    const SettingInfo& info = settingTable[row];
    std::int32_t parsed = 0;
    const bool good = info.kind == SettingKind::Switch ? parseSwitch(value, parsed)
                                                       : parseSettingText(info, value.c_str(), parsed);
    contents.settings.*info.field = good ? parsed : info.defaultValue;
    return good;
}

// The value of a key in the file's canonical form.
std::string valueText(int row, const Settings& settings, std::uint32_t idleAfterMilliseconds)
{
    if (row == settingCount)
        return idleTimeText(idleAfterMilliseconds);
    const SettingInfo& info = settingTable[row];
    if (info.kind == SettingKind::Switch)
        return settings.*info.field != 0 ? "true" : "false";
    return settingValueText(info, settings.*info.field);
}

std::string systemError(const std::string& what, const std::string& path)
{
    return what + " " + quotedArgument(path) + ": " + std::strerror(errno);
}

// The file's whole text, unless it is not there (missing) or cannot be read
// as a settings file (unreadable, with why).
SettingsFileState readText(const std::string& path, std::string& text, std::string& why)
{
    // O_NONBLOCK: a FIFO in the file's place must not hang the program.
    const int file = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (file < 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return SettingsFileState::missing;
        why = std::string("cannot be read: ") + std::strerror(errno);
        return SettingsFileState::unreadable;
    }
    struct stat status {};
    SettingsFileState state = SettingsFileState::read;
    if (fstat(file, &status) != 0) {
        why = std::string("cannot be read: ") + std::strerror(errno);
        state = SettingsFileState::unreadable;
    } else if (S_ISDIR(status.st_mode)) {
        why = "is a folder, not a settings file";
        state = SettingsFileState::unreadable;
    } else if (!S_ISREG(status.st_mode)) {
        why = "is not a regular file";
        state = SettingsFileState::unreadable;
    }
    char buffer[4096];
    while (state == SettingsFileState::read) {
        const ssize_t count = read(file, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0) {
            why = std::string("cannot be read: ") + std::strerror(errno);
            state = SettingsFileState::unreadable;
        } else if (count == 0) {
            break;
        } else if (text.size() + std::size_t(count) > largestFileBytes) {
            why = "is larger than " + std::to_string(largestFileBytes / 1024) + " KiB, too large for a settings file";
            state = SettingsFileState::unreadable;
        } else {
            text.append(buffer, std::size_t(count));
        }
    }
    close(file);
    return state;
}

// path, or where it points when it is a symbolic link to an existing file,
// so that a link kept with a user's other configuration stays a link.
std::string writtenPath(const std::string& path)
{
    struct stat status {};
    if (lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode))
        return path;
    char* target = realpath(path.c_str(), nullptr);
    if (target == nullptr)
        return path;
    std::string resolved = target;
    std::free(target);
    return resolved;
}

std::string folderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Creates folder and the folders above it that are missing.
bool createFolders(const std::string& folder, std::string& error)
{
    struct stat status {};
    if (stat(folder.c_str(), &status) == 0)
        return true;
    const std::string parent = folderOf(folder);
    if (parent != folder && !createFolders(parent, error))
        return false;
    if (mkdir(folder.c_str(), newFolderMode) != 0 && errno != EEXIST) {
        error = systemError("cannot create the folder", folder);
        return false;
    }
    return true;
}

bool writeAll(int file, const std::string& text)
{
    std::size_t written = 0;
    while (written < text.size()) {
        const ssize_t count = write(file, text.data() + written, text.size() - written);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return false;
        written += std::size_t(count);
    }
    return true;
}

// Writes text to a new temporary beside path and renames it over path.
bool replaceFile(const std::string& path, const std::string& text, std::string& error)
{
    const std::string folder = folderOf(path);
    std::string temporary = folder + "/." + path.substr(path.rfind('/') + 1) + ".XXXXXX";
    const int file = mkostemp(&temporary[0], O_CLOEXEC);
    if (file < 0) {
        error = systemError("cannot write in the folder", folder);
        return false;
    }
    // The old file's permissions stay; a new one is the user's alone.
    struct stat old {};
    bool written = (stat(path.c_str(), &old) != 0 || fchmod(file, old.st_mode & 07777) == 0) &&
                   writeAll(file, text) && fsync(file) == 0;
    if (!written)
        error = systemError("cannot write", temporary);
    if (close(file) != 0 && written) {
        error = systemError("cannot write", temporary);
        written = false;
    }
    if (written && rename(temporary.c_str(), path.c_str()) != 0) {
        error = systemError("cannot replace", path);
        written = false;
    }
    if (!written) {
        unlink(temporary.c_str());
        return false;
    }
    // The rename itself reaches the disk with the folder's entry.
    const int folderFile = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFile >= 0) {
        fsync(folderFile);
        close(folderFile);
    }
    return true;
}

// Why the file could not hold these values as they are, or "".
std::string unwritableValue(const Settings& settings, std::uint32_t idleAfterMilliseconds)
{
    for (int row = 0; row < settingCount; ++row) {
        const SettingInfo& info = settingTable[row];
        if (!isValidSettingValue(info, settings.*info.field))
            return std::string(info.optionName) + " " + std::to_string(settings.*info.field) +
                   " is not a value it takes";
    }
    std::uint32_t parsed = 0;
    if (idleAfterMilliseconds != 0 && !parseIdleTime(idleTimeText(idleAfterMilliseconds).c_str(), parsed))
        return "idle-after " + std::to_string(idleAfterMilliseconds) + " ms is not a whole number of seconds in range";
    return std::string();
}

}  // namespace

std::string settingsFilePath(const char* xdgConfigHome, const char* home)
{
    // Relative paths in these variables are invalid, and ignored.
    if (xdgConfigHome != nullptr && xdgConfigHome[0] == '/')
        return std::string(xdgConfigHome) + "/flowball/flowball.conf";
    if (home != nullptr && home[0] == '/')
        return std::string(home) + "/.config/flowball/flowball.conf";
    return std::string();
}

SettingsFileContents parseSettingsText(const std::string& text)
{
    SettingsFileContents contents;
    contents.state = SettingsFileState::read;
    const std::vector<TextLine> lines = splitLines(text);
    std::vector<int> lastLineOfKey(std::size_t(settingCount) + 1, 0);
    for (std::size_t index = 0; index < lines.size(); ++index) {
        const std::string& line = lines[index].text;
        const int number = int(index) + 1;
        if (!isUtf8Text(line)) {
            contents.problems.push_back({number, "not UTF-8 text; the line does not count"});
            continue;
        }
        if (isCommentOrBlank(line))
            continue;
        const std::string key = keyOf(line);
        if (key.empty()) {
            contents.problems.push_back({number, "not a key=value line: " + quotedValue(trimmed(line))});
            continue;
        }
        const int row = keyRow(key);
        if (row < 0) {
            contents.problems.push_back({number, "unknown key " + quotedValue(key)});
            continue;
        }
        int& lastLine = lastLineOfKey[std::size_t(row)];
        if (lastLine != 0) {
            contents.problems.push_back({lastLine, std::string(keyName(row)) + " is set again on line " +
                                                       std::to_string(number) + ", which counts"});
        }
        lastLine = number;
        const std::string value = trimmed(line.substr(line.find('=') + 1));
        if (!applyValue(row, value, contents)) {
            contents.problems.push_back({number, std::string(keyName(row)) + " wants " + valueDescription(row) +
                                                     " (got " + quotedValue(value) + "); the default counts"});
        }
    }
    // A key's earlier line is told of when its later one is met.
    std::stable_sort(contents.problems.begin(), contents.problems.end(),
                     [](const SettingsFileProblem& a, const SettingsFileProblem& b) { return a.line < b.line; });
    return contents;
}

SettingsFileContents readSettingsFile(const std::string& path)
{
    std::string text;
    std::string why;
    const SettingsFileState state = readText(path, text, why);
    if (state == SettingsFileState::read)
        return parseSettingsText(text);
    SettingsFileContents contents;
    contents.state = state;
    if (state == SettingsFileState::unreadable)
        contents.problems.push_back({0, why + "; the defaults count, and the file is left as it is"});
    return contents;
}

std::string describeProblem(const std::string& path, const SettingsFileProblem& problem)
{
    const std::string place = problem.line > 0 ? path + ":" + std::to_string(problem.line) : path;
    return escapedControlBytes(place + ": " + problem.what);
}

std::string updatedSettingsText(const std::string& oldText, const Settings& settings,
                                std::uint32_t idleAfterMilliseconds)
{
    const std::vector<TextLine> lines = splitLines(oldText);
    std::vector<std::size_t> lastLineOfKey(std::size_t(settingCount) + 1, lines.size());
    for (std::size_t index = 0; index < lines.size(); ++index) {
        const int row = isUtf8Text(lines[index].text) ? keyRow(keyOf(lines[index].text)) : -1;
        if (row >= 0)
            lastLineOfKey[std::size_t(row)] = index;
    }
    const auto keyLine = [&](int row) {
        return std::string(keyName(row)) + "=" + valueText(row, settings, idleAfterMilliseconds);
    };
    // Every setting is written; idle-after only when there is a time.
    const auto kept = [&](int row) { return row < settingCount || idleAfterMilliseconds != 0; };

    std::string text = oldText.compare(0, 3, "\xEF\xBB\xBF") == 0 ? "\xEF\xBB\xBF" : "";
    for (std::size_t index = 0; index < lines.size(); ++index) {
        const TextLine& line = lines[index];
        const int row = isUtf8Text(line.text) ? keyRow(keyOf(line.text)) : -1;
        if (row >= 0 && (lastLineOfKey[std::size_t(row)] != index || !kept(row)))
            continue;
        text += row >= 0 ? keyLine(row) : line.text;
        text += line.endsWithCarriageReturn ? "\r\n" : "\n";
    }
    for (int row = 0; row <= settingCount; ++row) {
        if (lastLineOfKey[std::size_t(row)] == lines.size() && kept(row))
            text += keyLine(row) + "\n";
    }
    return text;
}

bool writeSettingsFile(const std::string& path, const Settings& settings, std::uint32_t idleAfterMilliseconds,
                       std::string& error)
{
    const std::string why = unwritableValue(settings, idleAfterMilliseconds);
    if (!why.empty()) {
        error = "not written to " + quotedArgument(path) + ": " + why;
        return false;
    }
    const std::string target = writtenPath(path);
    std::string oldText;
    std::string readProblem;
    if (readText(target, oldText, readProblem) == SettingsFileState::unreadable) {
        error = quotedArgument(path) + " " + readProblem + "; it is left as it is";
        return false;
    }
    return createFolders(folderOf(target), error) &&
           replaceFile(target, updatedSettingsText(oldText, settings, idleAfterMilliseconds), error);
}
