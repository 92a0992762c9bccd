#include "settings_window/settings_window.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "host/posix/saver_command.h"
#include "settings/idle_time.h"
#include "settings_window/detached_start.h"
#include "settings_window/idle_start.h"

namespace {

constexpr std::uint32_t millisecondsPerMinute = 60 * 1000;
constexpr std::uint32_t longestIdleMinutes = longestIdleMilliseconds / millisecondsPerMinute;

// The saver beside this program (the package's /usr/bin, a build folder),
// else the one on PATH.
std::string saverProgramPath()
{
    std::vector<char> self(4096);
    const ssize_t length = readlink("/proc/self/exe", self.data(), self.size() - 1);
    if (length > 0) {
        std::string path(self.data(), std::size_t(length));
        path = path.substr(0, path.rfind('/') + 1) + "flowball";
        if (access(path.c_str(), X_OK) == 0)
            return path;
    }
    return "flowball";
}

std::uint32_t minutesOf(std::uint32_t milliseconds)
{
    return (milliseconds + millisecondsPerMinute - 1) / millisecondsPerMinute;
}

std::string idleSwitchName(std::uint32_t minutes)
{
    return "Start Flowball after " + std::to_string(minutes) + (minutes == 1 ? " minute" : " minutes") +
           " without input";
}

GtkWidget* wrappedLabel(const char* text)
{
    GtkWidget* label = gtk_label_new(text);
    gtk_label_set_wrap(GTK_LABEL(label), TRUE);
    gtk_label_set_xalign(GTK_LABEL(label), 0.0f);
    gtk_label_set_selectable(GTK_LABEL(label), TRUE);
    return label;
}

}  // namespace

