// The Wayland host's outputs as any compositor may describe them: any
// logical rectangles (empty, overlapping, negative, far apart) and any
// integer scales. The outputs' bounds hold exactly the outputs that have an
// area; each surface draws its output's own window (Monitors each) or its
// own part of the bounds (span), lying inside that window wherever the
// layout fits in int, at a scale the views draw at; and the background view,
// tiled under GL's viewport limit and handed to GL through the part shown,
// covers the surface's whole drawable with viewports within the limit.
//
// The compositor's own numbers go through the same reading: an output placed
// at (x, y) with any width and height has the edges their sums give, stopped
// at int's ends, and a surface's side, configured or the output's own, is
// that side as long as its drawable at the largest scale fits in int.
//
// Input: the Monitors setting and letterboxing, the viewport limit, then up
// to 16 outputs (a size byte for 16-bit or 32-bit corners, then the corners
// and the scale).
#include <algorithm>
#include <climits>
#include <cstdint>
#include <vector>

#include "animation/view_set.h"
#include "fuzz_support.h"
#include "gl_recorder.h"
#include "host/wayland/output_layout.h"

namespace {

constexpr int mostOutputs = 16;
// Windows up to this side, whose background has at most tilesDrawn tiles,
// are drawn through the recording GL.
constexpr std::int64_t largestDrawnSide = 65536;
constexpr int tilesDrawn = 4096;

struct Output {
    ScreenRect place;
    int scale;
};

bool hasArea(const ScreenRect& rect) { return rect.right > rect.left && rect.bottom > rect.top; }

std::int64_t extent(int from, int to) { return std::int64_t(to) - from; }

void checkBounds(const std::vector<ScreenRect>& places, const ScreenRect& bounds)
{
    bool any = false;
    std::int64_t left = 0, top = 0, right = 0, bottom = 0;
    for (const ScreenRect& place : places) {
        if (!hasArea(place))
            continue;
        left = any ? std::min<std::int64_t>(left, place.left) : place.left;
        top = any ? std::min<std::int64_t>(top, place.top) : place.top;
        right = any ? std::max<std::int64_t>(right, place.right) : place.right;
        bottom = any ? std::max<std::int64_t>(bottom, place.bottom) : place.bottom;
        any = true;
    }
    expectProperty(bounds.left == left && bounds.top == top && bounds.right == right && bounds.bottom == bottom,
                   "the bounds are not those of the outputs that have an area");
}

void checkPart(Monitors monitors, const Output& output, const ScreenRect& bounds, const SurfacePart& part)
{
    expectProperty(part.scale >= 1 && part.scale <= ViewSet::maxPartScale &&
                       (output.scale < 1 || output.scale > ViewSet::maxPartScale || part.scale == output.scale),
                   "a scale the views do not draw at, or not the output's own");
    expectProperty(part.windowWidth >= 1 && part.windowHeight >= 1, "a window of no size");
    const ScreenRect& place = output.place;
    const bool fits = extent(bounds.left, bounds.right) <= INT_MAX && extent(bounds.top, bounds.bottom) <= INT_MAX &&
                      extent(place.left, place.right) <= INT_MAX && extent(place.top, place.bottom) <= INT_MAX;
    if (!fits)
        return;
    if (monitors != Monitors::span || !hasArea(place) || !hasArea(bounds)) {
        expectProperty(part.windowWidth == std::max<std::int64_t>(extent(place.left, place.right), 1) &&
                           part.windowHeight == std::max<std::int64_t>(extent(place.top, place.bottom), 1) &&
                           part.partLeft == 0 && part.partBottom == 0,
                       "a window of its own that is not its output's");
        return;
    }
    expectProperty(part.windowWidth == extent(bounds.left, bounds.right) &&
                       part.windowHeight == extent(bounds.top, bounds.bottom),
                   "a spanning window that is not the bounds");
    expectProperty(part.partLeft == extent(bounds.left, place.left) &&
                       part.partBottom == extent(place.bottom, bounds.bottom),
                   "a part that is not where its output lies in the bounds");
    expectProperty(std::int64_t(part.partLeft) + extent(place.left, place.right) <= part.windowWidth &&
                       std::int64_t(part.partBottom) + extent(place.top, place.bottom) <= part.windowHeight,
                   "a part outside its window");
}

// The background drawn on the surface through the recording GL: its
// viewports, in drawable pixels, stay within the limit and together cover
// the drawable.
void checkDrawn(const SurfacePart& part, std::int64_t drawableWidth, std::int64_t drawableHeight, int letterboxed,
                int maxWidth, int maxHeight)
{
    if (part.windowWidth > largestDrawnSide || part.windowHeight > largestDrawnSide)
        return;
    ViewSet viewSet;
    viewSet.viewCount = 2;
    viewSet.views[1].setFractions(0.0, 0.0, 1.0, 1.0);
    viewSet.views[1].letterboxed = letterboxed;
    viewSet.barFraction = 0.2f;
    viewSet.resize(float(part.windowWidth), float(part.windowHeight));
    viewSet.showPart(part.partLeft, part.partBottom, part.scale);
    viewSet.layout();
    viewSet.setViewportLimit(maxWidth, maxHeight);
    const int tiles = viewSet.tileCount(0);
    if (tiles > tilesDrawn)
        return;
    glrec::reset();
    for (int tile = 0; tile < tiles; ++tile)
        viewSet.applyOrthoTile(0, tile);
    const bool limited = viewSet.maxViewportWidth != 0 && viewSet.maxViewportHeight != 0;
    std::int64_t left = INT64_MAX, bottom = INT64_MAX, right = INT64_MIN, top = INT64_MIN, area = 0;
    for (const glrec::Call& call : glrec::calls()) {
        if (call.name != "glViewport")
            continue;
        const std::int64_t x = std::int64_t(call.args[0]), y = std::int64_t(call.args[1]);
        const std::int64_t width = std::int64_t(call.args[2]), height = std::int64_t(call.args[3]);
        expectProperty(!limited || (width <= viewSet.maxViewportWidth && height <= viewSet.maxViewportHeight),
                       "a viewport beyond GL's limit");
        left = std::min(left, x);
        bottom = std::min(bottom, y);
        right = std::max(right, x + width);
        top = std::max(top, y + height);
        area += width * height;
    }
    expectProperty(left <= 0 && bottom <= 0 && right >= drawableWidth && top >= drawableHeight,
                   "the background does not cover the surface");
    expectProperty(area == (right - left) * (top - bottom), "the background's tiles leave a gap or overlap");
}

// The four numbers of an output's corners read as x, y, width and height.
void checkPlaceAndSides(const ScreenRect& numbers)
{
    const int x = numbers.left, y = numbers.top, width = numbers.right, height = numbers.bottom;
    const ScreenRect place = outputPlace(x, y, width, height);
    const auto edge = [](std::int64_t from, std::int64_t length) {
        return std::clamp<std::int64_t>(from + length, INT_MIN, INT_MAX);
    };
    expectProperty(place.left == x && place.top == y && place.right == edge(x, width) &&
                       place.bottom == edge(y, height),
                   "an output's place is not where its numbers put it");
    const std::int64_t largest = INT_MAX / ViewSet::maxPartScale;
    const std::int64_t own = extent(place.left, place.right);
    const int configured = surfaceSide(width, place.left, place.right);
    const int side = surfaceSide(0, place.left, place.right);
    expectProperty(configured == (width > 0 ? std::min<std::int64_t>(width, largest)
                                            : std::clamp<std::int64_t>(own, 0, largest)),
                   "a configured side that is not the one given, or its output's");
    expectProperty(side == std::clamp<std::int64_t>(own, 0, largest), "a surface's side that is not its output's");
    expectProperty(std::int64_t(configured) * ViewSet::maxPartScale <= INT_MAX,
                   "a side whose drawable int cannot hold");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput input(data, size);
    const std::uint8_t form = input.byte();
    const Monitors monitors = (form & 1) != 0 ? Monitors::span : Monitors::each;
    const int letterboxed = (form >> 1) & 1;
    const int maxWidth = input.value<std::int32_t>();
    const int maxHeight = input.value<std::int32_t>();
    std::vector<Output> outputs;
    const int count = input.byte() % (mostOutputs + 1);
    for (int i = 0; i < count && input.remaining() > 0; ++i) {
        const bool wide = (input.byte() & 1) != 0;
        Output output;
        const auto corner = [&] { return wide ? input.value<std::int32_t>() : int(input.value<std::int16_t>()); };
        output.place.left = corner();
        output.place.top = corner();
        output.place.right = corner();
        output.place.bottom = corner();
        output.scale = wide ? input.value<std::int32_t>() : int(input.value<std::int8_t>());
        outputs.push_back(output);
    }
    std::vector<ScreenRect> places;
    for (const Output& output : outputs)
        places.push_back(output.place);
    const ScreenRect bounds = outputBounds(places.data(), int(places.size()));
    checkBounds(places, bounds);
    for (const Output& output : outputs) {
        checkPlaceAndSides(output.place);
        const SurfacePart part = surfacePart(monitors, output.place, bounds, output.scale);
        checkPart(monitors, output, bounds, part);
        const std::int64_t width = std::max<std::int64_t>(extent(output.place.left, output.place.right), 1);
        const std::int64_t height = std::max<std::int64_t>(extent(output.place.top, output.place.bottom), 1);
        checkDrawn(part, width * part.scale, height * part.scale, letterboxed, maxWidth, maxHeight);
    }
    return 0;
}
