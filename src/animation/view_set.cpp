#include "animation/view_set.h"

#include <algorithm>
#include <climits>
#include <cstdint>

#include "gl_api.h"

namespace {
bool isViewIndex(int i) { return i >= 0 && i < viewSetCapacity; }

// One quad, corners counter-clockwise from the bottom left, inside a
// glBegin(GL_QUADS) batch.
void quad(float left, float bottom, float right, float top)
{
    glVertex2f(left, bottom);
    glVertex2f(right, bottom);
    glVertex2f(right, top);
    glVertex2f(left, top);
}

// The band's fill as drawBackground paints it for a window of the monitor's
// height: from H * f up to (1 - f) * H - 1, one pixel short of the top bar.
void bandFill(const PixelArea& monitor, float f)
{
    const float h = monitor.top - monitor.bottom;
    quad(monitor.left, monitor.bottom + h * f, monitor.right, monitor.bottom + (1.0f - f) * h - 1.0f);
}

// Both bars of one monitor, each reaching one pixel into the band.
void monitorBars(const PixelArea& monitor, float f)
{
    const float h = monitor.top - monitor.bottom;
    quad(monitor.left, monitor.bottom, monitor.right, monitor.bottom + h * f + 1.0f);
    quad(monitor.left, monitor.bottom + (1.0f - f) * h - 1.0f, monitor.right, monitor.top);
}
}  // namespace

ViewSet::ViewSet()
{
    barFraction = 0.0f;
    fillAlpha = 1.0f;
    resize(100.0f, 100.0f);
    setClearColour(0.0f, 0.0f, 0.0f, 1.0f);
    viewCount = 1;
    currentView = 0;
    views[0].letterboxed = 0;
    views[0].setFractions(0.0, 0.0, 1.0, 1.0);
    views[0].setArea(left, bottom, right, top);
    views[0].computeViewport();
}

void ViewSet::resize(float w, float h)
{
    width = w;
    height = h;
    left = 0.0f;
    bottom = 0.0f;
    right = w;
    top = h;
    extentX = right - left;
    extentY = top - bottom;
    placeMonitors();
}

void ViewSet::setMonitors(const ScreenRect* rects, int count, int originX, int originY)
{
    monitorCount = count < 0 ? 0 : (count > monitorViewCapacity ? monitorViewCapacity : count);
    for (int i = 0; i < monitorCount; ++i)
        monitors[i] = rects[i];
    monitorOriginX = originX;
    monitorOriginY = originY;
    placeMonitors();
}

void ViewSet::placeMonitors()
{
    monitorViewCount = monitorAreas(monitors, monitorCount, monitorOriginX, monitorOriginY, width, height,
                                    monitorArea, monitorViewCapacity);
    // A lone monitor that is the window is the one whole-window view.
    if (monitorViewCount == 1 && coversWindow(monitorArea[0], width, height))
        monitorViewCount = 0;
}

int ViewSet::configuredViewCount() const
{
    return viewCount < 0 ? 0 : (viewCount > viewSetCapacity ? viewSetCapacity : viewCount);
}

int ViewSet::activeViewCount() const
{
    const int configured = configuredViewCount();
    // Monitor views replace view 1 and only where there is a view 1.
    if (monitorViewCount > 0 && configured >= 2)
        return 1 + monitorViewCount;
    return configured;
}

void ViewSet::setClearColour(float r, float g, float b, float a)
{
    clearColour[0] = r;
    clearColour[1] = g;
    clearColour[2] = b;
    clearColour[3] = a;
}

void ViewSet::drawBackground() const
{
    clearBackground();
    paintBackground();
}

bool ViewSet::clearsColour() const
{
    // With a view per monitor the clear paints the bars and the window
    // outside the monitors black; the bands follow.
    if (monitorViewCount > 0)
        return fillAlpha == 1.0f;
    return barFraction == 0.0f && fillAlpha == 1.0f;
}

