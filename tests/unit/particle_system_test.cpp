#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <memory>

#include "animation/camera.h"
#include "math/random.h"
#include "scene/particle_system.h"
#include "scene_elements_test_support.h"
#include "textures/texture.h"

namespace {

class ParticleSystemTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        glrec::reset();
        Texture::resetSharedSettings();
        randomSeed(4450264);
    }

    // The scene's configuration, without the texture.
    void useSceneValues()
    {
        particles.count = 6;
        particles.outerSize = 2.0f;
        particles.innerSize = 0.0f;
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
        particles.size = 1.2f;
    }

    // Draws made since `from`, at most `limit`.
    static long drawsSince(std::uint32_t from, long limit) { return drawsBetween(from, randomState(), limit); }

    // Storage is 220 KB: kept off the stack.
    std::unique_ptr<ParticleSystem> owner = std::make_unique<ParticleSystem>();
    ParticleSystem& particles = *owner;
    Camera camera;
};

TEST_F(ParticleSystemTest, SpawnCapsTheCountAtCapacity)
{
    struct Case {
        int count, spawned;
    };
    const Case cases[] = {{6000, 5001}, {5001, 5001}, {5000, 5000}, {INT_MAX, 5001}, {-1, 0}, {INT_MIN, 0}};
    for (const Case& c : cases) {
        particles.count = c.count;
        particles.spawn();
        EXPECT_EQ(particles.count, c.spawned) << c.count;
    }
}

TEST_F(ParticleSystemTest, CountOutOfRangeAfterSpawnNeverReachesPastTheStorage)
{
    particles.count = 6000;
    particles.spawn();
    for (int count : {6000, INT_MAX}) {
        particles.count = count;
        const std::uint32_t before = randomState();
        particles.step(0.0f, 0.5f);
        EXPECT_EQ(drawsSince(before, 10000), 5001) << count;
        glrec::reset();
        particles.draw(camera, 1.0f);
        EXPECT_EQ(glrec::countCalls("glBegin"), 5001u) << count;
        particles.wrapAround(0.1f, camera);
    }
    for (int count : {-1, INT_MIN}) {
        particles.count = count;
        const std::uint32_t before = randomState();
        particles.step(1.0f, 0.5f);
        particles.wrapAround(0.1f, camera);
        EXPECT_EQ(randomState(), before) << count;
        glrec::reset();
        particles.draw(camera, 1.0f);
        expectCalls({{"glDisable", {GL_ALPHA_TEST}}});
    }
}

TEST_F(ParticleSystemTest, ZeroCountDrawsNoNumberAndOnlySetsTheAlphaTest)
{
    particles.count = 0;
    const std::uint32_t before = randomState();
    particles.spawn();
    particles.step(1.0f, 0.5f);
    EXPECT_EQ(randomState(), before);

    particles.alphaTest = 1;
    particles.alphaRef = 0.01f;
    particles.draw(camera, 1.0f);
    expectCalls({{"glEnable", {GL_ALPHA_TEST}}, {"glAlphaFunc", {GL_GREATER, 0.01f}}});
}

TEST_F(ParticleSystemTest, SpawnDrawsPositionColourAndFadeInItsOrder)
{
    particles.count = 200;
    particles.shape = ballShell;
    particles.spawn();
    const std::uint32_t afterSpawn = randomState();

    randomSeed(4450264);
    int rare = 0;
    int fading = 0;
    for (int i = 0; i < 200; ++i) {
        ShellPoint point;
        ASSERT_TRUE(drawShellPoint(ballShell, 1.0f, 0.01f, point));
        const bool isRare = randomUniform(1.0) < 0.1;
        rare += isRare;
        const float base = isRare ? 0.4f : 0.9f;
        const float spread = isRare ? 0.9f : 0.4f;
        const float red = base + randomUniform(spread);
        const float green = base + randomUniform(spread);
        const float blue = base + randomUniform(spread);
        float fadeRate = 0.0f;
        if (randomUniform(1.0) < 0.25) {
            ++fading;
            const float power = randomPowered(2);
            fadeRate = float(randomUniform(20.0) * power + 0.5);
        }
        EXPECT_EQ(particles.x[i], float(point.x)) << i;
        EXPECT_EQ(particles.y[i], float(point.y)) << i;
        EXPECT_EQ(particles.z[i], float(point.z)) << i;
        EXPECT_EQ(particles.red[i], red) << i;
        EXPECT_EQ(particles.green[i], green) << i;
        EXPECT_EQ(particles.blue[i], blue) << i;
        EXPECT_EQ(particles.fadeRate[i], fadeRate) << i;
        EXPECT_EQ(particles.brightness[i], 1.0f) << i;
        EXPECT_EQ(particles.vx[i], 0.0f);
    }
    EXPECT_GT(rare, 0);
    EXPECT_GT(fading, 0);
    EXPECT_EQ(randomState(), afterSpawn);
}

