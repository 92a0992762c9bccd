#include "host/wayland/pointer_anchor.h"

void PointerAnchor::enter(int x, int y)
{
    anchored = true;
    anchorX = x;
    anchorY = y;
}

bool PointerAnchor::movedFarFrom(int x, int y)
{
    if (!anchored) {
        enter(x, y);
        return false;
    }
    return driftCloses(cursorDrift(anchorX, anchorY, x, y), moveThreshold);
}
