#include "host/wayland/compositor_address.h"

#include <cstdlib>
#include <cstring>

#include "settings/setting_options.h"

namespace {

bool variableSet(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr && value[0] != '\0';
}

}  // namespace

bool compositorNamed() { return compositorSocketNamed() || connectionHandedOver(); }

bool connectionHandedOver() { return variableSet("WAYLAND_SOCKET"); }

bool compositorSocketNamed() { return variableSet("WAYLAND_DISPLAY"); }

std::string cannotConnectMessage(int code)
{
    // A handed-over descriptor the library could not take (not open, not a
    // number) is still in WAYLAND_SOCKET; without either name the library
    // tried "wayland-0".
    const std::string compositor = connectionHandedOver()   ? "handed over in WAYLAND_SOCKET"
                                   : compositorSocketNamed() ? quotedArgument(std::getenv("WAYLAND_DISPLAY"))
                                                             : quotedArgument("wayland-0");
    return "cannot connect to the Wayland compositor " + compositor + " (" + std::strerror(code) + ")";
}
