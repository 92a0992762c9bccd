#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "driver/elapsed_time.h"
#include "driver/scene.h"
#include "driver/scene_build.h"
#include "driver/scene_config.h"
#include "driver/scene_director.h"
#include "driver/scene_frame.h"
#include "math/random.h"
#include "scene/scene_switches.h"
#include "scene/sphere.h"
#include "scene_elements_test_support.h"
#include "textures/texture_generator.h"
#include "textures/texture_registry.h"

namespace {

constexpr int windowWidth = 800;
constexpr int windowHeight = 600;

// The test's millisecond source: the clock reads whatever the test sets.
std::uint64_t fakeNow = 0;
std::uint64_t fakeMilliseconds() { return fakeNow; }
// An arbitrary origin: the build's first reading counts as 0 from here.
constexpr std::uint64_t buildMoment = 5000;

// A chosen time for "one whole frame": no oscillator starts a fade in its
// step with the scene's seed, so every oscillator runs at full level.
constexpr std::uint64_t frameAfterBuildMs = 12345;

std::vector<glrec::Call> recordedCalls(const std::function<void()>& action)
{
    glrec::clearCalls();
    action();
    return glrec::calls();
}

std::vector<ExpectedCall> asExpected(const std::vector<glrec::Call>& calls)
{
    std::vector<ExpectedCall> expected;
    for (const glrec::Call& call : calls)
        expected.push_back({call.name, call.args});
    return expected;
}

void append(std::vector<ExpectedCall>& to, const std::vector<ExpectedCall>& more)
{
    to.insert(to.end(), more.begin(), more.end());
}

// The pixel-projection set-up of a view covering the whole window.
std::vector<ExpectedCall> wholeWindowOrtho(int width, int height)
{
    return {
        {"glViewport", {0, 0, double(width), double(height)}},
        {"glMatrixMode", {GL_PROJECTION}},
        {"glLoadIdentity", {}},
        {"glOrtho", {0, double(width), 0, double(height), -1, 1}},
        {"glMatrixMode", {GL_MODELVIEW}},
        {"glLoadIdentity", {}},
    };
}

// The background with bars of fraction f and a fill of the given alpha in
// the band colour, as the view set paints it.
std::vector<ExpectedCall> barsAndFill(float w, float h, float f, float alpha)
{
    const double bandBottom = h * f;
    const double bandTop = (1.0f - f) * h - 1.0f;
    std::vector<ExpectedCall> calls = {
        {"glDepthMask", {GL_TRUE}},
        {"glClear", {GL_DEPTH_BUFFER_BIT}},
        {"glDisable", {GL_BLEND}},
        {"glColor4f", {0, 0, 0, 1}},
        {"glBegin", {GL_QUADS}},
        {"glVertex2f", {0, 0}},
        {"glVertex2f", {w, 0}},
        {"glVertex2f", {w, float(bandBottom + 1.0f)}},
        {"glVertex2f", {0, float(bandBottom + 1.0f)}},
        {"glVertex2f", {0, bandTop}},
        {"glVertex2f", {w, bandTop}},
        {"glVertex2f", {w, h}},
        {"glVertex2f", {0, h}},
        {"glEnd", {}},
    };
    if (alpha != 1.0f) {
        calls.push_back({"glEnable", {GL_BLEND}});
        calls.push_back({"glBlendFunc", {GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA}});
    }
    append(calls, {
                      {"glColor4f", {0, 0, 0.075f, alpha}},
                      {"glBegin", {GL_QUADS}},
                      {"glVertex2f", {0, bandBottom}},
                      {"glVertex2f", {w, bandBottom}},
                      {"glVertex2f", {w, bandTop}},
                      {"glVertex2f", {0, bandTop}},
                      {"glEnd", {}},
                  });
    return calls;
}

// What an oscillator of the scene yields after one step of dt from its
// start at full level: phase = level * speed * dt * drive * frequency.
double valueAfterOneStep(double dt, double drive, double frequency, double amplitude, double offset)
{
    const double phase = 1.0 * 1.0 * dt * drive * frequency;
    return (std::cos(phase) * 0.5 + 0.5) * amplitude + offset;
}

std::size_t indexOf(const std::vector<glrec::Call>& calls, const std::string& name, std::size_t from = 0)
{
    for (std::size_t i = from; i < calls.size(); ++i) {
        if (calls[i].name == name)
            return i;
    }
    return calls.size();
}

class SceneDirectorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The old scene deletes its GL objects into the recorder it used;
        // the recorder is reset afterwards.
        resetScene();
        glrec::reset();
        fakeNow = buildMoment;
        setMillisecondSource(fakeMilliseconds);
    }

    void TearDown() override
    {
        setMillisecondSource(nullptr);
        resetScene();
        glrec::reset();
    }

    static void build() { initGlState(windowWidth, windowHeight); }

    static void drawFrameAt(std::uint64_t msAfterBuild)
    {
        fakeNow = buildMoment + msAfterBuild;
        drawFrame();
    }

    // The four images the build must upload: the generator run from the
    // seed, after whatever the elements before the textures drew.
    struct SlotImage {
        int slot;
        TextureKind kind;
        std::vector<std::uint8_t> pixels;
    };
    static std::vector<SlotImage> expectedImages(const std::function<void()>& drawsBeforeTextures)
    {
        randomSeed(sceneSeed);
        drawsBeforeTextures();
        std::vector<SlotImage> images = {
            {0, TextureKind::Smoke, {}},
            {9, TextureKind::Grain, {}},
            {10, TextureKind::Fog, {}},
            {1, TextureKind::Sand, {}},
        };
        for (SlotImage& image : images) {
            image.pixels.resize(256 * 256 * 4);
            int blobRadius = 12;
            EXPECT_EQ(generatePixels(image.kind, 256, 256, GL_RGBA, 100, blobRadius, image.pixels.data()),
                      generateOk);
        }
        return images;
    }

    static void expectUploads(const std::vector<SlotImage>& images)
    {
        const std::vector<glrec::TextureUpload>& uploads = glrec::textureUploads();
        ASSERT_EQ(uploads.size(), images.size());
        for (std::size_t i = 0; i < images.size(); ++i) {
            SCOPED_TRACE("upload " + std::to_string(i) + ", slot " + std::to_string(images[i].slot));
            const glrec::TextureUpload& upload = uploads[i];
            EXPECT_EQ(upload.function, "glTexImage2D");
            EXPECT_EQ(upload.boundName, scene.textures[images[i].slot].glName);
            EXPECT_EQ(upload.width, 256);
            EXPECT_EQ(upload.height, 256);
            EXPECT_EQ(upload.format, GLenum(GL_RGBA));
            EXPECT_EQ(upload.level, 0);
            EXPECT_TRUE(upload.pixels == images[i].pixels) << "pixels differ";
        }
    }
};