TEST_F(ParticleSystemTest, SceneParticlesLieInTheUpperHalfOfTheUnitBall)
{
    for (int count : {6, 5001}) {
        useSceneValues();
        particles.count = count;
        particles.spawn();
        for (int i = 0; i < count; ++i) {
            EXPECT_GE(particles.y[i], 0.0f) << i;
            EXPECT_LE(std::sqrt(particles.x[i] * particles.x[i] + particles.y[i] * particles.y[i] +
                                particles.z[i] * particles.z[i]),
                      1.0f + 1e-6f)
                << i;
        }
    }
}

TEST_F(ParticleSystemTest, StepWithZeroTimeMovesNothingAndDrawsOncePerParticle)
{
    particles.count = 50;
    particles.spawn();
    const float x7 = particles.x[7];
    const std::uint32_t before = randomState();
    particles.step(0.0f, 0.5f);
    EXPECT_EQ(drawsSince(before, 1000), 50);
    EXPECT_EQ(particles.x[7], x7);
    for (int i = 0; i < 50; ++i) {
        EXPECT_EQ(particles.vx[i], 0.0f);
        EXPECT_EQ(particles.vy[i], 0.0f);
        EXPECT_EQ(particles.vz[i], 0.0f);
    }
}

TEST_F(ParticleSystemTest, StepOfASecondOrMoreRedrawsOneComponentOfEveryParticle)
{
    for (float dt : {1.0f, 5.0f}) {
        particles.count = 300;
        particles.spawn();
        for (int i = 0; i < 300; ++i) {
            particles.vx[i] = particles.vy[i] = particles.vz[i] = 1.0f;
        }
        const float x0 = particles.x[0];
        const std::uint32_t before = randomState();
        particles.step(dt, 0.5f);
        EXPECT_EQ(drawsSince(before, 10000), 900) << dt;
        EXPECT_EQ(particles.x[0], x0 + dt * 1.0f);
        for (int i = 0; i < 300; ++i) {
            const float velocity[3] = {particles.vx[i], particles.vy[i], particles.vz[i]};
            int changed = 0;
            for (float v : velocity) {
                if (v != 1.0f) {
                    ++changed;
                    EXPECT_GE(v, -0.25f);
                    EXPECT_LT(v, 0.25f);
                }
            }
            EXPECT_EQ(changed, 1) << i;
        }
    }
}

TEST_F(ParticleSystemTest, StepRedrawsOnlyWhenTheFirstDrawFallsBelowTheTimeStep)
{
    particles.count = 1;
    particles.spawn();
    const std::uint32_t start = randomState();
    const double u = randomUniform(1.0);
    const int axis = int(randomUniform(3.0));
    const float value = randomUniform(0.5f) - 0.25f;
    ASSERT_GT(u, 0.0);

    randomSeed(start);
    particles.step(float(u), 0.5f);  // u < u is false: one draw
    EXPECT_EQ(drawsSince(start, 10), 1);
    randomSeed(start);
    particles.step(std::nextafter(float(u), 2.0f), 0.5f);
    EXPECT_EQ(drawsSince(start, 10), 3);
    const float velocity[3] = {particles.vx[0], particles.vy[0], particles.vz[0]};
    EXPECT_EQ(velocity[axis], value);
}

