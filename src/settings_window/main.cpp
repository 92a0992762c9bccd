// flowball-settings: the settings window of the Linux programs (see
// settings_window.h). Options: --dump-preview FILE also writes each preview
// frame as a PNG file, for tests and measurements.

#include <adwaita.h>
#include <glib-unix.h>

#include <csignal>
#include <memory>

#include "settings_window/settings_window.h"

namespace {

struct Program {
    SettingsWindowOptions options;
    std::unique_ptr<SettingsWindow> window;
};

gint onOptions(GApplication*, GVariantDict* dictionary, gpointer data)
{
    auto* program = static_cast<Program*>(data);
    const char* dumpPath = nullptr;
    if (g_variant_dict_lookup(dictionary, "dump-preview", "^&ay", &dumpPath))
        program->options.dumpPreviewPath = dumpPath;
    return -1;
}

// The session's end (SIGTERM, SIGHUP) or ^C: the window closes between two
// frames, so no preview file is left half written.
gboolean onStopSignal(gpointer application)
{
    g_application_quit(G_APPLICATION(application));
    return G_SOURCE_REMOVE;
}

void onActivate(GApplication* application, gpointer data)
{
    auto* program = static_cast<Program*>(data);
    if (!program->window)
        program->window = std::make_unique<SettingsWindow>(ADW_APPLICATION(application), program->options);
    program->window->present();
}

}  // namespace

int main(int argc, char** argv)
{
    Program program;
    AdwApplication* application = adw_application_new("io.github.flowball.Settings", G_APPLICATION_NON_UNIQUE);
    const GOptionEntry entries[] = {
        {"dump-preview", 0, 0, G_OPTION_ARG_FILENAME, nullptr, "Also write each preview frame to FILE (PNG)", "FILE"},
        {nullptr, 0, 0, G_OPTION_ARG_NONE, nullptr, nullptr, nullptr},
    };
    g_application_add_main_option_entries(G_APPLICATION(application), entries);
    g_signal_connect(application, "handle-local-options", G_CALLBACK(onOptions), &program);
    g_signal_connect(application, "activate", G_CALLBACK(onActivate), &program);
    for (int stopSignal : {SIGTERM, SIGHUP, SIGINT})
        g_unix_signal_add(stopSignal, onStopSignal, application);
    const int status = g_application_run(G_APPLICATION(application), argc, argv);
    program.window.reset();
    g_object_unref(application);
    return status;
}