TEST_F(SceneDirectorTest, FreshSceneStartsAsAtProcessStart)
{
    build();
    drawFrameAt(40);
    ASSERT_EQ(glrec::liveTextures().size(), 4u);

    resetScene();

    EXPECT_TRUE(glrec::liveTextures().empty()) << "the old slots delete their textures";
    for (int i = 0; i < sceneOscillatorCount; ++i) {
        EXPECT_EQ(scene.oscillators[i].id, i);
        EXPECT_EQ(scene.oscillators[i].phase, 0.0);
    }
    EXPECT_EQ(nextOscillatorId, sceneOscillatorCount);
    EXPECT_EQ(randomState(), 0u);
    EXPECT_EQ(textureRegistry.count, 0);
    EXPECT_EQ(Texture::lastBoundName, ~GLuint{0});
    for (const Texture& slot : scene.textures) {
        EXPECT_EQ(slot.glName, 0u);
        EXPECT_EQ(slot.registryIndex, -1);
    }
    EXPECT_EQ(sceneSwitches.viewsEnabled, 0);
    EXPECT_EQ(sceneValues.shapeBlendSource, 1);
    EXPECT_EQ(sceneValues.shapeBlendDest, 6);
    EXPECT_EQ(scene.clock.currentTime, 0.0);
    EXPECT_EQ(scene.viewSet.width, 100.0f);
    EXPECT_EQ(scene.viewSet.viewCount, 1);
    EXPECT_EQ(scene.viewSet.views[1].camera.fieldOfView, 90.0);
    EXPECT_EQ(scene.light.markerRadius, 1.0f);
    EXPECT_EQ(scene.particles.texture, nullptr);
    EXPECT_EQ(sceneConfig.switches.viewsEnabled, 1) << "the configuration is back to the scene's";

    // The clock's origin is forgotten: the next build reads 0 again.
    fakeNow += 99999;
    glrec::reset();
    build();
    EXPECT_EQ(scene.clock.elapsedMs, 0.0);
}

