#include "driver/scene_settings.h"

#include "driver/scene_config.h"

namespace {

// The ball's opacity while something is drawn behind it: the star field and
// the underlay pass come before the ball, which fills the band from around
// the camera, so they show only through a translucent ball. 0.6 lets them
// through without washing out the ball's pattern.
constexpr float translucentBallAlpha = 0.6f;

// The designed speed, in percent.
constexpr double designedSpeed = 100.0;

// A colour channel, 0 to 255, as 0 to 1: 0xCC gives exactly 0.8f.
float channel(std::int32_t colour, int shift) { return float((colour >> shift) & 0xFF) / 255.0f; }

}  // namespace

void applySettings(const Settings& requested)
{
    Settings settings;
    for (int row = 0; row < settingCount; ++row) {
        const SettingInfo& info = settingTable[row];
        settings.*info.field = checkSetting(info, requested.*info.field).value;
    }

    sceneConfig.ballTextureKind = TextureKind(settings.texture);
    sceneConfig.ballColour[0] = channel(settings.colour, 16);
    sceneConfig.ballColour[1] = channel(settings.colour, 8);
    sceneConfig.ballColour[2] = channel(settings.colour, 0);
    sceneConfig.timeScale = settings.speed / designedSpeed;
    sceneConfig.letterboxEnabled = settings.bars;
    sceneConfig.ballGrid = settings.detail;

    SceneSwitches& switches = sceneConfig.switches;
    const bool drawnBehindBall = settings.stars != 0 || settings.underlay != 0;
    switches.starFieldEnabled = settings.stars;
    switches.shapeBlendEnabled = drawnBehindBall;
    sceneConfig.ballColour[3] = drawnBehindBall ? translucentBallAlpha : 1.0f;
    switches.particlesEnabled = settings.particles;
    switches.fogEnabled = settings.fog;
    switches.underlayEnabled = settings.underlay;
    switches.overlayEnabled = settings.overlay;
}
