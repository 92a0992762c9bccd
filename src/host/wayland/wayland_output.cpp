#include "host/wayland/wayland_output.h"

#include <algorithm>

#include "host/wayland/output_layout.h"

namespace {

// Release (version 3) lets the compositor forget the object at once.
constexpr std::uint32_t outputVersion = 3;

}  // namespace

const wl_output_listener WaylandOutput::outputListener = {
    onGeometry, onMode, onDone, onScale, onName, onDescription,
};

const zxdg_output_v1_listener WaylandOutput::xdgOutputListener = {
    onLogicalPosition, onLogicalSize, onXdgOutputDone, onXdgOutputName, onXdgOutputDescription,
};

WaylandOutput::WaylandOutput(wl_registry* registry, std::uint32_t name, std::uint32_t version)
    : registryName(name), boundVersion(std::min(version, outputVersion))
{
    output = static_cast<wl_output*>(wl_registry_bind(registry, name, &wl_output_interface, boundVersion));
    wl_output_add_listener(output, &outputListener, this);
}

WaylandOutput::~WaylandOutput()
{
    if (xdgOutput != nullptr)
        zxdg_output_v1_destroy(xdgOutput);
    if (boundVersion >= WL_OUTPUT_RELEASE_SINCE_VERSION)
        wl_output_release(output);
    else
        wl_output_destroy(output);
}

void WaylandOutput::watchLogicalPlace(zxdg_output_manager_v1* manager)
{
    if (xdgOutput != nullptr || manager == nullptr)
        return;
    xdgOutput = zxdg_output_manager_v1_get_xdg_output(manager, output);
    zxdg_output_v1_add_listener(xdgOutput, &xdgOutputListener, this);
}

bool WaylandOutput::described() const
{
    return outputDescribed(boundVersion, doneSeen, modeSeen, xdgOutput != nullptr && logicalWidth <= 0);
}

ScreenRect WaylandOutput::logicalRect() const
{
    if (xdgOutput != nullptr && logicalWidth > 0 && logicalHeight > 0)
        return outputPlace(logicalX, logicalY, logicalWidth, logicalHeight);
    return modePlace(positionX, positionY, modeWidth, modeHeight, outputScale, transform);
}

void WaylandOutput::onGeometry(void* data, wl_output*, int32_t x, int32_t y, int32_t, int32_t, int32_t,
                               const char*, const char*, int32_t outputTransform)
{
    auto* self = static_cast<WaylandOutput*>(data);
    self->positionX = x;
    self->positionY = y;
    self->transform = outputTransform;
}

void WaylandOutput::onMode(void* data, wl_output*, uint32_t flags, int32_t width, int32_t height, int32_t refresh)
{
    if ((flags & WL_OUTPUT_MODE_CURRENT) == 0)
        return;
    auto* self = static_cast<WaylandOutput*>(data);
    self->modeWidth = width;
    self->modeHeight = height;
    self->modeSeen = true;
    self->refreshMillihertz = refresh;
}

void WaylandOutput::onDone(void* data, wl_output*)
{
    auto* self = static_cast<WaylandOutput*>(data);
    self->doneSeen = true;
}

void WaylandOutput::onScale(void* data, wl_output*, int32_t factor)
{
    auto* self = static_cast<WaylandOutput*>(data);
    self->outputScale = std::max(factor, 1);
}

void WaylandOutput::onLogicalPosition(void* data, zxdg_output_v1*, int32_t x, int32_t y)
{
    auto* self = static_cast<WaylandOutput*>(data);
    self->logicalX = x;
    self->logicalY = y;
}

void WaylandOutput::onLogicalSize(void* data, zxdg_output_v1*, int32_t width, int32_t height)
{
    auto* self = static_cast<WaylandOutput*>(data);
    self->logicalWidth = width;
    self->logicalHeight = height;
}

void WaylandOutput::onXdgOutputDone(void*, zxdg_output_v1*) {}