TEST_F(SceneDirectorTest, BuildSendsFixedStateFogLightMaterialTexturesAndBlendedFirstBackground)
{
    const std::vector<glrec::Call> calls = recordedCalls(build);

    const std::size_t firstTextureCall = indexOf(calls, "glGenTextures");
    ASSERT_LT(firstTextureCall, calls.size());
    const std::vector<glrec::Call> before(calls.begin(), calls.begin() + long(firstTextureCall));
    expectCallsEqual(before, {
                                 // The fixed state.
                                 {"glLineWidth", {1}},
                                 {"glPointSize", {1}},
                                 {"glCullFace", {GL_FRONT}},
                                 {"glShadeModel", {GL_SMOOTH}},
                                 {"glPolygonMode", {GL_FRONT_AND_BACK, GL_FILL}},
                                 {"glLightModeli", {GL_LIGHT_MODEL_LOCAL_VIEWER, 1}},
                                 {"glHint", {GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST}},
                                 {"glDisable", {GL_DITHER}},
                                 {"glEnable", {GL_COLOR_MATERIAL}},
                                 {"glColorMaterial", {GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE}},
                                 {"glMateriali", {GL_FRONT_AND_BACK, GL_SHININESS, 30}},
                                 // Fog, 0.2 to 2.5 in the band colour.
                                 {"glFogi", {GL_FOG_MODE, GL_LINEAR}},
                                 {"glHint", {GL_FOG_HINT, GL_NICEST}},
                                 {"glFogfv", {GL_FOG_COLOR, 0, 0, 0.075f, 0}},
                                 {"glFogf", {GL_FOG_START, 0.2f}},
                                 {"glFogf", {GL_FOG_END, 2.5f}},
                                 // The light at its start location, enabled.
                                 {"glLightfv", {GL_LIGHT0, GL_POSITION, 1, 1, 1, 1}},
                                 {"glLightfv", {GL_LIGHT0, GL_SPOT_DIRECTION, 0, 0, 0}},
                                 {"glEnable", {GL_LIGHT0}},
                                 // The material with the white light.
                                 {"glLightModelfv", {GL_LIGHT_MODEL_AMBIENT, 0.4f, 0.4f, 0.4f, 1}},
                                 {"glMaterialfv", {GL_FRONT_AND_BACK, GL_SPECULAR, 1, 1, 1, 1}},
                                 {"glLightfv", {GL_LIGHT0, GL_AMBIENT, 0.4f, 0.4f, 0.4f, 1}},
                                 {"glLightfv", {GL_LIGHT0, GL_DIFFUSE, 0.7f, 0.7f, 0.7f, 1}},
                                 {"glLightfv", {GL_LIGHT0, GL_SPECULAR, 0.99f, 0.99f, 0.99f, 1}},
                                 {"glLightf", {GL_LIGHT0, GL_SPOT_EXPONENT, 1}},
                                 {"glLightf", {GL_LIGHT0, GL_SPOT_CUTOFF, 180}},
                                 {"glMateriali", {GL_FRONT_AND_BACK, GL_SHININESS, 4}},
                             });

    // The four uploads, nothing else in between, then the first background.
    std::size_t lastUpload = firstTextureCall;
    for (std::size_t i = firstTextureCall; i < calls.size(); ++i) {
        if (calls[i].name == "glTexImage2D")
            lastUpload = i;
    }
    const std::vector<std::string> textureCallNames = {"glGenTextures", "glBindTexture", "glTexParameteri",
                                                       "glTexEnvf",     "glPixelStorei", "glTexImage2D"};
    for (std::size_t i = firstTextureCall; i <= lastUpload; ++i) {
        EXPECT_NE(std::find(textureCallNames.begin(), textureCallNames.end(), calls[i].name),
                  textureCallNames.end())
            << "call " << i << ": " << calls[i].text();
    }
    expectUploads(expectedImages([] {}));

    // The views are laid out for the window before the first background, so
    // it covers the whole window; the fill of 0.2 takes the blended path.
    std::vector<ExpectedCall> after = {
        {"glDepthMask", {GL_FALSE}},
        {"glDisable", {GL_LIGHTING}},
    };
    append(after, wholeWindowOrtho(windowWidth, windowHeight));
    append(after, barsAndFill(windowWidth, windowHeight, 0.2f, 0.2f));
    expectCallsEqual(std::vector<glrec::Call>(calls.begin() + long(lastUpload) + 1, calls.end()), after);
}

