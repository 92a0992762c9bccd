// Each setting as the user sees it: the scene drawn offscreen with one
// setting changed gives another picture, and the default settings give the
// scene's own picture.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>

#include "driver/elapsed_time.h"
#include "driver/scene.h"
#include "driver/scene_config.h"
#include "driver/scene_director.h"
#include "driver/scene_settings.h"
#include "gl_api.h"
#include "offscreen_context.h"
#include "render_picture.h"
#include "settings/settings.h"

namespace {

std::uint64_t simulatedNow = 0;
std::uint64_t simulatedMilliseconds() { return simulatedNow; }

// Half a minute in: every oscillator has moved well away from its start.
constexpr std::uint64_t lookMs = 30000;

class SettingsRenderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string error;
        ASSERT_TRUE(context.open(320, 240, error)) << error;
        setMillisecondSource(simulatedMilliseconds);
    }

    void TearDown() override
    {
        releaseSceneResources();
        resetScene();
        context.close();
        setMillisecondSource(nullptr);
    }

    // A fresh scene built at time 0 with whatever configure sets, then its
    // first frame drawn at ms.
    Picture firstFrameAt(std::uint64_t ms, const std::function<void()>& configure)
    {
        releaseSceneResources();
        resetScene();
        simulatedNow = 0;
        configure();
        initGlState(context.width, context.height);
        simulatedNow = ms;
        drawFrame();
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
        Picture picture;
        picture.width = context.width;
        picture.height = context.height;
        context.readFrame(picture.rgb);
        return picture;
    }

    Picture withSettings(const Settings& settings, std::uint64_t ms = lookMs)
    {
        return firstFrameAt(ms, [&settings] { applySettings(settings); });
    }

    OffscreenContext context;
};

TEST_F(SettingsRenderTest, DefaultSettingsDrawTheScenesOwnPicture)
{
    const Picture own = firstFrameAt(lookMs, [] {});
    EXPECT_EQ(withSettings(Settings()).rgb, own.rgb);
}

TEST_F(SettingsRenderTest, EverySettingOfThePictureChangesIt)
{
    struct Case {
        const char* name;
        std::int32_t Settings::*field;
        std::int32_t value;
    };
    const Case cases[] = {
        {"Texture", &Settings::texture, 10},
        {"Texture", &Settings::texture, 8},
        {"Colour", &Settings::colour, 0x3366FF},
        {"Colour", &Settings::colour, 0xFFCC01},
        {"Speed", &Settings::speed, 25},
        {"Speed", &Settings::speed, 400},
        {"Bars", &Settings::bars, 0},
        {"Detail", &Settings::detail, 8},
        {"Detail", &Settings::detail, 100},
        {"Stars", &Settings::stars, 1},
        {"Particles", &Settings::particles, 1},
        {"Fog", &Settings::fog, 1},
        {"Underlay", &Settings::underlay, 1},
        {"Overlay", &Settings::overlay, 1},
    };
    const Picture plain = withSettings(Settings());
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " " + std::to_string(c.value));
        Settings settings;
        settings.*c.field = c.value;
        EXPECT_NE(withSettings(settings).rgb, plain.rgb);
    }
}

TEST_F(SettingsRenderTest, StarsShowThroughTheBall)
{
    Settings stars;
    stars.stars = 1;
    // The same translucent ball without the star field: what the stars add
    // is what differs.
    const Picture translucentBall = firstFrameAt(lookMs, [&stars] {
        applySettings(stars);
        sceneConfig.switches.starFieldEnabled = 0;
    });
    const Picture withStars = withSettings(stars);
    int brighter = 0;
    for (int y = 0; y < withStars.height; ++y) {
        for (int x = 0; x < withStars.width; ++x) {
            const Rgb star = withStars.at(x, y);
            const Rgb ball = translucentBall.at(x, y);
            brighter += star.red + star.green + star.blue > ball.red + ball.green + ball.blue + 60 ? 1 : 0;
        }
    }
    EXPECT_GT(brighter, 20) << "pixels where a star lights the ball up";
}

TEST_F(SettingsRenderTest, WithoutBarsTheBallFillsTheWindow)
{
    // A moment when the bars are high.
    constexpr std::uint64_t barsMs = 20000;
    const Rgb black = {0, 0, 0};
    const Picture barred = withSettings(Settings(), barsMs);
    ASSERT_GT(barred.rowsFromBottom(black), 4);
    ASSERT_GT(barred.rowsFromTop(black), 4);

    Settings noBars;
    noBars.bars = 0;
    const Picture picture = withSettings(noBars, barsMs);
    EXPECT_EQ(picture.rowsFromBottom(black), 0);
    EXPECT_EQ(picture.rowsFromTop(black), 0);
}

// The scene sees the clock's time multiplied by Speed / 100: the first frame
// at Speed s drawn at time t is the first frame at Speed 100 drawn at s * t /
// 100, the same bytes.
TEST_F(SettingsRenderTest, SpeedScalesTheTimeTheSceneSees)
{
    struct Case {
        std::int32_t speed;
        std::uint64_t ms;
        std::uint64_t designedMs;  // the same moment at the designed speed
    };
    const Case cases[] = {
        {200, 7000, 14000},
        {400, 7000, 28000},
        {50, 14000, 7000},
        {25, 28000, 7000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("Speed " + std::to_string(c.speed));
        Settings designed;
        Settings changed;
        changed.speed = c.speed;
        const Picture expected = withSettings(designed, c.designedMs);
        EXPECT_EQ(withSettings(changed, c.ms).rgb, expected.rgb);
        EXPECT_NE(withSettings(designed, c.ms).rgb, expected.rgb) << "the two moments differ at all";
    }
}

TEST_F(SettingsRenderTest, AHandFilledRecordIsValidatedBeforeTheScene)
{
    Settings bad;
    bad.texture = 12;  // a kind with no pattern: the default instead
    bad.colour = -1;
    bad.detail = 1000;  // clamped to 100
    Settings expected;
    expected.detail = 100;
    EXPECT_EQ(withSettings(bad).rgb, withSettings(expected).rgb);
}

}  // namespace
