// Which control of the settings dialog shows which setting: one entry per row
// of the settings table, bound to the row by its field, so that renaming a
// row cannot leave a control without one. A test checks this list against
// the table (every row has a control, every control a row) and against the
// dialog's template in flowball.rc.
//
// Portable: no Windows header, so the check runs with the native tests.
#pragma once

#include <cstdint>

#include "host/windows/settings_dialog_ids.h"
#include "settings/settings.h"

enum class SettingControlKind {
    checkBox,  // a Switch
    list,      // a drop-down list of a Texture's or a Choice's names
    slider,    // a Number on a trackbar, with its value as text beside it
    number,    // a Number typed into an edit box, with up and down arrows
    colour,    // a Colour: a button that opens the colour chooser, and a swatch
};

struct SettingControl {
    std::int32_t Settings::*field;
    SettingControlKind kind;
    int controlId;    // the control that takes the value
    int companionId;  // the read-out, arrows or swatch beside it; 0 for none
};

inline constexpr SettingControl settingControls[] = {
    {&Settings::texture, SettingControlKind::list, IDC_TEXTURE, 0},
    {&Settings::colour, SettingControlKind::colour, IDC_COLOUR, IDC_COLOUR_SWATCH},
    {&Settings::speed, SettingControlKind::slider, IDC_SPEED, IDC_SPEED_TEXT},
    {&Settings::detail, SettingControlKind::number, IDC_DETAIL, IDC_DETAIL_SPIN},
    {&Settings::bars, SettingControlKind::checkBox, IDC_BARS, 0},
    {&Settings::stars, SettingControlKind::checkBox, IDC_STARS, 0},
    {&Settings::particles, SettingControlKind::checkBox, IDC_PARTICLES, 0},
    {&Settings::fog, SettingControlKind::checkBox, IDC_FOG, 0},
    {&Settings::underlay, SettingControlKind::checkBox, IDC_UNDERLAY, 0},
    {&Settings::overlay, SettingControlKind::checkBox, IDC_OVERLAY, 0},
    {&Settings::frameRate, SettingControlKind::list, IDC_FRAME_RATE, 0},
    {&Settings::monitors, SettingControlKind::list, IDC_MONITORS, 0},
};

// The dialog's controls that belong to no setting (OK and Cancel aside).
inline constexpr int dialogOwnControls[] = {IDC_DEFAULTS};

// The kind of control that fits a kind of setting: Number fits two.
constexpr bool controlFitsSetting(SettingControlKind control, SettingKind setting)
{
    switch (setting) {
    case SettingKind::Switch:
        return control == SettingControlKind::checkBox;
    case SettingKind::Number:
        return control == SettingControlKind::slider || control == SettingControlKind::number;
    case SettingKind::Colour:
        return control == SettingControlKind::colour;
    case SettingKind::Texture:
    case SettingKind::Choice:
        return control == SettingControlKind::list;
    }
    return false;
}
