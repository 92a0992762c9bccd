#include "host/wayland/output_layout.h"

#include <algorithm>
#include <cstdint>

#include "animation/view_set.h"

namespace {

bool hasArea(const ScreenRect& rect) { return rect.right > rect.left && rect.bottom > rect.top; }

// to - from in int, however far apart they are, and at least least.
int distance(int from, int to, int least)
{
    const std::int64_t length = std::int64_t(to) - from;
    return int(std::clamp<std::int64_t>(length, least, INT32_MAX));
}

}  // namespace

int drawScaleFor(int outputScale) { return std::clamp(outputScale, 1, ViewSet::maxPartScale); }

ScreenRect outputPlace(int x, int y, int width, int height)
{
    const auto edge = [](int from, int length) {
        return int(std::clamp<std::int64_t>(std::int64_t(from) + length, INT32_MIN, INT32_MAX));
    };
    return {x, y, edge(x, width), edge(y, height)};
}

ScreenRect modePlace(int x, int y, int modeWidth, int modeHeight, int scale, int transform)
{
    const int divisor = std::max(scale, 1);
    const bool onItsSide = (transform & 1) != 0;
    const int width = (onItsSide ? modeHeight : modeWidth) / divisor;
    const int height = (onItsSide ? modeWidth : modeHeight) / divisor;
    return outputPlace(x, y, width, height);
}

bool outputDescribed(unsigned version, bool doneSeen, bool modeSeen, bool logicalSizeAwaited)
{
    // wl_output.done came with version 2.
    constexpr unsigned doneVersion = 2;
    const bool outputDone = version >= doneVersion ? doneSeen : modeSeen;
    return outputDone && !logicalSizeAwaited;
}

int surfaceSide(int configured, int ownFrom, int ownTo)
{
    const std::int64_t side = configured > 0 ? configured : std::int64_t(ownTo) - ownFrom;
    return int(std::clamp<std::int64_t>(side, 0, INT32_MAX / ViewSet::maxPartScale));
}

ScreenRect outputBounds(const ScreenRect* outputs, int count)
{
    ScreenRect bounds = {0, 0, 0, 0};
    bool any = false;
    for (int i = 0; i < count; ++i) {
        const ScreenRect& output = outputs[i];
        if (!hasArea(output))
            continue;
        if (!any) {
            bounds = output;
            any = true;
            continue;
        }
        bounds.left = std::min(bounds.left, output.left);
        bounds.top = std::min(bounds.top, output.top);
        bounds.right = std::max(bounds.right, output.right);
        bounds.bottom = std::max(bounds.bottom, output.bottom);
    }
    return bounds;
}

SurfacePart surfacePart(Monitors monitors, const ScreenRect& output, const ScreenRect& bounds, int scale)
{
    const int partScale = drawScaleFor(scale);
    const int outputWidth = distance(output.left, output.right, 1);
    const int outputHeight = distance(output.top, output.bottom, 1);
    if (monitors != Monitors::span || !hasArea(output) || !hasArea(bounds))
        return {outputWidth, outputHeight, 0, 0, partScale};
    // The window's y grows upwards from its bottom edge, which is the
    // bounds' bottom edge.
    return {distance(bounds.left, bounds.right, 1), distance(bounds.top, bounds.bottom, 1),
            distance(bounds.left, output.left, 0), distance(output.bottom, bounds.bottom, 0), partScale};
}
