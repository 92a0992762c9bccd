#include "settings_window/setting_rows.h"

#include <cctype>
#include <cstdio>
#include <string>

#include "settings/setting_options.h"

struct SettingRows::Binding {
    SettingRows* owner;
    const SettingInfo* info;
    GtkWidget* control;       // the switch, spin button, combo row or colour entry
    GtkWidget* colourButton;  // the Colour kind's second control, or nullptr
};

namespace {

// The table's help is a phrase in lower case; a subtitle starts a sentence.
std::string sentenceOf(const char* help)
{
    std::string text = help;
    if (!text.empty())
        text[0] = char(std::toupper(static_cast<unsigned char>(text[0])));
    return text;
}

std::string hexOf(std::int32_t colour)
{
    char hex[8];
    std::snprintf(hex, sizeof hex, "%06X", unsigned(colour) & 0xFFFFFFu);
    return hex;
}

GdkRGBA rgbaOf(std::int32_t colour)
{
    GdkRGBA rgba;
    rgba.red = float((colour >> 16) & 0xFF) / 255.0f;
    rgba.green = float((colour >> 8) & 0xFF) / 255.0f;
    rgba.blue = float(colour & 0xFF) / 255.0f;
    rgba.alpha = 1.0f;
    return rgba;
}

std::int32_t colourOf(const GdkRGBA& rgba)
{
    auto channel = [](float value) { return std::int32_t(value * 255.0f + 0.5f) & 0xFF; };
    return (channel(rgba.red) << 16) | (channel(rgba.green) << 8) | channel(rgba.blue);
}

void nameControl(GtkWidget* control, const SettingInfo& info)
{
    gtk_accessible_update_property(GTK_ACCESSIBLE(control), GTK_ACCESSIBLE_PROPERTY_LABEL, info.label,
                                   GTK_ACCESSIBLE_PROPERTY_DESCRIPTION, info.help, -1);
}

int choiceIndexOf(const SettingInfo& info, std::int32_t value)
{
    for (int i = 0; i < info.choiceCount; ++i) {
        if (info.choices[i].value == value)
            return i;
    }
    return 0;
}

void onSwitch(GObject* control, GParamSpec*, gpointer data);
void onSpin(GtkSpinButton* control, gpointer data);
void onChoice(GObject* control, GParamSpec*, gpointer data);
void onColourText(GtkEditable* control, gpointer data);
void onColourButton(GObject* control, GParamSpec*, gpointer data);

}  // namespace

SettingRows::SettingRows(Settings& values, std::function<void()> onChanged)
    : settings(values), changed(std::move(onChanged)), rowGroup(adw_preferences_group_new())
{
    adw_preferences_group_set_title(ADW_PREFERENCES_GROUP(rowGroup), "Scene");
    for (int i = 0; i < settingCount; ++i)
        add(settingTable[i]);
    showValues();
}

SettingRows::~SettingRows() = default;

void SettingRows::add(const SettingInfo& info)
{
    auto binding = std::make_unique<Binding>(Binding{this, &info, nullptr, nullptr});
    Binding* data = binding.get();
    GtkWidget* row = nullptr;
    if (info.kind == SettingKind::Texture || info.kind == SettingKind::Choice) {
        GtkStringList* labels = gtk_string_list_new(nullptr);
        for (int i = 0; i < info.choiceCount; ++i)
            gtk_string_list_append(labels, info.choices[i].label);
        row = adw_combo_row_new();
        adw_combo_row_set_model(ADW_COMBO_ROW(row), G_LIST_MODEL(labels));
        g_object_unref(labels);
        data->control = row;
        g_signal_connect(row, "notify::selected", G_CALLBACK(onChoice), data);
    } else {
        row = adw_action_row_new();
        switch (info.kind) {
        case SettingKind::Switch:
            data->control = gtk_switch_new();
            g_signal_connect(data->control, "notify::active", G_CALLBACK(onSwitch), data);
            adw_action_row_set_activatable_widget(ADW_ACTION_ROW(row), data->control);
            break;
        case SettingKind::Number:
            data->control = gtk_spin_button_new_with_range(info.minimum, info.maximum, 1);
            gtk_spin_button_set_numeric(GTK_SPIN_BUTTON(data->control), TRUE);
            g_signal_connect(data->control, "value-changed", G_CALLBACK(onSpin), data);
            break;
        default:
            data->control = gtk_entry_new();
            gtk_editable_set_width_chars(GTK_EDITABLE(data->control), 8);
            gtk_entry_set_max_length(GTK_ENTRY(data->control), 7);
            data->colourButton = gtk_color_button_new();
            gtk_color_chooser_set_use_alpha(GTK_COLOR_CHOOSER(data->colourButton), FALSE);
            // The colour button's own button takes the focus: it is what
            // needs the name.
            gtk_accessible_update_property(GTK_ACCESSIBLE(gtk_widget_get_first_child(data->colourButton)),
                                           GTK_ACCESSIBLE_PROPERTY_LABEL,
                                           (std::string(info.label) + " chooser").c_str(), -1);
            gtk_widget_set_valign(data->colourButton, GTK_ALIGN_CENTER);
            g_signal_connect(data->control, "changed", G_CALLBACK(onColourText), data);
            g_signal_connect(data->colourButton, "notify::rgba", G_CALLBACK(onColourButton), data);
            break;
        }
        gtk_widget_set_valign(data->control, GTK_ALIGN_CENTER);
        adw_action_row_add_suffix(ADW_ACTION_ROW(row), data->control);
        if (data->colourButton != nullptr)
            adw_action_row_add_suffix(ADW_ACTION_ROW(row), data->colourButton);
    }
    adw_preferences_row_set_title(ADW_PREFERENCES_ROW(row), info.label);
    // A help that only repeats the label ("fog") makes no subtitle.
    if (g_ascii_strcasecmp(info.help, info.label) != 0)
        adw_action_row_set_subtitle(ADW_ACTION_ROW(row), sentenceOf(info.help).c_str());
    // Switches and choices take their name from their row (libadwaita labels
    // them by its title); entries and spin buttons need one of their own.
    if (info.kind == SettingKind::Number || info.kind == SettingKind::Colour)
        nameControl(data->control, info);
    adw_preferences_group_add(ADW_PREFERENCES_GROUP(rowGroup), row);
    bindings.push_back(std::move(binding));
}

