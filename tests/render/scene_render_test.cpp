#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <set>
#include <string>

#include "driver/elapsed_time.h"
#include "driver/scene.h"
#include "driver/scene_config.h"
#include "driver/scene_director.h"
#include "gl_api.h"
#include "offscreen_context.h"
#include "render_picture.h"

namespace {

std::uint64_t simulatedNow = 0;
std::uint64_t simulatedMilliseconds() { return simulatedNow; }

constexpr Rgb black = {0, 0, 0};

// The band colour (0, 0, 0.075) in bytes: 0.075 * 255 = 19.1.
bool isBandColour(Rgb colour)
{
    return colour.red == 0 && colour.green == 0 && std::abs(colour.blue - 19) <= 1;
}

class SceneRenderTest : public ::testing::Test {
protected:
    static constexpr int width = 320;
    static constexpr int height = 240;

    void SetUp() override
    {
        resetScene();
        simulatedNow = 0;
        setMillisecondSource(simulatedMilliseconds);
        std::string error;
        ASSERT_TRUE(context.open(width, height, error)) << error;
    }

    void TearDown() override
    {
        releaseSceneResources();
        // Deletes the slots' textures while their context is current.
        resetScene();
        context.close();
        setMillisecondSource(nullptr);
    }

    void build() { initGlState(context.width, context.height); }

    // A fresh scene in the same context, with the configuration set by
    // configure.
    template <typename Configure>
    void rebuild(Configure configure)
    {
        releaseSceneResources();
        resetScene();
        simulatedNow = 0;
        configure();
        build();
    }

    Picture frameAt(std::uint64_t ms)
    {
        simulatedNow = ms;
        drawFrame();
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR)) << "at " << ms << " ms";
        Picture picture;
        picture.width = context.width;
        picture.height = context.height;
        context.readFrame(picture.rgb);
        return picture;
    }

    OffscreenContext context;
};

TEST_F(SceneRenderTest, BarsAreBlackAsHighAsOscillatorSevenSaysAndTheBallIsTextured)
{
    build();
    const Picture picture = frameAt(20000);

    const float f = scene.viewSet.barFraction;
    EXPECT_EQ(f, float(scene.oscillators[7].value()));
    ASSERT_GT(f, 0.02f) << "pick a time with visible bars";
    // The bottom bar ends where the band starts, at H * f; the top bar
    // reaches one pixel into the band, down to (1 - f) * H - 1.
    const double barHeight = height * double(f);
    EXPECT_NEAR(picture.rowsFromBottom(black), barHeight, 1.0);
    EXPECT_NEAR(picture.rowsFromTop(black), barHeight + 1.0, 1.0);

    // Inside the band the ball's texture shows: many colours, and a real
    // spread of brightness.
    const int bandLow = int(std::ceil(barHeight)) + 1;
    const int bandHigh = height - int(std::ceil(barHeight)) - 2;
    std::set<int> colours;
    double sum = 0.0;
    double sumOfSquares = 0.0;
    int count = 0;
    for (int y = bandLow; y <= bandHigh; ++y) {
        for (int x = 0; x < width; ++x) {
            const Rgb pixel = picture.at(x, y);
            colours.insert(pixel.red << 16 | pixel.green << 8 | pixel.blue);
            const double brightness = pixel.red + pixel.green + pixel.blue;
            sum += brightness;
            sumOfSquares += brightness * brightness;
            ++count;
        }
    }
    const double mean = sum / count;
    const double spread = std::sqrt(sumOfSquares / count - mean * mean);
    EXPECT_GT(colours.size(), 200u);
    EXPECT_GT(spread, 20.0);
    EXPECT_GT(mean, 30.0) << "the lit orange ball, not the dark band";
}

TEST_F(SceneRenderTest, WithoutViewsTheFirstFrameIsBarsAndTheBandColourOverTheWholeWindow)
{
    sceneConfig.switches.viewsEnabled = 0;
    build();
    // At the build's own time oscillator 7 stands at its start, 0.25.
    const Picture picture = frameAt(0);
    ASSERT_EQ(scene.viewSet.barFraction, 0.25f);

    const int bottomBar = picture.rowsFromBottom(black);
    const int topBar = picture.rowsFromTop(black);
    EXPECT_NEAR(bottomBar, height * 0.25, 1.0);
    EXPECT_NEAR(topBar, height * 0.25 + 1.0, 1.0);
    for (int y = bottomBar; y < height - topBar; ++y) {
        for (int x = 0; x < width; ++x) {
            ASSERT_TRUE(isBandColour(picture.at(x, y)))
                << "pixel " << x << ", " << y << " is " << picture.at(x, y).red << " " << picture.at(x, y).green
                << " " << picture.at(x, y).blue;
        }
    }
}

TEST_F(SceneRenderTest, EveryOptionalElementOnDrawsWithoutErrorAndChangesThePicture)
{
    build();
    const Picture plain = frameAt(30000);

    rebuild([] {
        SceneSwitches& switches = sceneConfig.switches;
        switches.starFieldEnabled = 1;
        switches.particlesEnabled = 1;
        switches.fogEnabled = 1;
        switches.underlayEnabled = 1;
        switches.overlayEnabled = 1;
    });
    EXPECT_EQ(glIsList(scene.starField.listId), GLboolean(GL_TRUE));
    EXPECT_GT(scene.particles.liveCount(), 0);
    frameAt(10000);
    const Picture everything = frameAt(30000);

    EXPECT_NE(everything.rgb, plain.rgb);
    std::set<int> colours;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const Rgb pixel = everything.at(x, y);
            colours.insert(pixel.red << 16 | pixel.green << 8 | pixel.blue);
        }
    }
    EXPECT_GT(colours.size(), 50u);
}

TEST_F(SceneRenderTest, EachVisibleOptionalElementChangesThePicture)
{
    struct Case {
        const char* name;
        int SceneSwitches::*field;
    };
    // The star field is left out: it is drawn before the ball, which
    // surrounds the camera and covers it.
    const Case cases[] = {
        {"particles", &SceneSwitches::particlesEnabled},
        {"fog", &SceneSwitches::fogEnabled},
        {"underlay", &SceneSwitches::underlayEnabled},
        {"overlay", &SceneSwitches::overlayEnabled},
    };
    build();
    const Picture plain = frameAt(30000);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        rebuild([&c] { sceneConfig.switches.*c.field = 1; });
        EXPECT_NE(frameAt(30000).rgb, plain.rgb);
    }
}

TEST_F(SceneRenderTest, TwoFreshScenesDrawTheSamePicture)
{
    build();
    frameAt(500);
    const Picture first = frameAt(7000);
    rebuild([] {});
    frameAt(500);
    EXPECT_EQ(frameAt(7000).rgb, first.rgb);
}

TEST_F(SceneRenderTest, SmallAndOddSizesDraw)
{
    struct Case {
        int width;
        int height;
    };
    for (const Case c : {Case{1, 1}, Case{333, 77}, Case{17, 400}}) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
        releaseSceneResources();
        resetScene();
        std::string error;
        ASSERT_TRUE(context.open(c.width, c.height, error)) << error;
        simulatedNow = 0;
        build();
        const Picture picture = frameAt(2500);
        EXPECT_EQ(picture.rgb.size(), std::size_t(c.width) * std::size_t(c.height) * 3);
        EXPECT_TRUE(picture.rowIs(0, black)) << "the bottom bar";
    }
}

}  // namespace
