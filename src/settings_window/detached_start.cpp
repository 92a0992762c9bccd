#include "settings_window/detached_start.h"

#include <glib.h>

bool startDetached(const std::vector<std::string>& command, std::string& error)
{
    std::vector<char*> argv;
    for (const std::string& argument : command)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    // Without G_SPAWN_DO_NOT_REAP_CHILD the program starts through an
    // intermediate process that ends at once, so it is no child of ours.
    GError* failure = nullptr;
    if (!g_spawn_async(nullptr, argv.data(), nullptr, G_SPAWN_SEARCH_PATH, nullptr, nullptr, nullptr, &failure)) {
        error = failure->message;
        g_error_free(failure);
        return false;
    }
    return true;
}
