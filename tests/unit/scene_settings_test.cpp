// The settings as the scene's configuration, against the recording GL: the
// default settings change no call and no texture byte, and each setting
// reaches the calls it is meant to change.
#include "driver/scene_settings.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "driver/elapsed_time.h"
#include "driver/scene.h"
#include "driver/scene_config.h"
#include "driver/scene_director.h"
#include "gl_recorder.h"
#include "scene/scene_switches.h"

namespace {

std::uint64_t fakeNow = 0;
std::uint64_t fakeMilliseconds() { return fakeNow; }

struct Recording {
    std::vector<std::string> calls;
    std::vector<std::vector<std::uint8_t>> uploads;
};

// A fresh scene configured by configure, built and drawn for a few frames;
// every call and every uploaded byte.
Recording recordScene(const std::function<void()>& configure)
{
    resetScene();
    glrec::reset();
    setMillisecondSource(fakeMilliseconds);
    fakeNow = 1000;
    configure();
    initGlState(800, 600);
    for (std::uint64_t ms : {40, 12345, 30000})
    {
        fakeNow = 1000 + ms;
        drawFrame();
    }
    releaseSceneResources();
    Recording recording{glrec::callTexts(), {}};
    for (const glrec::TextureUpload& upload : glrec::textureUploads())
        recording.uploads.push_back(upload.pixels);
    resetScene();
    setMillisecondSource(nullptr);
    return recording;
}

std::size_t countPrefixed(const std::vector<std::string>& calls, const std::string& prefix)
{
    std::size_t count = 0;
    for (const std::string& call : calls)
        count += call.compare(0, prefix.size(), prefix) == 0 ? 1 : 0;
    return count;
}

TEST(SceneSettings, DefaultSettingsLeaveEveryCallAndTextureByte)
{
    const Recording own = recordScene([] {});
    const Recording defaults = recordScene([] { applySettings(Settings()); });
    EXPECT_EQ(defaults.calls, own.calls);
    EXPECT_EQ(defaults.uploads, own.uploads);
    EXPECT_GT(own.calls.size(), 1000u);
    EXPECT_EQ(own.uploads.size(), 4u);
}

TEST(SceneSettings, DefaultSettingsLeaveTheConfigurationAsAfterAReset)
{
    resetScene();
    applySettings(Settings());
    const SceneConfig fresh;
    EXPECT_EQ(sceneConfig.ballTextureKind, fresh.ballTextureKind);
    for (int channel = 0; channel < 4; ++channel)
        EXPECT_EQ(sceneConfig.ballColour[channel], fresh.ballColour[channel]) << channel;
    EXPECT_EQ(sceneConfig.timeScale, fresh.timeScale);
    EXPECT_EQ(sceneConfig.ballGrid, fresh.ballGrid);
    EXPECT_EQ(sceneConfig.letterboxEnabled, fresh.letterboxEnabled);
    const SceneSwitches& switches = sceneConfig.switches;
    EXPECT_EQ(switches.starFieldEnabled + switches.shapeBlendEnabled + switches.particlesEnabled +
                  switches.fogEnabled + switches.underlayEnabled + switches.overlayEnabled,
              0);
    resetScene();
}

TEST(SceneSettings, TheBallsColourAndDetailReachTheShapePass)
{
    Settings settings;
    settings.colour = 0x336699;
    settings.detail = 8;
    const Recording recording = recordScene([&settings] { applySettings(settings); });
    EXPECT_EQ(countPrefixed(recording.calls, "glColor4f(0.2, 0.4, 0.6, 1)"), 3u) << "once a frame";
    // Per frame the light marker's 9 strips and the ball's 7.
    EXPECT_EQ(countPrefixed(recording.calls, "glBegin(" + std::to_string(GL_TRIANGLE_STRIP) + ")"), 3u * (9 + 7));
}

TEST(SceneSettings, TheTextureSettingChangesOnlyTheBallsImage)
{
    const Recording own = recordScene([] {});
    Settings settings;
    settings.texture = 10;  // CHECK
    const Recording check = recordScene([&settings] { applySettings(settings); });
    ASSERT_EQ(check.uploads.size(), own.uploads.size());
    EXPECT_EQ(check.uploads[0], own.uploads[0]) << "slots generated before the ball's keep their images";
    EXPECT_EQ(check.uploads[1], own.uploads[1]);
    EXPECT_NE(check.uploads[2], own.uploads[2]) << "the ball's slot";
}

TEST(SceneSettings, StarsMakeTheBallTranslucentThroughTheShapeBlending)
{
    Settings settings;
    settings.stars = 1;
    const Recording recording = recordScene([&settings] { applySettings(settings); });
    EXPECT_EQ(countPrefixed(recording.calls, "glColor4f(1, 0.8, 0, 0.6)"), 3u);
    EXPECT_EQ(countPrefixed(recording.calls, "glCallList("), 3u * 2) << "the star field, two passes a frame";
    EXPECT_EQ(countPrefixed(recording.calls, "glBlendFunc(" + std::to_string(GL_SRC_ALPHA) + ", " +
                                                 std::to_string(GL_ONE_MINUS_SRC_ALPHA) + ")"),
              countPrefixed(recording.calls, "glBlendFunc("))
        << "only the translucent blend";
}

TEST(SceneSettings, UnderlayMakesTheBallTranslucentSoThePassShows)
{
    Settings settings;
    settings.underlay = 1;
    const Recording recording = recordScene([&settings] { applySettings(settings); });
    EXPECT_EQ(countPrefixed(recording.calls, "glColor4f(1, 0.8, 0, 0.6)"), 3u);
    EXPECT_EQ(countPrefixed(recording.calls, "glCallList("), 0u) << "no star field";
    EXPECT_GT(countPrefixed(recording.calls, "glBlendFunc(" + std::to_string(GL_SRC_ALPHA) + ", " +
                                                 std::to_string(GL_ONE_MINUS_SRC_ALPHA) + ")"),
              0u);
}

}  // namespace
