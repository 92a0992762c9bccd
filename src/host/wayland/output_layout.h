// Where each output's surface lies in the scene's window, for the Monitors
// setting. Output rectangles are the compositor's logical layout (xdg-output
// positions and sizes: top-left origin, y down, right and bottom exclusive);
// a surface draws at its logical size times its output's integer scale.
//
// Monitors each: every output is a window of its own, one letterboxed view
// shaped by that output. Monitors span: the window is the bounding box of
// all outputs and each output shows its own part of the one view. Mirrored
// outputs (the same rectangle) show the same picture either way.
#pragma once

#include "animation/monitor_layout.h"
#include "settings/settings.h"

// What one surface draws: the scene laid out for a window of
// windowWidth x windowHeight logical pixels, of which the surface shows the
// part whose bottom-left corner is (partLeft, partBottom) in window pixels
// (bottom-left origin, y up, as ViewSet::showPart takes it), at scale drawable
// pixels per logical pixel.
struct SurfacePart {
    int windowWidth;
    int windowHeight;
    int partLeft;
    int partBottom;
    int scale;

    bool operator==(const SurfacePart& other) const
    {
        return windowWidth == other.windowWidth && windowHeight == other.windowHeight &&
               partLeft == other.partLeft && partBottom == other.partBottom && scale == other.scale;
    }
};

// The scale a surface draws at on an output of outputScale (wl_output's
// integer scale, whatever the compositor sends): within 1 to
// ViewSet::maxPartScale, the largest the views draw at. An output of a larger
// scale gets a buffer of that many pixels per logical pixel, which the
// compositor scales the rest of the way.
int drawScaleFor(int outputScale);

// The rectangle of an output that the compositor places at (x, y) with a
// size of width x height (xdg-output's logical numbers, or wl_output's
// position and mode divided by its scale): an edge beyond int's ends stops
// there.
ScreenRect outputPlace(int x, int y, int width, int height);

// The rectangle of an output from wl_output alone: at its position, its
// current mode over its scale (at least 1), the mode's width and height
// swapped where transform (wl_output's transform: 0 to 7, the odd ones a
// quarter turn, flipped or not) turns the output on its side.
ScreenRect modePlace(int x, int y, int modeWidth, int modeHeight, int scale, int transform);

// Whether the compositor has described an output enough to cover it:
// wl_output of version 2 and later ends its description with done, version
// 1 has no done and has described the output once it sent the current
// mode; where xdg-output was asked for, its logical size has come too.
bool outputDescribed(unsigned version, bool doneSeen, bool modeSeen, bool logicalSizeAwaited);

// A surface's side in logical pixels: the side a configure event gave, or
// where it gave 0 the output's own, from ownFrom to ownTo; at most what a
// drawable of ViewSet::maxPartScale pixels per logical pixel holds in int.
// 0 when there is no side yet.
int surfaceSide(int configured, int ownFrom, int ownTo);

// The smallest rectangle that holds every output with a width and height;
// all zero when none has.
ScreenRect outputBounds(const ScreenRect* outputs, int count);

// The part that the output's surface draws. bounds is outputBounds of every
// output; the part's scale is drawScaleFor(scale). Outputs without a width
// or height give a 1 x 1 window rather than none.
SurfacePart surfacePart(Monitors monitors, const ScreenRect& output, const ScreenRect& bounds, int scale);
