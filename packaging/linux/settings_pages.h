// The settings table as the Linux package describes it: the manual page's
// list of setting options (groff) and the daemon settings program's controls
// (its XML format). Both are written from a table at build time, so a new row
// in the settings table reaches the package without a hand-made copy.
//
// Every function takes the table as a pointer and a count; the build passes
// the program's own (settingTable, settingCount).
#pragma once

#include <string>
#include <vector>

#include "settings/settings.h"

// One ".TP" entry per row: the option (with its off form for a switch, its
// value's placeholder otherwise), what it does, its range or names, its
// default.
std::string manualSettingsSection(const SettingInfo* table, int count);

// The controls of the rows with a value (a slider, or a list of choices) and
// the switches (check boxes), each as lines indented for their place in the
// page. The default is the control's unset state, which adds nothing to the
// command line.
std::string daemonValueControls(const SettingInfo* table, int count);
std::string daemonSwitchControls(const SettingInfo* table, int count);

// The option names ("speed") of the rows that a written manual page or XML
// page does not carry, in table order; empty when every row is there.
std::vector<std::string> settingsMissingFromManual(const SettingInfo* table, int count, const std::string& page);
std::vector<std::string> settingsMissingFromDaemonPage(const SettingInfo* table, int count,
                                                       const std::string& page);

// Replaces the first line of text that is marker after its indentation, the
// whole line with its newline, by replacement. False when no line is.
bool replaceMarkerLine(std::string& text, const std::string& marker, const std::string& replacement);