TEST_F(SceneDirectorTest, BuildStoresTheScenesValues)
{
    build();

    EXPECT_EQ(sceneValues.sceneScale, 1.0);
    EXPECT_EQ(sceneValues.letterboxLevel, 0.2);
    EXPECT_EQ(sceneValues.wobbleRate, 1.8);
    EXPECT_EQ(sceneValues.turnRate, 1.2);
    EXPECT_EQ(sceneValues.baseRate, 1.0);
    const SceneSwitches& s = sceneSwitches;
    const std::vector<int> switches = {s.underlayEnabled,  s.viewsEnabled,     s.overlayEnabled, s.shapeBlendEnabled,
                                       s.cullingEnabled,   s.depthTestEnabled, s.fogEnabled,     s.lightingEnabled,
                                       s.starFieldEnabled, s.particlesEnabled, s.texturingEnabled};
    EXPECT_EQ(switches, (std::vector<int>{0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1}));

    const ViewSet& viewSet = scene.viewSet;
    EXPECT_EQ(viewSet.width, 800.0f);
    EXPECT_EQ(viewSet.height, 600.0f);
    EXPECT_EQ(viewSet.fillAlpha, 0.2f);
    EXPECT_EQ(viewSet.barFraction, 0.2f);
    EXPECT_EQ(viewSet.viewCount, 2);
    EXPECT_EQ(viewSet.clearColour[2], 0.075f);
    const View& view = viewSet.views[1];
    EXPECT_EQ(view.letterboxed, 1);
    EXPECT_EQ(view.camera.fieldOfView, 80.0);
    EXPECT_EQ(view.camera.eyeDistance, 0.0f);
    EXPECT_EQ(view.camera.nearPlane, 0.01f);
    EXPECT_EQ(view.camera.farPlane, 4.0f);

    struct Setting {
        double frequency;
        const double* drive;
        double amplitude;
        double offset;
    };
    const Setting settings[sceneOscillatorCount] = {
        {0.1, &sceneValues.wobbleRate, 0.7f, 0.7f * -0.5f},  {0.11, &sceneValues.wobbleRate, 0.7f, 0.7f * -0.5f},
        {0.14, &sceneValues.wobbleRate, 0.7f, 0.7f * -0.5f}, {0.02, &sceneValues.turnRate, 260, -130},
        {0.022, &sceneValues.turnRate, 360, -180},           {0.028, &sceneValues.turnRate, 360, -180},
        {0.3, &sceneValues.baseRate, 0.5, 0.15},             {0.1, &sceneValues.baseRate, 0.25, 0},
    };
    for (int i = 0; i < sceneOscillatorCount; ++i) {
        SCOPED_TRACE("oscillator " + std::to_string(i));
        const Oscillator& oscillator = scene.oscillators[i];
        EXPECT_EQ(oscillator.frequency, settings[i].frequency);
        EXPECT_EQ(oscillator.drive, settings[i].drive);
        EXPECT_EQ(oscillator.amplitude, settings[i].amplitude);
        EXPECT_EQ(oscillator.offset, settings[i].offset);
        EXPECT_EQ(oscillator.speed, 1.0);
        EXPECT_EQ(oscillator.level, 1.0);
    }

    EXPECT_EQ(scene.clock.elapsedMs, 0.0);
    EXPECT_EQ(scene.clock.currentTime, 0.0);
    EXPECT_EQ(scene.clock.timeStep, 0.0);
    EXPECT_EQ(scene.light.markerRadius, 0.03f);
    EXPECT_EQ(scene.material.shininess, 4);
    EXPECT_EQ(scene.fog.end, 2.5f);
    // Switched off: left at their defaults, no list, no particles placed.
    EXPECT_EQ(scene.starField.listId, 0u);
    EXPECT_EQ(scene.starField.count, 10);
    EXPECT_EQ(scene.particles.count, 100);

    const std::vector<std::string> registered = {textureRegistry.names[0], textureRegistry.names[1],
                                                 textureRegistry.names[2], textureRegistry.names[3]};
    EXPECT_EQ(registered, (std::vector<std::string>{"SMOKE", "GRAIN", "FOG", "SAND"}));
    EXPECT_EQ(textureRegistry.count, 4);
}

TEST_F(SceneDirectorTest, TwoBuildsUploadTheSameTextures)
{
    build();
    std::vector<std::vector<std::uint8_t>> first;
    for (const glrec::TextureUpload& upload : glrec::textureUploads())
        first.push_back(upload.pixels);
    const std::uint32_t stateAfterFirst = randomState();

    resetScene();
    glrec::reset();
    fakeNow = buildMoment + 777;  // a later start changes nothing
    setMillisecondSource(fakeMilliseconds);
    build();

    ASSERT_EQ(glrec::textureUploads().size(), first.size());
    for (std::size_t i = 0; i < first.size(); ++i)
        EXPECT_TRUE(glrec::textureUploads()[i].pixels == first[i]) << "upload " << i;
    EXPECT_EQ(randomState(), stateAfterFirst);
}