SettingsWindow::SettingsWindow(AdwApplication* application, const SettingsWindowOptions& options)
    : filePath(settingsFilePath(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"))),
      file(readSettingsFile(filePath)),
      settings(file.settings),
      idleAfterMilliseconds(file.idleAfterMilliseconds),
      autostartPath(autostartEntryPath(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"))),
      saverProgram(saverProgramPath())
{
    for (const SettingsFileProblem& problem : file.problems)
        std::fprintf(stderr, "flowball-settings: %s\n", describeProblem(filePath, problem).c_str());

    window = adw_application_window_new(GTK_APPLICATION(application));
    gtk_window_set_title(GTK_WINDOW(window), "Flowball Settings");
    gtk_window_set_default_size(GTK_WINDOW(window), 1020, 700);

    preview = std::make_unique<PreviewPane>(settings, options.dumpPreviewPath);
    rows = std::make_unique<SettingRows>(settings, [this] { settingsChanged(); });

    GtkWidget* page = adw_preferences_page_new();
    adw_preferences_page_add(ADW_PREFERENCES_PAGE(page), ADW_PREFERENCES_GROUP(makeFileGroup()));
    adw_preferences_page_add(ADW_PREFERENCES_PAGE(page), ADW_PREFERENCES_GROUP(rows->group()));
    adw_preferences_page_add(ADW_PREFERENCES_PAGE(page), ADW_PREFERENCES_GROUP(makeIdleGroup()));
    gtk_widget_set_hexpand(page, TRUE);

    GtkWidget* previewFrame = gtk_frame_new(nullptr);
    gtk_frame_set_child(GTK_FRAME(previewFrame), preview->widget());
    gtk_widget_set_margin_start(previewFrame, 12);
    gtk_widget_set_margin_top(previewFrame, 12);
    gtk_widget_set_margin_bottom(previewFrame, 12);
    gtk_widget_set_valign(previewFrame, GTK_ALIGN_START);
    gtk_widget_set_hexpand(previewFrame, FALSE);
    gtk_widget_set_size_request(previewFrame, previewWidth, previewHeight);

    GtkWidget* columns = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 0);
    gtk_box_append(GTK_BOX(columns), previewFrame);
    gtk_box_append(GTK_BOX(columns), page);

    GtkWidget* content = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
    gtk_box_append(GTK_BOX(content), makeHeaderBar());
    gtk_box_append(GTK_BOX(content), columns);
    gtk_widget_set_vexpand(columns, TRUE);
    adw_application_window_set_content(ADW_APPLICATION_WINDOW(window), content);

    showFileProblems();
    showIdleStartAsRunning();
    showIdleState();
}

void SettingsWindow::present() { gtk_window_present(GTK_WINDOW(window)); }

GtkWidget* SettingsWindow::makeHeaderBar()
{
    GtkWidget* bar = adw_header_bar_new();
    GtkWidget* previewButton = gtk_button_new_with_label("Preview");
    gtk_widget_set_tooltip_text(previewButton, "Runs Flowball full screen with these settings until input");
    gtk_widget_add_css_class(previewButton, "suggested-action");
    g_signal_connect(previewButton, "clicked", G_CALLBACK(onPreviewClicked), this);
    adw_header_bar_pack_start(ADW_HEADER_BAR(bar), previewButton);

    GtkWidget* restoreButton = gtk_button_new_with_label("Restore defaults");
    g_signal_connect(restoreButton, "clicked", G_CALLBACK(onRestoreClicked), this);
    adw_header_bar_pack_end(ADW_HEADER_BAR(bar), restoreButton);
    return bar;
}

GtkWidget* SettingsWindow::makeFileGroup()
{
    fileGroup = adw_preferences_group_new();
    adw_preferences_group_set_title(ADW_PREFERENCES_GROUP(fileGroup), "Settings file");
    fileMessage = wrappedLabel("");
    gtk_widget_add_css_class(fileMessage, "error");
    adw_preferences_group_add(ADW_PREFERENCES_GROUP(fileGroup), fileMessage);
    return fileGroup;
}

GtkWidget* SettingsWindow::makeIdleGroup()
{
    GtkWidget* group = adw_preferences_group_new();
    adw_preferences_group_set_title(ADW_PREFERENCES_GROUP(group), "Idle start");

    // The watcher's own time when the file names none.
    const std::uint32_t minutes = minutesOf(idleAfterMilliseconds != 0 ? idleAfterMilliseconds : defaultIdleMilliseconds);
    idleMinutes = gtk_spin_button_new_with_range(1, longestIdleMinutes, 1);
    gtk_spin_button_set_value(GTK_SPIN_BUTTON(idleMinutes), minutes);
    gtk_widget_set_valign(idleMinutes, GTK_ALIGN_CENTER);
    gtk_accessible_update_property(GTK_ACCESSIBLE(idleMinutes), GTK_ACCESSIBLE_PROPERTY_LABEL,
                                   "Minutes without input", -1);
    idleSwitch = gtk_switch_new();
    gtk_widget_set_valign(idleSwitch, GTK_ALIGN_CENTER);

    GtkWidget* row = adw_action_row_new();
    adw_preferences_row_set_title(ADW_PREFERENCES_ROW(row), "Start Flowball after");
    adw_action_row_add_suffix(ADW_ACTION_ROW(row), idleMinutes);
    adw_action_row_add_suffix(ADW_ACTION_ROW(row), gtk_label_new("minutes without input"));
    adw_action_row_add_suffix(ADW_ACTION_ROW(row), idleSwitch);
    adw_preferences_group_add(ADW_PREFERENCES_GROUP(group), row);

    idleMessage = wrappedLabel("");
    adw_preferences_group_add(ADW_PREFERENCES_GROUP(group), idleMessage);

    g_signal_connect(idleSwitch, "notify::active", G_CALLBACK(onIdleSwitch), this);
    g_signal_connect(idleMinutes, "value-changed", G_CALLBACK(onIdleMinutes), this);
    return group;
}

void SettingsWindow::settingsChanged()
{
    preview->show(settings);
    keepSettings();
}

// A file that could not be read is moved aside, not overwritten, on the
// first change: the user chose to replace it, and what it held stays.
void SettingsWindow::keepSettings()
{
    std::string error;
    if (file.state == SettingsFileState::unreadable) {
        const std::string aside = filePath + ".unreadable";
        if (std::rename(filePath.c_str(), aside.c_str()) != 0 && errno != ENOENT) {
            gtk_label_set_text(GTK_LABEL(fileMessage),
                               ("Not saved: cannot move " + filePath + " aside: " + std::strerror(errno)).c_str());
            return;
        }
        file.state = SettingsFileState::missing;
    }
    if (!writeSettingsFile(filePath, settings, idleAfterMilliseconds, error)) {
        gtk_label_set_text(GTK_LABEL(fileMessage), ("Not saved: " + error).c_str());
        gtk_widget_set_visible(fileGroup, TRUE);
        return;
    }
    file = readSettingsFile(filePath);
    showFileProblems();
}

void SettingsWindow::showFileProblems()
{
    std::string text;
    if (file.state == SettingsFileState::unreadable)
        text = "Could not read the settings file; it stays as it is until you change a setting.\n";
    else if (!file.problems.empty())
        text = "Lines of the settings file that did not count:\n";
    for (const SettingsFileProblem& problem : file.problems)
        text += describeProblem(filePath, problem) + "\n";
    if (!text.empty())
        text.pop_back();
    gtk_label_set_text(GTK_LABEL(fileMessage), text.c_str());
    gtk_widget_set_visible(fileGroup, !text.empty());
}

std::uint32_t SettingsWindow::idleAfterForWatcher() const
{
    return std::uint32_t(gtk_spin_button_get_value_as_int(GTK_SPIN_BUTTON(idleMinutes))) * millisecondsPerMinute;
}

// On when a login will start the watcher or one runs now; read once, as a
// watcher just told to end may still be running a moment later.
void SettingsWindow::showIdleStartAsRunning()
{
    showingIdle = true;
    const bool on = (!autostartPath.empty() && access(autostartPath.c_str(), F_OK) == 0) ||
                    !runningWatchers().empty();
    gtk_switch_set_active(GTK_SWITCH(idleSwitch), on);
    showingIdle = false;
}

void SettingsWindow::showIdleState()
{
    const std::uint32_t idleAfter = idleAfterForWatcher();
    gtk_accessible_update_property(GTK_ACCESSIBLE(idleSwitch), GTK_ACCESSIBLE_PROPERTY_LABEL,
                                   idleSwitchName(minutesOf(idleAfter)).c_str(), -1);
    const char* desktop = std::getenv("XDG_CURRENT_DESKTOP");
    const std::string line = configurationLineFor(desktop);
    std::string note;
    if (!line.empty())
        note = std::string("This desktop starts no autostart entries: for later logins, add this line to its "
                           "configuration:\n") +
               line;
    gtk_label_set_text(GTK_LABEL(idleMessage), note.c_str());
    gtk_widget_set_visible(idleMessage, !note.empty());
}

void SettingsWindow::setIdleStart(bool on)
{
    std::string error;
    stopWatchers();
    if (on) {
        idleAfterMilliseconds = idleAfterForWatcher();
        keepSettings();
        if (!writeAutostartEntry(autostartPath, error) || !startWatcher(saverProgram, error))
            gtk_label_set_text(GTK_LABEL(idleMessage), ("Idle start: " + error).c_str());
    } else if (!removeAutostartEntry(autostartPath, error)) {
        gtk_label_set_text(GTK_LABEL(idleMessage), ("Idle start: " + error).c_str());
    }
}

void SettingsWindow::onPreviewClicked(GtkButton*, gpointer data)
{
    auto* self = static_cast<SettingsWindow*>(data);
    std::vector<std::string> command = {self->saverProgram};
    for (std::string& argument : settingArguments(self->settings, std::vector<bool>(std::size_t(settingCount), true)))
        command.push_back(std::move(argument));
    std::string error;
    if (!startDetached(command, error))
        gtk_label_set_text(GTK_LABEL(self->fileMessage), ("Preview: " + error).c_str());
}

void SettingsWindow::onRestoreClicked(GtkButton*, gpointer data)
{
    auto* self = static_cast<SettingsWindow*>(data);
    self->settings = Settings();
    self->rows->showValues();
    self->settingsChanged();
}

void SettingsWindow::onIdleSwitch(GObject* control, GParamSpec*, gpointer data)
{
    auto* self = static_cast<SettingsWindow*>(data);
    if (self->showingIdle)
        return;
    self->setIdleStart(gtk_switch_get_active(GTK_SWITCH(control)));
    self->showIdleState();
}

// The time is kept in the settings file, which a running watcher follows.
void SettingsWindow::onIdleMinutes(GtkSpinButton*, gpointer data)
{
    auto* self = static_cast<SettingsWindow*>(data);
    self->idleAfterMilliseconds = self->idleAfterForWatcher();
    self->keepSettings();
    self->showIdleState();
}
