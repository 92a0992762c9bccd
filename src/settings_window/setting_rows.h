// One preferences row for every row of the settings table, made from the
// table alone: its label as the title, its help as the subtitle, and a
// control for its kind (a switch, a number within its range, a choice among
// its named values, a colour). A new row in the table is a new row here with
// no other change.
#pragma once

#include <adwaita.h>

#include <functional>
#include <memory>
#include <vector>

#include "settings/settings.h"

class SettingRows {
public:
    // changed runs after a control changed a value in settings.
    SettingRows(Settings& settings, std::function<void()> changed);
    ~SettingRows();

    SettingRows(const SettingRows&) = delete;
    SettingRows& operator=(const SettingRows&) = delete;

    // An AdwPreferencesGroup holding every row.
    GtkWidget* group() const { return rowGroup; }

    // Sets every control to the values in settings without reporting them as
    // changes (after the defaults are restored).
    void showValues();

    // What a control's signal hands over: the control's new value.
    struct Binding;
    void take(const Binding& binding, std::int32_t value);

private:
    void add(const SettingInfo& info);

    Settings& settings;
    std::function<void()> changed;
    GtkWidget* rowGroup;
    std::vector<std::unique_ptr<Binding>> bindings;
    bool showing = false;
};