TEST_F(SceneDirectorTest, OneWholeFrameAtAChosenTime)
{
    build();
    const double dt = double(frameAfterBuildMs) * 0.001;
    const std::vector<glrec::Call> frame = recordedCalls([] { drawFrameAt(frameAfterBuildMs); });
    for (const Oscillator& oscillator : scene.oscillators)
        ASSERT_EQ(oscillator.level, 1.0) << "the chosen time must start no fade";

    // Oscillator 7 sets the bars.
    const float f = float(valueAfterOneStep(dt, 1.0, 0.1, 0.25, 0.0));
    EXPECT_EQ(scene.viewSet.barFraction, f);
    // View 1 fills the band between the bars.
    const float bandBottom = 600.0f * f;
    const float bandHeight = (600.0f - bandBottom) - bandBottom;
    const float viewportHeight = (1.0f * bandHeight + bandBottom) - (0.0f * bandHeight + bandBottom);
    // The camera from oscillators 0 to 5.
    const float x = float(valueAfterOneStep(dt, 1.8, 0.1, 0.7f, 0.7f * -0.5f));
    const float y = float(valueAfterOneStep(dt, 1.8, 0.11, 0.7f, 0.7f * -0.5f));
    const float z = float(valueAfterOneStep(dt, 1.8, 0.14, 0.7f, 0.7f * -0.5f));
    const float turnX = float(valueAfterOneStep(dt, 1.2, 0.02, 260, -130));
    const float turnY = float(valueAfterOneStep(dt, 1.2, 0.022, 360, -180));
    const float turnZ = float(valueAfterOneStep(dt, 1.2, 0.028, 360, -180));
    // The light on its orbit at the frame's time.
    const float lightX = float(2.0 * std::sin(0.1 * 3.0 * dt));
    const float lightY = float(2.0 * std::sin(0.02 * 3.0 * dt));
    const float lightZ = float(2.0 * std::cos(0.1 * 3.0 * dt));
    const double slot10 = scene.textures[10].glName;

    std::vector<ExpectedCall> expected = {
        {"glDepthMask", {GL_FALSE}},
        {"glDisable", {GL_LIGHTING}},
    };
    append(expected, wholeWindowOrtho(windowWidth, windowHeight));
    append(expected, barsAndFill(windowWidth, windowHeight, f, 1.0f));
    append(expected, {
                         {"glViewport", {0, double(int(bandBottom)), 800, double(int(viewportHeight))}},
                         {"glMatrixMode", {GL_PROJECTION}},
                         {"glLoadIdentity", {}},
                         {"gluPerspective", {80, 800.0f / viewportHeight, 0.01f, 4}},
                         {"glMatrixMode", {GL_MODELVIEW}},
                         {"glLoadIdentity", {}},
                         {"gluLookAt", {0, 0, 0, 0, 0, -1, 0, 1, 0}},
                         {"glRotatef", {-turnX, 1, 0, 0}},
                         {"glRotatef", {-turnY, 0, 1, 0}},
                         {"glRotatef", {-turnZ, 0, 0, 1}},
                         {"glTranslatef", {-x, -y, z}},
                         {"glGetFloatv", {GL_MODELVIEW_MATRIX}},
                         {"glLightfv", {GL_LIGHT0, GL_POSITION, lightX, lightY, lightZ, 1}},
                         {"glLightfv", {GL_LIGHT0, GL_SPOT_DIRECTION, 0, 0, 0}},
                         {"glColor3f", {1, 1, 1}},
                         {"glPushMatrix", {}},
                         {"glTranslatef", {lightX, lightY, lightZ}},
                     });
    const std::vector<ExpectedCall> marker =
        asExpected(recordedCalls([] { drawSphere(0.03f, 10, 10, 1.0, 1.0, 0.0, 0.0); }));
    const std::vector<ExpectedCall> ball = asExpected(recordedCalls([dt] { drawShapePass(dt); }));
    append(expected, marker);
    append(expected, {
                         {"glPopMatrix", {}},
                         {"glColor4f", {1, 0.8f, 0, 1}},
                         {"glBindTexture", {GL_TEXTURE_2D, slot10}},
                         {"glTexParameteri", {GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT}},
                         {"glTexParameteri", {GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT}},
                         {"glTexEnvf", {GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE}},
                         {"glDisable", {GL_BLEND}},
                         {"glEnable", {GL_CULL_FACE}},
                         {"glDisable", {GL_DEPTH_TEST}},
                         {"glDisable", {GL_FOG}},
                         {"glEnable", {GL_LIGHTING}},
                         {"glEnable", {GL_TEXTURE_2D}},
                         {"glDisable", {GL_ALPHA_TEST}},
                     });
    append(expected, ball);
    append(expected, {
                         {"glDisable", {GL_CULL_FACE}},
                         {"glDisable", {GL_LIGHTING}},
                         {"glDisable", {GL_TEXTURE_2D}},
                     });
    expectCallsEqual(frame, expected);

    EXPECT_EQ(scene.clock.timeStep, dt);
    EXPECT_EQ(scene.viewSet.views[1].camera.body.position.x, x);
    EXPECT_EQ(scene.viewSet.views[1].camera.body.angles.z, turnZ);
}

TEST_F(SceneDirectorTest, SlotTenIsBoundOnlyByTheFirstFrame)
{
    build();
    drawFrameAt(20);
    glrec::clearCalls();
    drawFrameAt(40);
    EXPECT_EQ(glrec::countCalls("glBindTexture"), 0u);
    EXPECT_EQ(glrec::boundTexture(), scene.textures[10].glName);
}