void SettingRows::showValues()
{
    showing = true;
    for (const auto& binding : bindings) {
        const SettingInfo& info = *binding->info;
        const std::int32_t value = settings.*info.field;
        switch (info.kind) {
        case SettingKind::Switch:
            gtk_switch_set_active(GTK_SWITCH(binding->control), value != 0);
            break;
        case SettingKind::Number:
            gtk_spin_button_set_value(GTK_SPIN_BUTTON(binding->control), value);
            break;
        case SettingKind::Texture:
        case SettingKind::Choice:
            adw_combo_row_set_selected(ADW_COMBO_ROW(binding->control), guint(choiceIndexOf(info, value)));
            break;
        case SettingKind::Colour: {
            // An entry that already reads as the value keeps the user's
            // spelling and cursor.
            std::int32_t shown = 0;
            if (!parseSettingText(info, gtk_editable_get_text(GTK_EDITABLE(binding->control)), shown) ||
                shown != value)
                gtk_editable_set_text(GTK_EDITABLE(binding->control), hexOf(value).c_str());
            const GdkRGBA rgba = rgbaOf(value);
            gtk_color_chooser_set_rgba(GTK_COLOR_CHOOSER(binding->colourButton), &rgba);
            break;
        }
        }
    }
    showing = false;
}

void SettingRows::take(const Binding& binding, std::int32_t value)
{
    if (showing || !isValidSettingValue(*binding.info, value) || settings.*binding.info->field == value)
        return;
    settings.*binding.info->field = value;
    // The colour's entry and chooser show one value: the one that did not
    // change follows the other.
    if (binding.colourButton != nullptr)
        showValues();
    changed();
}

namespace {

SettingRows::Binding& bindingOf(gpointer data) { return *static_cast<SettingRows::Binding*>(data); }

void onSwitch(GObject* control, GParamSpec*, gpointer data)
{
    bindingOf(data).owner->take(bindingOf(data), gtk_switch_get_active(GTK_SWITCH(control)) ? 1 : 0);
}

void onSpin(GtkSpinButton* control, gpointer data)
{
    bindingOf(data).owner->take(bindingOf(data), gtk_spin_button_get_value_as_int(control));
}

void onChoice(GObject* control, GParamSpec*, gpointer data)
{
    const SettingInfo& info = *bindingOf(data).info;
    const guint index = adw_combo_row_get_selected(ADW_COMBO_ROW(control));
    if (index < guint(info.choiceCount))
        bindingOf(data).owner->take(bindingOf(data), info.choices[index].value);
}

// Takes six hex digits, with or without '#', as the command line does; the
// entry is marked while it holds anything else.
void onColourText(GtkEditable* control, gpointer data)
{
    std::int32_t colour = 0;
    const bool good = parseSettingText(*bindingOf(data).info, gtk_editable_get_text(control), colour);
    if (good) {
        gtk_widget_remove_css_class(GTK_WIDGET(control), "error");
        bindingOf(data).owner->take(bindingOf(data), colour);
    } else {
        gtk_widget_add_css_class(GTK_WIDGET(control), "error");
    }
}

void onColourButton(GObject* control, GParamSpec*, gpointer data)
{
    GdkRGBA rgba;
    gtk_color_chooser_get_rgba(GTK_COLOR_CHOOSER(control), &rgba);
    bindingOf(data).owner->take(bindingOf(data), colourOf(rgba));
}

}  // namespace
