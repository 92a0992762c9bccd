#include "settings_window/preview_pane.h"

#include <cstdio>

#include "png_file.h"

PreviewPane::PreviewPane(const Settings& settings, std::string dumpFile) : dumpPath(std::move(dumpFile))
{
    std::string error;
    if (!renderer.open(previewWidth, previewHeight, settings, error)) {
        std::fprintf(stderr, "flowball-settings: no preview: %s\n", error.c_str());
        root = gtk_label_new(("No preview: " + error).c_str());
        gtk_label_set_wrap(GTK_LABEL(root), TRUE);
        g_object_ref_sink(root);
        return;
    }
    picture = gtk_picture_new();
    gtk_picture_set_can_shrink(GTK_PICTURE(picture), TRUE);
    gtk_picture_set_content_fit(GTK_PICTURE(picture), GTK_CONTENT_FIT_CONTAIN);
    gtk_widget_set_size_request(picture, previewWidth / 2, previewHeight / 2);
    gtk_accessible_update_property(GTK_ACCESSIBLE(picture), GTK_ACCESSIBLE_PROPERTY_LABEL, "Preview of the scene",
                                   -1);
    root = picture;
    g_object_ref_sink(root);
    g_signal_connect(picture, "map", G_CALLBACK(onMapChanged), this);
    g_signal_connect(picture, "unmap", G_CALLBACK(onMapChanged), this);
    g_signal_connect(picture, "realize", G_CALLBACK(onRealize), this);
}

PreviewPane::~PreviewPane()
{
    if (tickCallback != 0)
        gtk_widget_remove_tick_callback(picture, tickCallback);
    if (watchedSurface != nullptr) {
        g_signal_handlers_disconnect_by_data(watchedSurface, this);
        g_object_unref(watchedSurface);
    }
    if (picture != nullptr)
        g_signal_handlers_disconnect_by_data(picture, this);
    g_object_unref(root);
}

void PreviewPane::show(const Settings& settings)
{
    renderer.rebuild(settings);
    if (tickCallback != 0)
        drawAndShow();
}

// Minimised windows stay mapped on X11, so the toplevel's state counts too;
// a compositor that draws nothing of a hidden window also stops its frame
// clock, but a timer would still fire.
bool PreviewPane::canBeSeen() const
{
    if (picture == nullptr || !gtk_widget_get_mapped(picture))
        return false;
    GtkNative* native = gtk_widget_get_native(picture);
    GdkSurface* surface = native != nullptr ? gtk_native_get_surface(native) : nullptr;
    if (surface != nullptr && GDK_IS_TOPLEVEL(surface)) {
        const GdkToplevelState state = gdk_toplevel_get_state(GDK_TOPLEVEL(surface));
        if ((state & GDK_TOPLEVEL_STATE_MINIMIZED) != 0)
            return false;
    }
    return true;
}

void PreviewPane::updateRunning()
{
    const bool run = canBeSeen();
    if (run && tickCallback == 0) {
        drawAndShow();
        tickCallback = gtk_widget_add_tick_callback(picture, onTick, this, nullptr);
    } else if (!run && tickCallback != 0) {
        gtk_widget_remove_tick_callback(picture, tickCallback);
        tickCallback = 0;
    }
}

void PreviewPane::drawAndShow()
{
    renderer.drawFrame();
    const std::vector<std::uint8_t>& pixels = renderer.topDownFrame();
    GBytes* bytes = g_bytes_new(pixels.data(), pixels.size());
    GdkTexture* texture = gdk_memory_texture_new(renderer.width(), renderer.height(), GDK_MEMORY_R8G8B8, bytes,
                                                 gsize(renderer.width()) * 3);
    g_bytes_unref(bytes);
    gtk_picture_set_paintable(GTK_PICTURE(picture), GDK_PAINTABLE(texture));
    g_object_unref(texture);
    if (!dumpPath.empty()) {
        std::string error;
        if (!writeFramePng(dumpPath, renderer.width(), renderer.height(), renderer.bottomUpFrame().data(), error))
            std::fprintf(stderr, "flowball-settings: %s\n", error.c_str());
    }
}

gboolean PreviewPane::onTick(GtkWidget*, GdkFrameClock* clock, gpointer self)
{
    auto* pane = static_cast<PreviewPane*>(self);
    const gint64 now = gdk_frame_clock_get_frame_time(clock);
    if (now - pane->lastFrameTime >= previewFrameMicroseconds) {
        pane->lastFrameTime = now;
        pane->drawAndShow();
    }
    return G_SOURCE_CONTINUE;
}

void PreviewPane::onMapChanged(GtkWidget*, gpointer self) { static_cast<PreviewPane*>(self)->updateRunning(); }

void PreviewPane::onToplevelState(GObject*, GParamSpec*, gpointer self)
{
    static_cast<PreviewPane*>(self)->updateRunning();
}

void PreviewPane::onRealize(GtkWidget* widget, gpointer self)
{
    auto* pane = static_cast<PreviewPane*>(self);
    GdkSurface* surface = gtk_native_get_surface(gtk_widget_get_native(widget));
    if (surface == nullptr || surface == pane->watchedSurface)
        return;
    if (pane->watchedSurface != nullptr) {
        g_signal_handlers_disconnect_by_data(pane->watchedSurface, pane);
        g_object_unref(pane->watchedSurface);
    }
    pane->watchedSurface = GDK_SURFACE(g_object_ref(surface));
    g_signal_connect(surface, "notify::state", G_CALLBACK(onToplevelState), pane);
}