TEST_F(ParticleSystemTest, SceneDrawIsOneBlendedBillboardPerParticle)
{
    useSceneValues();
    particles.count = 1;
    particles.spawn();
    particles.x[0] = 1.0f;
    particles.y[0] = 2.0f;
    particles.z[0] = 3.0f;
    particles.red[0] = 1.0f;
    particles.green[0] = 0.5f;
    particles.blue[0] = 0.25f;
    particles.brightness[0] = 0.5f;
    camera.rightAxis[0] = 0.0f;
    camera.rightAxis[1] = 0.0f;
    camera.rightAxis[2] = 1.0f;
    camera.upAxis[0] = 0.0f;
    camera.upAxis[1] = 1.0f;
    camera.upAxis[2] = 0.0f;
    glrec::clearCalls();
    particles.draw(camera, 1.0f);

    const float r = 1.2f;
    expectCalls({
        {"glEnable", {GL_ALPHA_TEST}},
        {"glAlphaFunc", {GL_GREATER, 0.01f}},
        {"glBlendFunc", {GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA}},
        {"glEnable", {GL_BLEND}},
        {"glEnable", {GL_DEPTH_TEST}},
        {"glDepthMask", {GL_FALSE}},
        {"glColor4f", {0.5f, 0.25f, 0.125f, 0.105f}},
        {"glBegin", {GL_QUADS}},
        {"glTexCoord2f", {0, 0}},
        {"glVertex3f", {1.0f, 2.0f - r, 3.0f - r}},
        {"glTexCoord2f", {1, 0}},
        {"glVertex3f", {1.0f, 2.0f - r, 3.0f + r}},
        {"glTexCoord2f", {1, 1}},
        {"glVertex3f", {1.0f, 2.0f + r, 3.0f + r}},
        {"glTexCoord2f", {0, 1}},
        {"glVertex3f", {1.0f, 2.0f + r, 3.0f - r}},
        {"glEnd", {}},
        {"glDisable", {GL_ALPHA_TEST}},
        {"glDisable", {GL_BLEND}},
        {"glDisable", {GL_DEPTH_TEST}},
    });
}

TEST_F(ParticleSystemTest, TextureIsEnabledBoundAndDisabledOnlyWhenSet)
{
    particles.count = 3;
    particles.spawn();
    glrec::clearCalls();
    particles.draw(camera, 1.0f);
    for (const glrec::Call& call : glrec::calls()) {
        EXPECT_NE(call.text(), callText("glEnable", {GL_TEXTURE_2D}));
        EXPECT_NE(call.text(), callText("glDisable", {GL_TEXTURE_2D}));
    }
    EXPECT_EQ(glrec::countCalls("glBindTexture"), 0u);

    Texture texture;
    particles.texture = &texture;
    glrec::clearCalls();
    particles.draw(camera, 0.5f);
    EXPECT_EQ(glrec::countCalls("glBindTexture"), 1u);
    EXPECT_EQ(glrec::boundTexture(), texture.glName);
    std::vector<std::string> enables;
    for (const glrec::Call& call : glrec::calls()) {
        if (call.name == "glEnable" || call.name == "glDisable" || call.name == "glBindTexture") {
            enables.push_back(call.text());
        }
    }
    const std::string bind = callText("glBindTexture", {GL_TEXTURE_2D, double(texture.glName)});
    EXPECT_EQ(enables, (std::vector<std::string>{
                           callText("glDisable", {GL_ALPHA_TEST}),
                           callText("glEnable", {GL_BLEND}),
                           callText("glEnable", {GL_DEPTH_TEST}),
                           callText("glEnable", {GL_TEXTURE_2D}),
                           bind,
                           callText("glDisable", {GL_BLEND}),
                           callText("glDisable", {GL_DEPTH_TEST}),
                           callText("glDisable", {GL_TEXTURE_2D}),
                       }));
}

