// The window's views: its size in pixels, ten views, the letterboxed
// background and the layout of the active views.
//
// Lengths in pixels (window coordinates, origin at the bottom left), single
// precision. barFraction is the height of each letterbox bar as a fraction of
// the height; colours and fillAlpha are 0..1.
#pragma once

#include "animation/view.h"

constexpr int viewSetCapacity = 10;

class ViewSet {
public:
    // Stores the defaults and gives view 0 the whole 100 by 100 window. Calls
    // no GL: the global instance is built before any context exists, where a
    // glClearColor would have no effect, and GL's clear colour stays black.
    ViewSet();
    virtual ~ViewSet() = default;

    // Window size; the views keep their areas until the next layout.
    void resize(float w, float h);

    // Stores the fill colour; GL's clear colour is left alone.
    void setClearColour(float r, float g, float b, float a);

    // Clears, then paints the black bars and the fill between them in the
    // current pixel projection. With no bars and an opaque fill it is one
    // clear of colour and depth. A fill below full opacity leaves blending on.
    void drawBackground() const;

    // Selects view i and sets its viewport / its pixel projection. An index
    // outside 0 to 9 is ignored: nothing changes and GL is not called.
    void applyViewport(int i);
    void applyOrtho(int i);

    // Gives each active view its area (letterboxed views the band between the
    // bars) and computes its viewport. viewCount is taken within 0 to 10.
    void layout();

    // The view currently selected, or null when currentView is outside 0 to
    // 9 (only possible by writing the field directly).
    const View* selectedView() const;

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
};