void ViewSet::clearBackground() const
{
    glDepthMask(GL_TRUE);
    // GL's clear colour is its default black: nothing ever sets it. Otherwise
    // the colour buffer keeps the previous frame, which a translucent fill
    // lets show through as trails.
    glClear(clearsColour() ? GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT : GL_DEPTH_BUFFER_BIT);
}

void ViewSet::paintBackground() const
{
    if (monitorViewCount > 0) {
        paintMonitorBackgrounds();
        return;
    }
    if (clearsColour())
        return;

    const float w = width;
    const float h = height;
    const float f = barFraction;
    glDisable(GL_BLEND);

    // Each bar reaches one pixel into the band; the fill drawn last covers
    // that pixel at the bottom.
    const float bandBottom = h * f;
    const float bandTop = (1.0f - f) * h - 1.0f;
    glColor4f(0.0f, 0.0f, 0.0f, 1.0f);
    glBegin(GL_QUADS);
    glVertex2f(0.0f, 0.0f);
    glVertex2f(w, 0.0f);
    glVertex2f(w, bandBottom + 1.0f);
    glVertex2f(0.0f, bandBottom + 1.0f);
    glVertex2f(0.0f, bandTop);
    glVertex2f(w, bandTop);
    glVertex2f(w, h);
    glVertex2f(0.0f, h);
    glEnd();

    if (fillAlpha != 1.0f) {
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    }

    glColor4f(clearColour[0], clearColour[1], clearColour[2], fillAlpha);
    glBegin(GL_QUADS);
    glVertex2f(0.0f, bandBottom);
    glVertex2f(w, bandBottom);
    glVertex2f(w, bandTop);
    glVertex2f(0.0f, bandTop);
    glEnd();
}

void ViewSet::paintMonitorBackgrounds() const
{
    const float f = barFraction;
    if (fillAlpha == 1.0f) {
        // The clear left black everywhere, bars and the window outside the
        // monitors included; then each monitor's band.
        if (f == 0.0f)
            return;
        glDisable(GL_BLEND);
        glColor4f(clearColour[0], clearColour[1], clearColour[2], fillAlpha);
        glBegin(GL_QUADS);
        for (int i = 0; i < monitorViewCount; ++i)
            bandFill(monitorArea[i], f);
        glEnd();
        return;
    }

    // A translucent fill lets the previous frame show through, as on one
    // monitor. Outside the monitors nothing but black is ever drawn.
    glDisable(GL_BLEND);
    glColor4f(0.0f, 0.0f, 0.0f, 1.0f);
    glBegin(GL_QUADS);
    for (int i = 0; i < monitorViewCount; ++i)
        monitorBars(monitorArea[i], f);
    glEnd();
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(clearColour[0], clearColour[1], clearColour[2], fillAlpha);
    glBegin(GL_QUADS);
    for (int i = 0; i < monitorViewCount; ++i)
        bandFill(monitorArea[i], f);
    glEnd();
}

void ViewSet::applyViewport(int i)
{
    if (!isViewIndex(i))
        return;
    currentView = i;
    setViewport(views[i].truncatedViewport());
}

void ViewSet::applyOrtho(int i)
{
    if (!isViewIndex(i))
        return;
    currentView = i;
    views[i].applyOrtho();
}

void ViewSet::showPart(int fromLeft, int fromBottom, int scale)
{
    shownLeft = fromLeft;
    shownBottom = fromBottom;
    shownScale = std::clamp(scale, 1, maxPartScale);
}

void ViewSet::setViewport(const PixelTile& rectangle) const
{
    // In 64 bits and clamped: a part far out on a large layout must not
    // overflow the int GL takes.
    const auto toDrawable = [this](std::int64_t length) {
        return int(std::clamp<std::int64_t>(length * shownScale, INT_MIN, INT_MAX));
    };
    glViewport(toDrawable(std::int64_t(rectangle.x) - shownLeft), toDrawable(std::int64_t(rectangle.y) - shownBottom),
               toDrawable(rectangle.width), toDrawable(rectangle.height));
}

