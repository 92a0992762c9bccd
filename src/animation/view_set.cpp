#include "animation/view_set.h"

#include "gl_api.h"

namespace {
bool isViewIndex(int i) { return i >= 0 && i < viewSetCapacity; }
}

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
    const float w = width;
    const float h = height;
    const float f = barFraction;

    glDepthMask(GL_TRUE);
    if (f == 0.0f && fillAlpha == 1.0f) {
        // GL's clear colour is its default black: nothing ever sets it.
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        return;
    }

    // The colour buffer keeps the previous frame, which a translucent fill
    // lets show through as trails.
    glClear(GL_DEPTH_BUFFER_BIT);
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

void ViewSet::applyViewport(int i)
{
    if (!isViewIndex(i))
        return;
    currentView = i;
    views[i].applyViewport();
}

void ViewSet::applyOrtho(int i)
{
    if (!isViewIndex(i))
        return;
    currentView = i;
    views[i].applyOrtho();
}

void ViewSet::layout()
{
    const int activeViews = viewCount < 0 ? 0 : (viewCount > viewSetCapacity ? viewSetCapacity : viewCount);
    for (int i = 0; i < activeViews; ++i) {
        View& view = views[i];
        if (view.letterboxed == 0) {
            view.setArea(left, bottom, right, top);
        } else {
            const float inset = extentY * barFraction;
            view.setArea(left, bottom + inset, right, top - inset);
        }
        view.computeViewport();
    }
}

const View* ViewSet::selectedView() const { return isViewIndex(currentView) ? &views[currentView] : nullptr; }
