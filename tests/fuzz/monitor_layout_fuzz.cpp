// Any list of monitor rectangles (empty, overlapping, negative, far away) on
// any window: the monitors' areas lie in the window and are exactly the
// visible part of each monitor, in order; the views laid out over them lie
// in the window, one per visible monitor (of the first nine) covering it, or
// one over the whole window; each view drawn in tiles under GL's viewport
// limit is cut into a grid of tiles within the limit that covers the view
// exactly once. The X11 program's own window gets a view per monitor only
// when every monitor it touches lies wholly inside it.
//
// Input: the window's size and its origin on the virtual screen, the
// letterboxing, the viewport limit, the X11 mode and Monitors setting, then
// up to 16 monitors (each a size byte: 16-bit or 32-bit corners).
#include <algorithm>
#include <string>
#include <vector>

#include "animation/monitor_layout.h"
#include "animation/view_set.h"
#include "fuzz_support.h"
#include "host/x11/monitor_views.h"

namespace {

constexpr int mostMonitors = 16;
// The largest window side the hosts make (X11's and Windows' limit).
constexpr int largestSide = 32767;
// Views with more tiles than this have their first row and column and the
// last tile checked rather than every tile.
constexpr int tilesCheckedInFull = 4096;

struct Case {
    int width = 0;
    int height = 0;
    int originX = 0;
    int originY = 0;
    int letterboxed = 0;
    float barFraction = 0.0f;
    int maxWidth = 0;
    int maxHeight = 0;
    HostMode mode = HostMode::ownWindow;
    Monitors monitorsSetting = Monitors::each;
    std::vector<ScreenRect> monitors;
};

int coordinate(FuzzInput& input, bool wide)
{
    return wide ? input.value<std::int32_t>() : int(input.value<std::int16_t>());
}

Case readCase(FuzzInput& input)
{
    Case c;
    c.width = int(input.value<std::uint16_t>() % (largestSide + 1));
    c.height = int(input.value<std::uint16_t>() % (largestSide + 1));
    c.originX = input.value<std::int32_t>();
    c.originY = input.value<std::int32_t>();
    const std::uint8_t bars = input.byte();
    c.letterboxed = bars & 1;
    // Each bar up to half the height, as the breathing bars reach.
    c.barFraction = float(bars >> 1) / 254.0f;
    c.maxWidth = input.value<std::int32_t>();
    c.maxHeight = input.value<std::int32_t>();
    const std::uint8_t mode = input.byte();
    c.mode = mode % 3 == 0 ? HostMode::ownWindow : (mode % 3 == 1 ? HostMode::rootWindow : HostMode::givenWindow);
    c.monitorsSetting = (mode & 0x80) != 0 ? Monitors::span : Monitors::each;
    const int count = input.byte() % (mostMonitors + 1);
    for (int i = 0; i < count && input.remaining() > 0; ++i) {
        const bool wide = (input.byte() & 1) != 0;
        ScreenRect monitor;
        monitor.left = coordinate(input, wide);
        monitor.top = coordinate(input, wide);
        monitor.right = coordinate(input, wide);
        monitor.bottom = coordinate(input, wide);
        c.monitors.push_back(monitor);
    }
    return c;
}

// The visible part of a monitor in window pixels (bottom-left origin),
// worked out apart from the code under test; false when nothing shows.
bool visiblePart(const ScreenRect& monitor, const Case& c, PixelArea& part)
{
    const double left = std::max(double(monitor.left) - c.originX, 0.0);
    const double right = std::min(double(monitor.right) - c.originX, double(c.width));
    const double top = std::min(double(c.height) - (double(monitor.top) - c.originY), double(c.height));
    const double bottom = std::max(double(c.height) - (double(monitor.bottom) - c.originY), 0.0);
    if (!(right > left && top > bottom))
        return false;
    part = {float(left), float(bottom), float(right), float(top)};
    return true;
}

bool sameArea(const PixelArea& a, const PixelArea& b)
{
    return a.left == b.left && a.bottom == b.bottom && a.right == b.right && a.top == b.top;
}

void checkMonitorAreas(const Case& c)
{
    for (int capacity : {monitorViewCapacity, mostMonitors}) {
        PixelArea areas[mostMonitors];
        const int written = monitorAreas(c.monitors.data(), int(c.monitors.size()), c.originX, c.originY,
                                         float(c.width), float(c.height), areas, capacity);
        expectProperty(written >= 0 && written <= capacity && written <= int(c.monitors.size()),
                       "more areas than monitors or room");
        int next = 0;
        for (const ScreenRect& monitor : c.monitors) {
            PixelArea part;
            if (!visiblePart(monitor, c, part))
                continue;
            if (next == capacity)
                break;
            expectProperty(next < written, "a visible monitor without its area");
            expectProperty(sameArea(areas[next], part), "an area that is not its monitor's visible part");
            ++next;
        }
        expectProperty(next == written, "an area for a monitor that does not show");
    }
}

bool inside(const PixelTile& tile, int left, int bottom, int right, int top)
{
    return tile.width >= 0 && tile.height >= 0 && tile.x >= left && tile.y >= bottom && tile.x + tile.width <= right &&
           tile.y + tile.height <= top;
}

bool sameTile(const PixelTile& a, const PixelTile& b)
{
    return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

// The view's tiles: a grid, row by row from the bottom left, of columns and
// rows within the limit whose sizes differ by at most a pixel, covering the
// view's viewport exactly once.
void checkTiles(const ViewSet& viewSet, int view)
{
    const PixelTile whole = viewSet.views[view].truncatedViewport();
    const int count = viewSet.tileCount(view);
    expectProperty(count >= 1, "a view without tiles");
    const int limitWidth = viewSet.maxViewportWidth;
    const int limitHeight = viewSet.maxViewportHeight;
    expectProperty((limitWidth == 0 || limitWidth >= smallestViewportLimit) &&
                       (limitHeight == 0 || limitHeight >= smallestViewportLimit),
                   "a viewport limit below the smallest one taken");
    if (count == 1) {
        expectProperty(sameTile(viewSet.views[view].tile(0, limitWidth, limitHeight), whole),
                       "a single tile that is not the whole view");
        return;
    }
    // The columns are the tiles of the bottom row.
    int columns = 0;
    while (columns < count && viewSet.views[view].tile(columns, limitWidth, limitHeight).y == whole.y &&
           (columns == 0 || viewSet.views[view].tile(columns, limitWidth, limitHeight).x > whole.x))
        ++columns;
    expectProperty(count % columns == 0, "tiles that are not a grid");
    const int rows = count / columns;
    const auto tileAt = [&](int column, int row) {
        return viewSet.views[view].tile(row * columns + column, limitWidth, limitHeight);
    };
    const auto checkTile = [&](int column, int row) {
        const PixelTile tile = tileAt(column, row);
        expectProperty(inside(tile, whole.x, whole.y, whole.x + whole.width, whole.y + whole.height),
                       "a tile outside its view");
        expectProperty((limitWidth == 0 || tile.width <= limitWidth) &&
                           (limitHeight == 0 || tile.height <= limitHeight),
                       "a tile beyond the viewport limit");
        const PixelTile columnStart = tileAt(column, 0);
        const PixelTile rowStart = tileAt(0, row);
        expectProperty(tile.x == columnStart.x && tile.width == columnStart.width && tile.y == rowStart.y &&
                           tile.height == rowStart.height,
                       "a tile out of its grid's column or row");
    };
    // Columns side by side from the view's left edge to its right, rows from
    // bottom to top, near-equal.
    int x = whole.x;
    int narrowest = whole.width;
    int widest = 0;
    for (int column = 0; column < columns; ++column) {
        const PixelTile tile = tileAt(column, 0);
        expectProperty(tile.x == x, "columns that leave a gap or overlap");
        x += tile.width;
        narrowest = std::min(narrowest, tile.width);
        widest = std::max(widest, tile.width);
    }
    expectProperty(x == whole.x + whole.width && widest - narrowest <= 1,
                   "columns that do not split the view evenly");
    int y = whole.y;
    int lowest = whole.height;
    int highest = 0;
    for (int row = 0; row < rows; ++row) {
        const PixelTile tile = tileAt(0, row);
        expectProperty(tile.y == y, "rows that leave a gap or overlap");
        y += tile.height;
        lowest = std::min(lowest, tile.height);
        highest = std::max(highest, tile.height);
    }
    expectProperty(y == whole.y + whole.height && highest - lowest <= 1, "rows that do not split the view evenly");
    if (count <= tilesCheckedInFull) {
        for (int row = 0; row < rows; ++row) {
            for (int column = 0; column < columns; ++column)
                checkTile(column, row);
        }
    } else {
        checkTile(columns - 1, rows - 1);
    }
}

void checkViews(const Case& c)
{
    ViewSet viewSet;
    // As the scene sets them: the background view and one perspective view.
    viewSet.viewCount = 2;
    viewSet.views[1].setFractions(0.0, 0.0, 1.0, 1.0);
    viewSet.views[1].letterboxed = c.letterboxed;
    viewSet.barFraction = c.barFraction;
    viewSet.resize(float(c.width), float(c.height));
    viewSet.setMonitors(c.monitors.data(), int(c.monitors.size()), c.originX, c.originY);
    viewSet.layout();
    viewSet.setViewportLimit(c.maxWidth, c.maxHeight);

    const int shown = int(c.monitors.size()) < monitorViewCapacity ? int(c.monitors.size()) : monitorViewCapacity;
    std::vector<PixelArea> visible;
    for (int i = 0; i < shown; ++i) {
        PixelArea part;
        if (visiblePart(c.monitors[std::size_t(i)], c, part))
            visible.push_back(part);
    }
    const bool oneWholeMonitor =
        visible.size() == 1 && sameArea(visible[0], {0.0f, 0.0f, float(c.width), float(c.height)});
    const int expectedMonitorViews = oneWholeMonitor ? 0 : int(visible.size());
    expectProperty(viewSet.monitorViewCount == expectedMonitorViews, "not one view per visible monitor");
    expectProperty(viewSet.activeViewCount() == (expectedMonitorViews > 0 ? 1 + expectedMonitorViews : 2),
                   "views beside the background and the monitors'");

    const PixelTile window = {0, 0, c.width, c.height};
    expectProperty(sameTile(viewSet.views[0].truncatedViewport(), window), "the background view is not the window");
    for (int i = 1; i < viewSet.activeViewCount(); ++i) {
        const PixelTile viewport = viewSet.views[i].truncatedViewport();
        expectProperty(inside(viewport, 0, 0, c.width, c.height), "a view outside the window");
        // The monitor the view covers, or the whole window.
        const PixelArea covered = expectedMonitorViews > 0 ? visible[std::size_t(i - 1)]
                                                           : PixelArea{0.0f, 0.0f, float(c.width), float(c.height)};
        const PixelTile monitor = {int(covered.left), int(covered.bottom), int(covered.right - covered.left),
                                   int(covered.top - covered.bottom)};
        if (c.letterboxed == 0) {
            expectProperty(sameTile(viewport, monitor), "a view that does not cover its monitor");
        } else {
            expectProperty(viewport.x == monitor.x && viewport.width == monitor.width &&
                               inside(viewport, monitor.x, monitor.y, monitor.x + monitor.width,
                                      monitor.y + monitor.height),
                           "a letterboxed view not across its monitor's width or outside it");
        }
    }
    for (int i = 0; i < viewSet.activeViewCount(); ++i)
        checkTiles(viewSet, i);
}

bool overlaps(const ScreenRect& a, const ScreenRect& b)
{
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

bool contains(const ScreenRect& outer, const ScreenRect& inner)
{
    return outer.left <= inner.left && inner.right <= outer.right && outer.top <= inner.top &&
           inner.bottom <= outer.bottom;
}

void checkX11Choice(const Case& c)
{
    // The window's corner within 16 bits, so that its far edges stay ints.
    const int left = std::int16_t(c.originX);
    const int top = std::int16_t(c.originY);
    const ScreenRect window = {left, top, left + c.width, top + c.height};
    const int count = int(c.monitors.size());
    const bool split = usesMonitorViews(c.mode, c.monitorsSetting, window, c.monitors.data(), count);
    if (c.monitorsSetting == Monitors::span || count == 0 || c.mode == HostMode::givenWindow) {
        expectProperty(!split, "a view per monitor where the window is one view");
        return;
    }
    if (c.mode == HostMode::rootWindow) {
        expectProperty(split, "the root window without a view per monitor");
        return;
    }
    bool touchesAny = false;
    bool allInside = true;
    for (const ScreenRect& monitor : c.monitors) {
        if (!overlaps(window, monitor))
            continue;
        touchesAny = true;
        allInside = allInside && contains(window, monitor);
    }
    expectProperty(split == (touchesAny && allInside),
                   split ? "a view per monitor where a monitor sticks out of the window"
                         : "one view where the window covers every monitor it touches");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput input(data, size);
    const Case c = readCase(input);
    checkMonitorAreas(c);
    checkViews(c);
    checkX11Choice(c);
    return 0;
}
