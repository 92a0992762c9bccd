// The window's views: its size in pixels, ten views, the letterboxed
// background and the layout of the active views.
//
// Lengths in pixels (window coordinates, origin at the bottom left), single
// precision. barFraction is the height of each letterbox bar as a fraction of
// the height; colours and fillAlpha are 0..1.
#pragma once

#include "animation/monitor_layout.h"
#include "animation/view.h"

constexpr int viewSetCapacity = 10;
// Views 1 to 9, one per monitor; view 0 stays the whole-window background.
constexpr int monitorViewCapacity = viewSetCapacity - 1;
// The smallest viewport limit taken from GL; below it none is known.
constexpr int smallestViewportLimit = 64;

class ViewSet {
public:
    // Stores the defaults and gives view 0 the whole 100 by 100 window. Calls
    // no GL: the global instance is built before any context exists, where a
    // glClearColor would have no effect, and GL's clear colour stays black.
    ViewSet();

    // Window size; the views keep their areas until the next layout. The
    // monitors' areas follow the new size at once.
    void resize(float w, float h);

    // The monitors the window covers, in virtual-screen pixels, and the
    // window's top-left corner there. The first nine are kept, in the order
    // given, and each of them that shows in the window gets a perspective
    // view; any further monitors stay black. A count of 0, or a single
    // monitor that is the whole window, gives the one view over the whole
    // window.
    void setMonitors(const ScreenRect* rects, int count, int originX, int originY);

    // Views that layout lays out and the frame draws: view 0 and one view
    // per monitor when the monitors have views, otherwise viewCount taken
    // within 0 to 10.
    int activeViewCount() const;

    // Stores the fill colour; GL's clear colour is left alone.
    void setClearColour(float r, float g, float b, float a);

    // Clears, then paints the black bars and the fill between them in the
    // current pixel projection. With no bars and an opaque fill it is one
    // clear of colour and depth. A fill below full opacity leaves blending on.
    // With a view per monitor each monitor gets its own bars and fill, and
    // the window outside the monitors stays black.
    void drawBackground() const;

    // drawBackground in two steps, for a background drawn in tiles: the
    // clear once (glClear takes no notice of the viewport), then the bars
    // and fills in each tile.
    void clearBackground() const;
    void paintBackground() const;

    // Selects view i and sets its viewport / its pixel projection. An index
    // outside 0 to 9 is ignored: nothing changes and GL is not called.
    void applyViewport(int i);
    void applyOrtho(int i);

    // GL's largest viewport (GL_MAX_VIEWPORT_DIMS). A limit below
    // smallestViewportLimit is taken as none known: GL promises at least the
    // display's size, and a tiny or garbled answer must not split a frame
    // into thousands of tiles.
    void setViewportLimit(int maxWidth, int maxHeight);

    // The tiles that view i is drawn in so that no viewport exceeds the limit
    // (View::tileCount): 1 for a view within it, and for an index outside 0
    // to 9.
    int tileCount(int i) const;

    // Selects view i and sets the viewport and the pixel projection of its
    // tile: with a single tile exactly applyViewport and applyOrtho.
    void applyOrthoTile(int i, int tile);

    // Selects view i and sets the viewport of its tile and the view's camera
    // projection cut down to it: with a single tile exactly applyViewport and
    // the camera's applyProjection.
    void applyPerspectiveTile(int i, int tile);

    // Gives each active view its area (letterboxed views the band between the
    // bars) and computes its viewport. viewCount is taken within 0 to 10.
    // With a view per monitor, views 2 and up take view 1's letterboxing and
    // fractions, and each monitor view lies in its monitor's area with bars
    // of its own height.
    void layout();

    // The view currently selected, or null when currentView is outside 0 to
    // 9 (only possible by writing the field directly).
    const View* selectedView() const;

    // The part of the window that the drawable being drawn shows, for a
    // window laid over several drawables (a surface on each of several
    // outputs): the drawable's bottom-left pixel is the window's (fromLeft,
    // fromBottom), and one window pixel is scale drawable pixels (an output that
    // draws at twice its logical size has 2). Every viewport reaches GL
    // through it, and the viewport limit is taken in drawable pixels. The
    // default, (0, 0) at scale 1, hands viewports to GL as they are. A scale
    // is taken within 1 to maxPartScale.
    void showPart(int fromLeft, int fromBottom, int scale);

    static constexpr int maxPartScale = 16;

    float extentX = 100.0f;
    float extentY = 100.0f;
    float fillAlpha = 1.0f;
    float left = 0.0f;
    float top = 100.0f;
    float right = 100.0f;
    float bottom = 0.0f;
    // Red, green, blue, alpha. Only the fill uses it.
    float clearColour[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    float width = 100.0f;
    float height = 100.0f;
    float barFraction = 0.0f;
    int viewCount = 1;
    int currentView = 0;
    View views[viewSetCapacity];

    // The monitors as setMonitors stored them (at most nine) ...
    ScreenRect monitors[monitorViewCapacity] = {};
    int monitorCount = 0;
    int monitorOriginX = 0;
    int monitorOriginY = 0;
    // ... and their areas in the window at its current size: monitorViewCount
    // of them, 0 when the whole window is one view.
    PixelArea monitorArea[monitorViewCapacity] = {};
    int monitorViewCount = 0;

    // The viewport limit; 0: none known.
    int maxViewportWidth = 0;
    int maxViewportHeight = 0;

    // The part of the window shown (showPart).
    int shownLeft = 0;
    int shownBottom = 0;
    int shownScale = 1;

private:
    // glViewport of a rectangle of window pixels, through the part shown.
    void setViewport(const PixelTile& rectangle) const;
    // The viewport limit in window pixels: the drawable's over the scale.
    int limitWidth() const { return maxViewportWidth / shownScale; }
    int limitHeight() const { return maxViewportHeight / shownScale; }
    // viewCount taken within 0 to 10.
    int configuredViewCount() const;
    void placeMonitors();
    // Whether the background is a clear alone, of colour and depth.
    bool clearsColour() const;
    void paintMonitorBackgrounds() const;
    void layoutMonitorViews();
    // The view's area is the window, or the band between the bars when the
    // view is letterboxed.
    void layoutOverWindow(View& view) const;
};
