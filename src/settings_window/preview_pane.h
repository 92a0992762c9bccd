// The preview in the settings window: a picture that shows the scene as the
// settings stand, redrawn at most 30 times a second while the window can be
// seen, and not at all while it is hidden or minimised. Frames follow the
// window's frame clock, which a compositor stops for a window nobody sees;
// a minimised window on X11 is told by its state.
#pragma once

#include <gtk/gtk.h>

#include <string>

#include "settings/settings.h"
#include "settings_window/preview_renderer.h"

// The preview's frame: 16:9, as most screens are.
constexpr int previewWidth = 480;
constexpr int previewHeight = 270;
// At least 33 ms between frames: at most 30 frames a second.
constexpr gint64 previewFrameMicroseconds = 33000;

class PreviewPane {
public:
    // dumpPath: where each frame is also written as a PNG file (for tests
    // and measurements), or empty.
    PreviewPane(const Settings& settings, std::string dumpPath);
    ~PreviewPane();

    PreviewPane(const PreviewPane&) = delete;
    PreviewPane& operator=(const PreviewPane&) = delete;

    // The widget to place: the picture, or a label saying why there is none.
    GtkWidget* widget() const { return root; }

    // Rebuilds the scene with the new settings; the next frame shows them.
    void show(const Settings& settings);

    // Starts or stops the frames as the window's visibility changes: called
    // when the window is mapped, unmapped, minimised or restored.
    void updateRunning();

private:
    static gboolean onTick(GtkWidget* widget, GdkFrameClock* clock, gpointer self);
    static void onMapChanged(GtkWidget* widget, gpointer self);
    static void onToplevelState(GObject* surface, GParamSpec* property, gpointer self);
    static void onRealize(GtkWidget* widget, gpointer self);

    bool canBeSeen() const;
    void drawAndShow();

    PreviewRenderer renderer;
    std::string dumpPath;
    GtkWidget* root = nullptr;
    GtkWidget* picture = nullptr;
    GdkSurface* watchedSurface = nullptr;
    guint tickCallback = 0;  // 0 while the frames are stopped
    gint64 lastFrameTime = 0;  // the frame clock's microseconds
};
