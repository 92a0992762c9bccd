#include "driver/scene_build.h"

#include <cstdint>

#include "driver/scene.h"
#include "driver/scene_config.h"
#include "gl_api.h"
#include "math/random.h"
#include "scene/scene_switches.h"

namespace {

// Texture images: 256 by 256 RGBA, no mipmaps.
constexpr int textureSide = 256;

// The fill is translucent during the build, so the first background takes
// the blended path (the first frame makes it opaque).
constexpr float buildFillAlpha = 0.2f;

// The band colour between the letterbox bars, also the fog colour.
constexpr float bandRed = 0.0f;
constexpr float bandGreen = 0.0f;
constexpr float bandBlue = 0.075f;

struct OscillatorSetting {
    double frequency;
    const double* drive;
    double amplitude;
    double offset;
};

// The camera wobble's range: the single-precision 0.7, centred on 0.
constexpr float wobbleAmplitude = 0.7f;
constexpr float wobbleOffset = wobbleAmplitude * -0.5f;

// A clock reading as the whole milliseconds the seed adds, wrapping at 2^32
// as a 32-bit count would. A reading beyond the 64-bit range (never met) or
// below 0 counts as 0 rather than an undefined conversion.
std::uint32_t wholeMilliseconds(double ms)
{
    constexpr double uint64Limit = 18446744073709551616.0;  // 2^64
    if (!(ms >= 0.0 && ms < uint64Limit))
        return 0;
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(ms));
}

void setViews()
{
    ViewSet& viewSet = scene.viewSet;
    viewSet.fillAlpha = buildFillAlpha;
    viewSet.barFraction = float(sceneValues.letterboxLevel);
    viewSet.setClearColour(bandRed, bandGreen, bandBlue, 1.0f);
    const int viewCount = sceneConfig.viewCount;
    viewSet.viewCount = viewCount < 1 ? 1 : (viewCount > viewSetCapacity ? viewSetCapacity : viewCount);

    View& perspectiveView = viewSet.views[1];
    perspectiveView.setFractions(0.0, 0.0, 1.0, 1.0);
    perspectiveView.letterboxed = sceneConfig.letterboxEnabled != 0 ? 1 : 0;
    Camera& camera = perspectiveView.camera;
    camera.fieldOfView = 80.0;
    camera.eyeDistance = 0.0f;
    camera.nearPlane = float(0.01 * sceneValues.sceneScale);
    camera.farPlane = float(4.0 * sceneValues.sceneScale);
}

void setFog()
{
    Fog& fog = scene.fog;
    fog.start = float(0.2 * sceneValues.sceneScale);
    fog.end = float(2.5 * sceneValues.sceneScale);
    fog.setFogColour(bandRed, bandGreen, bandBlue, 0.0f);
    fog.applyFog();
}

void setLight()
{
    LightRig& light = scene.light;
    light.colour[0] = light.colour[1] = light.colour[2] = 1.0f;
    light.markerRadius = 0.03f;
    light.enableLight();
}

void setMaterial()
{
    Material& material = scene.material;
    material.setMaterialLevels(0.4f, 0.7f, 0.99f, 1.0f);
    material.shininess = 4;
    material.colour[0] = material.colour[1] = material.colour[2] = 1.0f;
    material.applyMaterial(scene.light);
}

void setOscillators()
{
    const OscillatorSetting settings[sceneOscillatorCount] = {
        {0.1, &sceneValues.wobbleRate, wobbleAmplitude, wobbleOffset},
        {0.11, &sceneValues.wobbleRate, wobbleAmplitude, wobbleOffset},
        {0.14, &sceneValues.wobbleRate, wobbleAmplitude, wobbleOffset},
        {0.02, &sceneValues.turnRate, 260.0, -130.0},
        {0.022, &sceneValues.turnRate, 360.0, -180.0},
        {0.028, &sceneValues.turnRate, 360.0, -180.0},
        {0.3, &sceneValues.baseRate, 0.5, 0.15},
        {0.1, &sceneValues.baseRate, 0.25, 0.0},
    };
    for (int i = 0; i < sceneOscillatorCount; ++i) {
        Oscillator& oscillator = scene.oscillators[i];
        oscillator.frequency = settings[i].frequency;
        oscillator.drive = settings[i].drive;
        oscillator.amplitude = settings[i].amplitude;
        oscillator.offset = settings[i].offset;
    }
}

void buildStarField()
{
    StarField& stars = scene.starField;
    stars.count = 2000;
    // A translucent fill (as it is during the build) takes a third of the
    // stars.
    if (scene.viewSet.fillAlpha < 1.0f)
        stars.count /= 3;
    stars.passes = 2;
    stars.outerSize = 3.0 * sceneValues.sceneScale;
    stars.innerSize = 0.0 * stars.outerSize;  // no hollow
    stars.blend = 1;
    stars.depthTest = 0;
    stars.depthWrite = 0;
    stars.shape = upperHalfBallShell;
    stars.followCamera = 1;
    stars.fog = 0;
    stars.colourLow = 0.2;
    stars.colourHigh = 0.8;
    stars.build();
}

void spawnParticles()
{
    ParticleSystem& particles = scene.particles;
    particles.count = 6;
    particles.outerSize = float(2.0 * sceneValues.sceneScale);
    particles.innerSize = 0.0f * particles.outerSize;  // no hollow
    particles.opacity = 0.105f;
    particles.alphaTest = 1;
    particles.alphaRef = 0.01f;
    particles.blend = 1;
    particles.sourceIndex = 2;
    particles.destIndex = 3;
    particles.depthTest = 1;
    particles.depthWrite = 0;
    particles.fog = 1;
    particles.shape = upperHalfBallShell;
    particles.texture = &scene.textures[0];
    particles.size = 1.2f;
    particles.spawn();
}

void generateTextures()
{
    struct SlotImage {
        int slot;
        TextureKind kind;
    };
    // The order fixes which random numbers each image receives.
    const SlotImage images[] = {
        {0, TextureKind::Smoke},
        {9, TextureKind::Grain},
        {10, sceneConfig.ballTextureKind},
        {1, TextureKind::Sand},
    };
    for (const SlotImage& image : images)
        scene.textures[image.slot].generate(image.kind, textureSide, textureSide, GL_RGBA, false);
}

}  // namespace

void buildScene()
{
    sceneValues.sceneScale = sceneConfig.sceneScale;
    sceneValues.letterboxLevel = sceneConfig.letterboxLevel;
    setViews();
    setFog();
    setLight();
    setMaterial();
    // Whole-record copy: the switches are written in their order of
    // declaration, the order the scene lists them in.
    sceneSwitches = sceneConfig.switches;
    sceneValues.wobbleRate = sceneConfig.wobbleRate;
    sceneValues.turnRate = sceneConfig.turnRate;
    sceneValues.baseRate = sceneConfig.baseRate;
    for (int channel = 0; channel < 4; ++channel)
        sceneValues.ballColour[channel] = sceneConfig.ballColour[channel];
    sceneValues.ballGrid = sceneConfig.ballGrid;
    setOscillators();

    scene.clock.timeScale = sceneConfig.timeScale;
    scene.clock.tick();
    // The first reading is 0 ms, so the seed is the same on every run.
    randomSeed(sceneSeed + wholeMilliseconds(scene.clock.elapsedMs));

    if (sceneSwitches.starFieldEnabled)
        buildStarField();
    if (sceneSwitches.particlesEnabled)
        spawnParticles();
    generateTextures();
}
