// The settings a user can change and keep: one record of values, and one
// table that describes each of them once (stored name, command-line option,
// kind, default, range, help, a window's label). The registry store, the command-line options
// and their help work from the table alone, so a new setting is one row in
// settings.cpp and one field here; the Windows dialog binds each control to
// its row, and tests check the dialog and the READMEs against the table, so
// they name what else a new row needs.
//
// Every value is a 32-bit integer. Switches are 0 or 1; Colour is 0x00RRGGBB;
// Speed is a percentage of the designed motion speed; Detail is the ball's
// slices and stacks. The defaults give the scene as designed.
#pragma once

#include <cstdint>
#include <optional>

// How often a frame is drawn: the FrameRate setting's values.
enum class FrameRate : std::int32_t {
    timer = 0,    // a frame every 5 ms timer tick
    display = 1,  // in step with the display's refresh
    low = 2,      // at most 30 frames a second
};

// How the views cover several monitors: the Monitors setting's values.
enum class Monitors : std::int32_t {
    each = 0,  // one view per monitor
    span = 1,  // one view across the whole virtual screen
};

// A plain record that copies trivially. Every field is stored as a 32-bit
// integer, so that the table below can point at any of them; the named
// choices read back as their enums.
class Settings {
public:
    std::int32_t texture = 4;  // TextureKind::Fog
    std::int32_t colour = 0xFFCC00;
    std::int32_t speed = 100;
    std::int32_t bars = 1;
    std::int32_t detail = 32;
    std::int32_t stars = 0;
    std::int32_t particles = 0;
    std::int32_t fog = 0;
    std::int32_t underlay = 0;
    std::int32_t overlay = 0;
    std::int32_t frameRate = std::int32_t(FrameRate::timer);
    std::int32_t monitors = std::int32_t(Monitors::each);

    // Validation keeps these fields to their enums' values.
    FrameRate frameRateChoice() const { return FrameRate(frameRate); }
    Monitors monitorsChoice() const { return Monitors(monitors); }
};

enum class SettingKind {
    Switch,   // 0 or 1
    Number,   // a whole number from minimum to maximum
    Colour,   // 0x00RRGGBB
    Texture,  // a texture kind that shows an image on the ball, by name
    Choice,   // one of a few named values
};

// A named value of a Texture or Choice setting. name is what a command line
// takes (case-insensitive); label is what a dialog shows.
struct SettingChoice {
    std::int32_t value;
    const char* name;
    const char* label;
};

struct SettingInfo {
    const char* storedName;      // the registry value's name: "Speed"
    const char* optionName;      // the command-line option: "speed"
    const char* offOptionName;   // a switch's off form ("no-bars"); nullptr for other kinds
    SettingKind kind;
    std::int32_t defaultValue;
    std::int32_t minimum;
    std::int32_t maximum;
    // A value out of range becomes the nearest value in range rather than the
    // default (where a user expects "too fast" to mean "fastest").
    bool clampsToRange;
    std::int32_t Settings::*field;
    const SettingChoice* choices;  // Texture and Choice kinds; nullptr otherwise
    int choiceCount;
    const char* help;   // one line, no trailing full stop
    const char* label;  // a settings window's row title: "Frame rate"
};

extern const SettingInfo settingTable[];
extern const int settingCount;

// Whether two names are the same but for the case of ASCII letters.
bool sameSettingName(const char* a, const char* b);

// The row with this stored name (case-insensitive, as registry names are),
// or nullptr.
const SettingInfo* findSetting(const char* storedName);

// The row whose field this is, or nullptr: code that deals with one setting
// names it by its field, which the compiler checks, rather than by a name.
const SettingInfo* settingFor(std::int32_t Settings::*field);

// The result of the validation step: the value to use, and whether the raw
// value was usable as it stood.
struct CheckedSetting {
    std::int32_t value;
    bool valid;
};

// The one validation step every reader uses. raw is the value as read or
// parsed, widened so that any 32-bit stored value (signed or not) fits;
// std::nullopt stands for missing, of the wrong type or unreadable. A valid
// value is used as it is; anything else becomes the default, or the nearest
// value in range for a setting that clamps.
CheckedSetting checkSetting(const SettingInfo& info, std::optional<std::int64_t> raw);

// Whether value is one the setting accepts as it stands.
bool isValidSettingValue(const SettingInfo& info, std::int64_t value);

// The choice for value, or nullptr (also for kinds without choices).
const SettingChoice* findSettingChoice(const SettingInfo& info, std::int32_t value);