void ViewSet::setViewportLimit(int maxWidth, int maxHeight)
{
    maxViewportWidth = maxWidth >= smallestViewportLimit ? maxWidth : 0;
    maxViewportHeight = maxHeight >= smallestViewportLimit ? maxHeight : 0;
}

int ViewSet::tileCount(int i) const
{
    return isViewIndex(i) ? views[i].tileCount(limitWidth(), limitHeight()) : 1;
}

void ViewSet::applyOrthoTile(int i, int tile)
{
    if (tileCount(i) == 1) {
        applyViewport(i);
        applyOrtho(i);
        return;
    }
    currentView = i;
    const PixelTile part = views[i].tile(tile, limitWidth(), limitHeight());
    setViewport(part);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(part.x, part.x + part.width, part.y, part.y + part.height, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void ViewSet::applyPerspectiveTile(int i, int tile)
{
    if (tileCount(i) == 1) {
        applyViewport(i);
        if (isViewIndex(i))
            views[i].camera.applyProjection(*this);
        return;
    }
    currentView = i;
    const View& view = views[i];
    const PixelTile whole = view.truncatedViewport();
    const PixelTile part = view.tile(tile, limitWidth(), limitHeight());
    setViewport(part);
    // The part's edges in the whole view's clip coordinates (-1 to 1), then
    // the scale and shift that take them to the part's own -1 and 1.
    const float partLeft = 2.0f * float(part.x - whole.x) / float(whole.width) - 1.0f;
    const float partRight = 2.0f * float(part.x + part.width - whole.x) / float(whole.width) - 1.0f;
    const float partBottom = 2.0f * float(part.y - whole.y) / float(whole.height) - 1.0f;
    const float partTop = 2.0f * float(part.y + part.height - whole.y) / float(whole.height) - 1.0f;
    // A part of no size shows nothing; it keeps the whole projection rather
    // than an infinite scale.
    const float scaleX = part.width > 0 ? 2.0f / (partRight - partLeft) : 1.0f;
    const float scaleY = part.height > 0 ? 2.0f / (partTop - partBottom) : 1.0f;
    const float shiftX = part.width > 0 ? -0.5f * (partLeft + partRight) * scaleX : 0.0f;
    const float shiftY = part.height > 0 ? -0.5f * (partBottom + partTop) * scaleY : 0.0f;
    view.camera.applyProjectionPart(*this, scaleX, scaleY, shiftX, shiftY);
}

void ViewSet::layout()
{
    if (monitorViewCount > 0 && activeViewCount() > 1) {
        layoutMonitorViews();
        return;
    }
    const int activeViews = configuredViewCount();
    for (int i = 0; i < activeViews; ++i)
        layoutOverWindow(views[i]);
}

void ViewSet::layoutOverWindow(View& view) const
{
    if (view.letterboxed == 0) {
        view.setArea(left, bottom, right, top);
    } else {
        const float inset = extentY * barFraction;
        view.setArea(left, bottom + inset, right, top - inset);
    }
    view.computeViewport();
}

void ViewSet::layoutMonitorViews()
{
    layoutOverWindow(views[0]);
    const View& lead = views[1];
    for (int i = 1; i <= monitorViewCount; ++i) {
        View& view = views[i];
        if (i > 1) {
            view.letterboxed = lead.letterboxed;
            for (int corner = 0; corner < 4; ++corner)
                view.fraction[corner] = lead.fraction[corner];
        }
        const PixelArea area =
            view.letterboxed == 0 ? monitorArea[i - 1] : letterboxBand(monitorArea[i - 1], barFraction);
        view.setArea(area.left, area.bottom, area.right, area.top);
        view.computeViewport();
    }
}

const View* ViewSet::selectedView() const { return isViewIndex(currentView) ? &views[currentView] : nullptr; }