TEST_F(SceneDirectorTest, FirstFrameFillsOpaquelyAndSetsTheShapeBlendRows)
{
    build();
    // Until the first step the rows keep their start values; nothing draws
    // with them in between.
    EXPECT_EQ(sceneValues.shapeBlendSource, 1);
    EXPECT_EQ(sceneValues.shapeBlendDest, 6);
    EXPECT_EQ(scene.viewSet.fillAlpha, 0.2f);

    glrec::clearCalls();
    drawFrameAt(20);

    EXPECT_EQ(sceneValues.shapeBlendSource, 2);
    EXPECT_EQ(sceneValues.shapeBlendDest, 3);
    EXPECT_EQ(scene.viewSet.fillAlpha, 1.0f);
    const std::vector<glrec::Call> colours = callsNamed("glColor4f");
    ASSERT_GE(colours.size(), 2u);
    EXPECT_EQ(colours[1].args, (std::vector<double>{0, 0, 0.075f, 1})) << "the band is filled opaquely";
    EXPECT_EQ(glrec::countCalls("glBlendFunc"), 0u);
}

TEST_F(SceneDirectorTest, ShapeBlendingUsesSourceAlphaRowsFromTheFirstFrame)
{
    sceneConfig.switches.shapeBlendEnabled = 1;
    build();
    glrec::clearCalls();
    drawFrameAt(20);
    expectCallsEqual(callsNamed("glBlendFunc"), {{"glBlendFunc", {GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA}}});
}

TEST_F(SceneDirectorTest, StepOrderDecidesWhichOscillatorGetsWhichDraw)
{
    build();
    // A seed whose next draw starts a fade (generator value 0 to 3).
    std::uint32_t triggering = 1;
    for (;; ++triggering) {
        randomSeed(triggering);
        if (randomNext() <= 3)
            break;
    }
    struct Case {
        int first;   // stepped first: receives the triggering draw
        int second;  // stepped later
    };
    // 4 before 3, and 6 before 7.
    for (const Case c : {Case{4, 3}, Case{6, 7}, Case{0, 1}}) {
        SCOPED_TRACE("oscillators " + std::to_string(c.first) + " and " + std::to_string(c.second));
        // Every oscillator in mid-fade draws nothing, except the two at rest.
        for (Oscillator& oscillator : scene.oscillators) {
            oscillator.level = 0.5;
            oscillator.levelVelocity = 0.0;
        }
        scene.oscillators[c.first].level = 1.0;
        scene.oscillators[c.second].level = 1.0;
        scene.clock.timeStep = 0.01;
        randomSeed(triggering);
        stepScene();
        EXPECT_LT(scene.oscillators[c.first].levelVelocity, 0.0);
        EXPECT_EQ(scene.oscillators[c.second].levelVelocity, 0.0);
    }
}

TEST_F(SceneDirectorTest, SwitchedOnStarFieldHasAThirdOfItsStarsAndDrawsFirst)
{
    sceneConfig.switches.starFieldEnabled = 1;
    sceneConfig.switches.particlesEnabled = 1;
    const std::vector<glrec::Call> calls = recordedCalls(build);

    // The fill is translucent during the build: 2000 / 3 stars in two passes.
    EXPECT_EQ(scene.starField.count, 666);
    EXPECT_EQ(glrec::countCalls("glVertex3d"), 333u);
    ASSERT_NE(scene.starField.listId, 0u);
    EXPECT_EQ(scene.particles.count, 6);
    EXPECT_EQ(scene.particles.texture, &scene.textures[0]);
    EXPECT_LT(indexOf(calls, "glGenLists"), indexOf(calls, "glGenTextures"));

    // Stars, then particles, then the four textures take their draws.
    expectUploads(expectedImages([] {
        StarField stars;
        stars.count = 666;
        stars.passes = 2;
        stars.outerSize = 3.0;
        stars.innerSize = 0.0;
        stars.shape = upperHalfBallShell;
        stars.colourLow = 0.2;
        stars.colourHigh = 0.8;
        stars.build();
        ParticleSystem particles;
        particles.count = 6;
        particles.outerSize = 2.0f;
        particles.innerSize = 0.0f;
        particles.shape = upperHalfBallShell;
        particles.spawn();
    }));
}

