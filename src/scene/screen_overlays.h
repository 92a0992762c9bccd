// Screen-space quads and the two full-window texture passes drawn in view
// 0's pixel orthographic projection.
//
// Quad corners in the current projection's units (pixels in view 0);
// texture coordinates in repeats.
#pragma once

class Texture;
class ViewSet;

// One GL_QUADS primitive: texture (0, 0) at (x, y), (1, 0), (1, 1), (0, 1)
// counter-clockwise. Sets no other state.
void drawScreenQuad(float x, float y, float width, float height);

// The same corners with the texture repeated repeatS by repeatT times.
void drawScreenQuadTiled(float x, float y, float width, float height, float repeatS, float repeatT);

// The tiled quad with its texture coordinates shifted by the offsets.
void drawScreenQuadScrolled(float x, float y, float width, float height, float repeatS, float repeatT,
                            float offsetS, float offsetT);

// Lays the texture alpha-blended over the whole window (the view set's
// extent) after the background. Leaves blending and texturing off, depth and
// lighting as it found them.
void drawUnderlayPass(Texture& texture, const ViewSet& viewSet);

// Multiplies the finished frame by the texture over the whole window. Leaves
// blending, texturing, the depth test, depth writes and lighting off.
void drawOverlayPass(Texture& texture, const ViewSet& viewSet);
