#include "scene/light_rig.h"

#include "math/trig.h"
#include "scene/sphere.h"

namespace {

// The marker's grid: coarse, it is only a few pixels across.
constexpr int markerSlices = 10;
constexpr int markerStacks = 10;

// Orbit: radius 2; angular rates 0.1 * 3 and 0.02 * 3 radians per second,
// formed as products so the doubles match the original factors.
constexpr double orbitRadius = 2.0;
constexpr double orbitTurnRate = 0.1 * 3.0;
constexpr double orbitRiseRate = 0.02 * 3.0;

}  // namespace

void LightRig::enableLight()
{
    applyLightPosition();
    if (hasValidLight()) {
        glEnable(glLight());
    }
}

void LightRig::applyLightPosition()
{
    position[0] = location[0];
    position[1] = location[1];
    position[2] = location[2];
    if (!hasValidLight()) {
        return;
    }
    glLightfv(glLight(), GL_POSITION, position);
    glLightfv(glLight(), GL_SPOT_DIRECTION, spotDirection);
}

void LightRig::setLightLocation(float x, float y, float z)
{
    location[0] = x;
    location[1] = y;
    location[2] = z;
    applyLightPosition();
}

void LightRig::drawLightMarker() const
{
    glColor3f(colour[0], colour[1], colour[2]);
    glPushMatrix();
    glTranslatef(location[0], location[1], location[2]);
    drawSphere(markerRadius, markerSlices, markerStacks, 1.0, 1.0, 0.0, 0.0);
    glPopMatrix();
}

void LightRig::orbit(double currentTime)
{
    location[0] = float(orbitRadius * sineOf(orbitTurnRate * currentTime));
    location[1] = float(orbitRadius * sineOf(orbitRiseRate * currentTime));
    location[2] = float(orbitRadius * cosineOf(orbitTurnRate * currentTime));
}