TEST_F(SceneDirectorTest, FogIsSwitchedOffAfterStarsAndParticlesEvenWhenNeverOn)
{
    struct Case {
        int fogEnabled;
        std::vector<std::string> fogCalls;  // glEnable/glDisable of GL_FOG in order
    };
    // The stars' own fog flag is 0, the particles' 1: with fog switched on
    // only the particles (and the ball) are fogged.
    const Case cases[] = {
        {0, {"glDisable", "glDisable", "glDisable"}},
        {1, {"glDisable", "glEnable", "glDisable", "glEnable", "glDisable"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("fogEnabled " + std::to_string(c.fogEnabled));
        resetScene();
        glrec::reset();
        setMillisecondSource(fakeMilliseconds);
        sceneConfig.switches.starFieldEnabled = 1;
        sceneConfig.switches.particlesEnabled = 1;
        sceneConfig.switches.fogEnabled = c.fogEnabled;
        build();
        const std::vector<glrec::Call> frame = recordedCalls([] { drawFrameAt(30); });

        std::vector<std::string> fogCalls;
        for (const glrec::Call& call : frame) {
            if ((call.name == "glEnable" || call.name == "glDisable") && call.args[0] == GL_FOG)
                fogCalls.push_back(call.name);
        }
        EXPECT_EQ(fogCalls, c.fogCalls);

        // After the star field's last list replay and before the light of
        // the scene content; and as the frame's last call, after the
        // particles.
        std::size_t lastStarList = 0;
        for (std::size_t i = 0; i < frame.size(); ++i) {
            if (frame[i].name == "glCallList")
                lastStarList = i;
        }
        ASSERT_GT(lastStarList, 0u);
        std::size_t fogOffAfterStars = lastStarList;
        while (fogOffAfterStars < frame.size() &&
               !(frame[fogOffAfterStars].name == "glDisable" && frame[fogOffAfterStars].args[0] == GL_FOG))
            ++fogOffAfterStars;
        EXPECT_LT(fogOffAfterStars, indexOf(frame, "glLightfv", lastStarList));
        EXPECT_EQ(frame.back().name, "glDisable");
        EXPECT_EQ(frame.back().args[0], GL_FOG);
    }
}

TEST_F(SceneDirectorTest, OneViewDrawsOnlyTheBackground)
{
    sceneConfig.viewCount = 1;
    build();
    const std::vector<glrec::Call> frame = recordedCalls([] { drawFrameAt(25); });

    expectCallsEqual(callsNamed("glViewport"), {{"glViewport", {0, 0, windowWidth, windowHeight}}});
    EXPECT_EQ(glrec::countCalls("gluPerspective"), 0u);
    EXPECT_EQ(glrec::countCalls("glVertex3f"), 0u) << "no marker, no ball";
    EXPECT_EQ(frame.back().name, "glEnd") << "the background's fill is the last thing drawn";
}

TEST_F(SceneDirectorTest, SwitchedOffViewsLeaveOnlyTheBackgroundAndPasses)
{
    sceneConfig.switches.viewsEnabled = 0;
    sceneConfig.switches.underlayEnabled = 1;
    sceneConfig.switches.overlayEnabled = 1;
    build();
    glrec::clearCalls();
    drawFrameAt(25);

    EXPECT_EQ(glrec::countCalls("gluPerspective"), 0u);
    // Both passes lay slot 0 over the whole window in view 0's projection.
    EXPECT_EQ(glrec::countCalls("glViewport"), 2u);
    const std::vector<glrec::Call> binds = callsNamed("glBindTexture");
    ASSERT_EQ(binds.size(), 1u) << "the overlay finds slot 0 still bound";
    EXPECT_EQ(binds[0].args[1], scene.textures[0].glName);
}

TEST_F(SceneDirectorTest, OscillatorsMoveOnlyViewOnesCamera)
{
    sceneConfig.viewCount = 3;
    build();
    scene.viewSet.views[2].setFractions(0.5, 0.5, 1.0, 1.0);
    glrec::clearCalls();
    drawFrameAt(1500);

    const Camera& second = scene.viewSet.views[2].camera;
    EXPECT_EQ(second.body.position.x, 0.0f);
    EXPECT_EQ(second.body.angles.y, 0.0f);
    EXPECT_NE(scene.viewSet.views[1].camera.body.position.x, 0.0f);
    const std::vector<glrec::Call> lookAts = callsNamed("gluLookAt");
    ASSERT_EQ(lookAts.size(), 2u);
    // View 2's camera keeps its eye distance of 1.
    EXPECT_EQ(lookAts[1].args, (std::vector<double>{0, 0, 1, 0, 0, 0, 0, 1, 0}));
    EXPECT_EQ(glrec::countCalls("gluPerspective"), 2u);
}

TEST_F(SceneDirectorTest, ReleaseDeletesTheStarListOnlyWhenSwitchedOn)
{
    struct Case {
        int starFieldEnabled;
        std::size_t deleteListCalls;
    };
    for (const Case c : {Case{0, 0}, Case{1, 1}}) {
        SCOPED_TRACE("starFieldEnabled " + std::to_string(c.starFieldEnabled));
        resetScene();
        glrec::reset();
        setMillisecondSource(fakeMilliseconds);
        sceneConfig.switches.starFieldEnabled = c.starFieldEnabled;
        build();
        drawFrameAt(10);
        glrec::clearCalls();
        releaseSceneResources();
        EXPECT_EQ(glrec::countCalls("glDeleteLists"), c.deleteListCalls);
        EXPECT_TRUE(glrec::liveLists().empty());
        EXPECT_EQ(glrec::countCalls("glDeleteTextures"), 0u) << "textures stay with the context";
        EXPECT_EQ(glrec::liveTextures().size(), 4u);
    }
}

TEST_F(SceneDirectorTest, LightingSwitchedOffSkipsTheOrbitAndTheMarker)
{
    sceneConfig.switches.lightingEnabled = 0;
    build();
    glrec::clearCalls();
    drawFrameAt(1000);
    EXPECT_EQ(callsNamed("glLightfv").size(), 0u);
    EXPECT_EQ(glrec::countCalls("glColor3f"), 0u) << "no marker in the light's colour";
    EXPECT_EQ(scene.light.location[0], 1.0f) << "the light stays where the build left it";
}

TEST_F(SceneDirectorTest, OddWindowSizesDrawWithoutFault)
{
    struct Case {
        int width;
        int height;
    };
    for (const Case c : {Case{0, 0}, Case{1, 1}, Case{3000, 2}, Case{-5, 40}}) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
        resetScene();
        glrec::reset();
        setMillisecondSource(fakeMilliseconds);
        initGlState(c.width, c.height);
        drawFrameAt(16);
        drawFrameAt(33);
        for (const glrec::Call& viewport : callsNamed("glViewport")) {
            EXPECT_GE(viewport.args[2], 0.0);
            EXPECT_GE(viewport.args[3], 0.0);
        }
        for (const glrec::Call& perspective : callsNamed("gluPerspective")) {
            EXPECT_TRUE(std::isfinite(perspective.args[1]) && perspective.args[1] > 0.0);
        }
    }
}

TEST_F(SceneDirectorTest, ResizeKeepsTheSceneAndDrawsAtTheNewSize)
{
    // The same two frames without a resize: the random draws they leave.
    build();
    drawFrameAt(40);
    drawFrameAt(80);
    const std::uint32_t randomWithoutResize = randomState();
    TearDown();
    SetUp();

    build();
    drawFrameAt(40);
    const std::vector<GLuint> texturesBefore = glrec::liveTextures();
    glrec::clearCalls();
    resizeViews(1024, 300);
    EXPECT_TRUE(glrec::calls().empty()) << "the resize itself draws nothing";
    drawFrameAt(80);

    EXPECT_EQ(glrec::liveTextures(), texturesBefore);
    EXPECT_EQ(glrec::countCalls("glGenTextures"), 0u);
    EXPECT_EQ(glrec::countCalls("glTexImage2D"), 0u) << "no texture is uploaded again";
    EXPECT_EQ(randomState(), randomWithoutResize) << "no random draws beyond the frames' own";
    const std::vector<glrec::Call> viewports = callsNamed("glViewport");
    ASSERT_GE(viewports.size(), 2u);
    EXPECT_EQ(viewports[0].args, (std::vector<double>{0, 0, 1024, 300})) << "the background covers the new size";
    // View 1 keeps the band between the bars over the new width; its
    // perspective takes the new aspect.
    EXPECT_EQ(viewports[1].args[2], 1024.0);
    const std::vector<glrec::Call> perspectives = callsNamed("gluPerspective");
    ASSERT_FALSE(perspectives.empty());
    EXPECT_NEAR(perspectives[0].args[1], 1024.0 / viewports[1].args[3], 1e-3);
}

// A frame shown on two drawables: one step, the same picture drawn twice.
TEST_F(SceneDirectorTest, OneFrameOnTwoDrawablesStepsOnceAndDrawsTheSameCalls)
{
    build();
    drawFrameAt(40);
    const std::vector<glrec::Call> whole = recordedCalls([] { drawFrameAt(80); });
    const std::uint32_t randomAfterWhole = randomState();
    TearDown();
    SetUp();

    build();
    drawFrameAt(40);
    fakeNow = buildMoment + 80;
    EXPECT_TRUE(recordedCalls(advanceFrame).empty()) << "stepping calls no GL";
    const std::vector<glrec::Call> first = recordedCalls(drawCurrentFrame);
    const std::vector<glrec::Call> second = recordedCalls(drawCurrentFrame);
    const auto texts = [](const std::vector<glrec::Call>& calls) {
        std::vector<std::string> out;
        for (const glrec::Call& call : calls)
            out.push_back(call.text());
        return out;
    };
    EXPECT_EQ(texts(first), texts(whole));
    EXPECT_EQ(texts(second), texts(whole)) << "drawing again steps nothing";
    EXPECT_EQ(randomState(), randomAfterWhole);
}

}  // namespace