TEST_F(ParticleSystemTest, DepthWritesAreOffAfterDrawWhateverTheFlag)
{
    struct Case {
        int blend, depthTest, depthWrite;
    };
    const Case cases[] = {{1, 1, 1}, {0, 0, 1}, {1, 0, 0}, {0, 1, 0}};
    particles.count = 2;
    particles.spawn();
    for (const Case& c : cases) {
        particles.blend = c.blend;
        particles.depthTest = c.depthTest;
        particles.depthWrite = c.depthWrite;
        glrec::clearCalls();
        particles.draw(camera, 1.0f);
        const std::vector<glrec::Call> masks = callsNamed("glDepthMask");
        ASSERT_FALSE(masks.empty());
        EXPECT_EQ(masks.back().args, std::vector<double>{GL_FALSE});
        EXPECT_EQ(masks.size(), c.depthWrite ? 2u : 1u);
        // Without the blend flag, blending is switched off and left off.
        EXPECT_EQ(glrec::countCalls("glBlendFunc"), c.blend ? 1u : 0u);
    }
}

TEST_F(ParticleSystemTest, UnsampleableShellsPlaceNoParticle)
{
    struct Case {
        float outerSize, innerSize;
        VolumeShape shape;
    };
    const Case cases[] = {{0.1f, 0.09f, ballShell}, {0.0f, 0.0f, cubeShell}, {2.0f, -5.0f, ballShell}};
    for (const Case& c : cases) {
        particles.count = 10;
        particles.outerSize = c.outerSize;
        particles.innerSize = c.innerSize;
        particles.shape = c.shape;
        particles.spawn();
        EXPECT_EQ(particles.count, 0) << c.outerSize << " " << c.innerSize;
        glrec::clearCalls();
        particles.draw(camera, 1.0f);
        EXPECT_EQ(glrec::countCalls("glBegin"), 0u);
    }
}

TEST_F(ParticleSystemTest, WrapAroundShiftsEachAxisOnceAndPulsesBrightness)
{
    particles.count = 4;
    particles.outerSize = 2.0f;  // box half-width 0.7, step 1.4
    camera.body.position.set(0.0f, 0.0f, 1.0f);
    const float positions[4][3] = {
        {0.8f, -0.8f, 1.5f},  // x down, y up, z in the box around +1
        {3.0f, 0.0f, 1.0f},   // beyond two widths: one shift only
        {0.0f, 0.0f, -0.5f},  // z below 1 - 0.7: up by 1.4
        {0.7f, -0.7f, 1.0f},  // on the edges: no shift
    };
    for (int i = 0; i < 4; ++i) {
        particles.x[i] = positions[i][0];
        particles.y[i] = positions[i][1];
        particles.z[i] = positions[i][2];
        particles.brightness[i] = 0.5f;
    }
    particles.fadeRate[0] = 2.0f;
    particles.fadeRate[1] = -2.0f;
    particles.fadeRate[2] = 0.5f;

    particles.wrapAround(0.5f, camera);
    EXPECT_EQ(particles.wrapHigh, 0.7f);
    EXPECT_EQ(particles.wrapLow, -0.7f);
    EXPECT_EQ(particles.x[0], 0.8f - 1.4f);
    EXPECT_EQ(particles.y[0], -0.8f + 1.4f);
    EXPECT_EQ(particles.z[0], 1.5f);
    EXPECT_EQ(particles.x[1], 3.0f - 1.4f);
    EXPECT_EQ(particles.z[2], -0.5f + 1.4f);
    EXPECT_EQ(particles.x[3], 0.7f);
    EXPECT_EQ(particles.y[3], -0.7f);
    EXPECT_EQ(particles.z[3], 1.0f);

    // Rising past 1 clamps and turns; falling below 0 clamps and turns.
    EXPECT_EQ(particles.brightness[0], 1.0f);
    EXPECT_EQ(particles.fadeRate[0], -2.0f);
    EXPECT_EQ(particles.brightness[1], 0.0f);
    EXPECT_EQ(particles.fadeRate[1], 2.0f);
    EXPECT_EQ(particles.brightness[2], 0.75f);
    EXPECT_EQ(particles.fadeRate[2], 0.5f);
    EXPECT_EQ(particles.brightness[3], 0.5f);
    EXPECT_TRUE(glrec::calls().empty());
}

}  // namespace
