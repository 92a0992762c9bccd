#include "scene/particle_system.h"

#include "animation/camera.h"
#include "gl_api.h"
#include "math/random.h"
#include "scene/blend_mode.h"
#include "textures/texture.h"

namespace {

// One particle in ten takes the wide colour range.
constexpr double rareColourChance = 0.1;
// One particle in four pulses.
constexpr double fadingChance = 0.25;
constexpr double hollowCap = 0.9;
constexpr double hollowPadding = 0.01;
// The wrap box's half-width as a fraction of outerSize.
constexpr double wrapFraction = 0.35;

// Moves p by one box width towards the box [centre + low, centre + high].
void wrapAxis(float& p, float centre, float low, float high, float width)
{
    if (centre + high < p) {
        p -= width;
    } else if (p < centre + low) {
        p += width;
    }
}

}  // namespace

int ParticleSystem::liveCount() const
{
    if (count < 0) {
        return 0;
    }
    return count < particleCapacity ? count : particleCapacity;
}

void ParticleSystem::spawn()
{
    const float half = float(outerSize * 0.5);
    count = liveCount();
    if (hollowCap * outerSize < innerSize) {
        innerSize = float(hollowCap * outerSize);
    }
    const float innerHalf = float(innerSize * 0.5 + hollowPadding);
    if (!shellIsOpen(half, innerHalf)) {
        count = 0;
        return;
    }

    for (int i = 0; i < count; ++i) {
        ShellPoint point;
        if (!drawShellPoint(shape, half, innerHalf, point)) {
            count = i;
            return;
        }
        const bool rare = randomUniform(1.0) < rareColourChance;
        const float base = rare ? colourLow : colourHigh;
        const float spread = rare ? colourHigh : colourLow;
        red[i] = base + randomUniform(spread);
        green[i] = base + randomUniform(spread);
        blue[i] = base + randomUniform(spread);

        x[i] = float(point.x);
        y[i] = float(point.y);
        z[i] = float(point.z);

        if (randomUniform(1.0) < fadingChance) {
            const float power = randomPowered(2);
            fadeRate[i] = float(randomUniform(20.0) * power + 0.5);
        } else {
            fadeRate[i] = 0.0f;
        }
        brightness[i] = 1.0f;
    }
}

void ParticleSystem::step(float dt, float speedRange)
{
    const int live = liveCount();
    float* const velocities[3] = {vx, vy, vz};
    for (int i = 0; i < live; ++i) {
        x[i] += dt * vx[i];
        y[i] += dt * vy[i];
        z[i] += dt * vz[i];
        if (randomUniform(1.0) < dt) {
            const int axis = int(randomUniform(3.0));
            velocities[axis][i] = randomUniform(speedRange) - speedRange / 2;
        }
    }
}

void ParticleSystem::draw(const Camera& camera, float alphaFactor) const
{
    if (alphaTest) {
        glEnable(GL_ALPHA_TEST);
        glAlphaFunc(GL_GREATER, alphaRef);
    } else {
        glDisable(GL_ALPHA_TEST);
    }
    const int live = liveCount();
    if (live == 0) {
        return;
    }
    if (blend) {
        applyBlendMode(sourceIndex, destIndex);
        glEnable(GL_BLEND);
    } else {
        glDisable(GL_BLEND);
    }
    if (depthTest) {
        glEnable(GL_DEPTH_TEST);
    } else {
        glDisable(GL_DEPTH_TEST);
    }
    glDepthMask(depthWrite ? GL_TRUE : GL_FALSE);
    if (texture != nullptr) {
        glEnable(GL_TEXTURE_2D);
        texture->bind();
    }

    const Vec3 right(camera.rightAxis[0] * size, camera.rightAxis[1] * size,
                     camera.rightAxis[2] * size);
    const Vec3 up(camera.upAxis[0] * size, camera.upAxis[1] * size, camera.upAxis[2] * size);
    const float alpha = alphaFactor * opacity;
    for (int i = 0; i < live; ++i) {
        const Vec3 p(x[i], y[i], z[i]);
        const Vec3 lowLeft = p - right - up;
        const Vec3 lowRight = p + right - up;
        const Vec3 highRight = p + right + up;
        const Vec3 highLeft = p - right + up;
        glColor4f(red[i] * brightness[i], green[i] * brightness[i], blue[i] * brightness[i], alpha);
        glBegin(GL_QUADS);
        glTexCoord2f(0.0f, 0.0f);
        glVertex3f(lowLeft.x, lowLeft.y, lowLeft.z);
        glTexCoord2f(1.0f, 0.0f);
        glVertex3f(lowRight.x, lowRight.y, lowRight.z);
        glTexCoord2f(1.0f, 1.0f);
        glVertex3f(highRight.x, highRight.y, highRight.z);
        glTexCoord2f(0.0f, 1.0f);
        glVertex3f(highLeft.x, highLeft.y, highLeft.z);
        glEnd();
    }

    if (alphaTest) {
        glDisable(GL_ALPHA_TEST);
    }
    if (blend) {
        glDisable(GL_BLEND);
    }
    if (depthTest) {
        glDisable(GL_DEPTH_TEST);
    }
    if (depthWrite) {
        glDepthMask(GL_FALSE);
    }
    if (texture != nullptr) {
        glDisable(GL_TEXTURE_2D);
    }
}

void ParticleSystem::wrapAround(float dt, const Camera& camera)
{
    const int live = liveCount();
    if (live == 0) {
        return;
    }
    wrapHigh = float(wrapFraction * outerSize);
    wrapLow = -wrapHigh;
    const float width = 2.0f * wrapHigh;
    // z is compared with the camera's z unchanged, as the camera stores it.
    const Vec3& eye = camera.body.position;
    for (int i = 0; i < live; ++i) {
        wrapAxis(x[i], eye.x, wrapLow, wrapHigh, width);
        wrapAxis(y[i], eye.y, wrapLow, wrapHigh, width);
        wrapAxis(z[i], eye.z, wrapLow, wrapHigh, width);
        if (fadeRate[i] != 0.0f) {
            brightness[i] += dt * fadeRate[i];
            if (fadeRate[i] < 0.0f && brightness[i] < 0.0f) {
                brightness[i] = 0.0f;
                fadeRate[i] = -fadeRate[i];
            } else if (fadeRate[i] > 0.0f && brightness[i] > 1.0f) {
                brightness[i] = 1.0f;
                fadeRate[i] = -fadeRate[i];
            }
        }
    }
}
