// The pointer's part of the dismissal rules on a Wayland desktop: movement
// of more than the threshold (dismissal_rules.h) from where the pointer
// entered a surface ends the program. The compositor reports positions in
// each surface's own logical pixels, so entering another output's surface
// anchors the pointer afresh there: the jump between surfaces is not
// movement by itself.
#pragma once

#include <cstdint>

#include "host/dismissal_rules.h"

class PointerAnchor {
public:
    explicit PointerAnchor(std::uint32_t threshold = defaultMoveThreshold) : moveThreshold(threshold) {}

    // The pointer entered a surface at (x, y) of that surface.
    void enter(int x, int y);
    // The pointer left every surface: motion reports come again only after
    // an enter.
    void leave() { anchored = false; }

    // The pointer moved to (x, y) of the surface it entered last: whether
    // that is far enough from the anchor to end the program. Motion without
    // an anchor (never entered) anchors there.
    bool movedFarFrom(int x, int y);

private:
    std::uint32_t moveThreshold;
    bool anchored = false;
    int anchorX = 0;
    int anchorY = 0;
};
