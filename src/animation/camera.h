// A view's camera: a body that places the eye, a perspective projection and
// the camera axes read back from GL for billboards.
//
// Distances in world units, angles in degrees, single precision except the
// field of view (double, as gluPerspective takes it). modelview is
// column-major as GL returns it.
#pragma once

#include "math/body.h"

class ViewSet;

class Camera {
public:
    // Perspective projection with the aspect of the viewport set's current
    // view (not necessarily this camera's), then the modelview matrix at the
    // identity. A viewport without a positive, finite aspect (zero or
    // negative size, a minimised window, bars covering the band) uses aspect
    // 1, so no infinite or NaN aspect reaches GL.
    void applyProjection(const ViewSet& viewSet) const;

    // The same projection cut down to a part of the viewport: clip space is
    // scaled by (scaleX, scaleY) and shifted by (shiftX, shiftY) before the
    // perspective, so that the part, drawn in a viewport of its own, shows
    // what it shows in the whole view.
    void applyProjectionPart(const ViewSet& viewSet, float scaleX, float scaleY, float shiftX, float shiftY) const;

    // Multiplies the camera transform onto the current modelview matrix: the
    // look-at from (0, 0, eyeDistance), the three turns, the translation; then
    // reads the matrix back into modelview, rightAxis and upAxis.
    void applyView();

    Body body;
    double fieldOfView = 90.0;
    float billboardAngles[3] = {0.0f, 0.0f, 0.0f};
    float nearPlane = 0.1f;
    float farPlane = 100.0f;
    float eyeDistance = 1.0f;
    // Until the first applyView these hold what a fresh GL context answers:
    // the identity matrix and its axes.
    float rightAxis[3] = {1.0f, 0.0f, 0.0f};
    float upAxis[3] = {0.0f, 1.0f, 0.0f};
    float modelview[16] = {1.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f,
                           0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f};
};
