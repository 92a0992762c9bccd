// The settings window: the settings table's rows, a live preview, the
// settings file behind them, and the idle start. Every change applies at
// once: the preview is rebuilt and the file written.
#pragma once

#include <adwaita.h>

#include <cstdint>
#include <memory>
#include <string>

#include "settings/settings_file.h"
#include "settings_window/preview_pane.h"
#include "settings_window/setting_rows.h"

struct SettingsWindowOptions {
    std::string dumpPreviewPath;  // each preview frame also as this PNG file, or empty
};

class SettingsWindow {
public:
    SettingsWindow(AdwApplication* application, const SettingsWindowOptions& options);

    SettingsWindow(const SettingsWindow&) = delete;
    SettingsWindow& operator=(const SettingsWindow&) = delete;

    void present();

private:
    static void onPreviewClicked(GtkButton* button, gpointer self);
    static void onRestoreClicked(GtkButton* button, gpointer self);
    static void onIdleSwitch(GObject* control, GParamSpec* property, gpointer self);
    static void onIdleMinutes(GtkSpinButton* control, gpointer self);

    GtkWidget* makeHeaderBar();
    GtkWidget* makeFileGroup();
    GtkWidget* makeIdleGroup();

    void settingsChanged();
    void keepSettings();
    void showFileProblems();
    void showIdleStartAsRunning();
    void showIdleState();
    void setIdleStart(bool on);
    std::uint32_t idleAfterForWatcher() const;

    std::string filePath;
    SettingsFileContents file;
    Settings settings;
    std::uint32_t idleAfterMilliseconds;
    std::string autostartPath;
    std::string saverProgram;

    GtkWidget* window = nullptr;
    GtkWidget* fileGroup = nullptr;
    GtkWidget* fileMessage = nullptr;
    GtkWidget* idleSwitch = nullptr;
    GtkWidget* idleMinutes = nullptr;
    GtkWidget* idleMessage = nullptr;
    std::unique_ptr<PreviewPane> preview;
    std::unique_ptr<SettingRows> rows;
    bool showingIdle = false;
};
