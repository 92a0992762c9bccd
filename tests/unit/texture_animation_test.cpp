// Texture::applyEffects against the recording GL: the image each effect
// makes, the order of its draws, the sub-image upload and the refusals.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "glrecorder/gl_recorder.h"
#include "math/random.h"
#include "textures/texture.h"
#include "textures/texture_registry.h"
#include "texture_test_support.h"

namespace {

constexpr std::uint32_t testSeed = 2024;

class TextureAnimationTest : public FreshTexturesTest {
protected:
    void SetUp() override
    {
        FreshTexturesTest::SetUp();
        randomSeed(testSeed);
    }

    // A slot that holds an image of the given size, with the log cleared.
    void loadSlot(int width, int height, GLenum format = GL_RGBA)
    {
        ASSERT_EQ(slot.generate(TextureKind::Black, width, height, format, false), generateOk);
        glrec::clearCalls();
        randomSeed(testSeed);
    }

    // The pixels of the latest upload, which must be a sub-image upload.
    const std::vector<std::uint8_t>& uploaded()
    {
        EXPECT_EQ(glrec::textureUploads().back().function, "glTexSubImage2D");
        return glrec::textureUploads().back().pixels;
    }

    int grey(int x, int y)
    {
        const auto& pixels = uploaded();
        std::size_t at = (static_cast<std::size_t>(y) * slot.width + x) * 4;
        EXPECT_EQ(pixels[at], pixels[at + 3]);
        return pixels[at];
    }

    Texture slot;
};

}  // namespace

TEST_F(TextureAnimationTest, NoEffectGivesWhiteOpaqueAndUploadsTheSubImage)
{
    loadSlot(32, 16);
    slot.applyEffects(0, 40, 10);
    EXPECT_EQ(glrec::callTexts(), (std::vector<std::string>{"glTexSubImage2D(3553, 0, 0, 0, 32, 16, 6408, 5121)"}))
        << "the slot is bound already: no bind call";
    for (std::uint8_t byte : uploaded())
        ASSERT_EQ(byte, 255);
    EXPECT_EQ(uploaded().size(), 32u * 16u * 4u);
    EXPECT_EQ(randomState(), testSeed) << "no draw";
}

TEST_F(TextureAnimationTest, BindsTheSlotWhenAnotherIsBound)
{
    loadSlot(8, 8);
    Texture other;
    other.bind();
    glrec::clearCalls();
    slot.applyEffects(0, 0, 0);
    EXPECT_EQ(glrec::countCalls("glBindTexture"), 1u);
    EXPECT_EQ(glrec::textureUploads().back().boundName, slot.glName);
}

TEST_F(TextureAnimationTest, OddRowsAndColumnsGoDark)
{
    struct Case {
        std::uint32_t effects;
        int amplitude;
        int even, oddRow, oddColumn, oddBoth;  // grey at (0,0), (0,1), (1,0), (1,1)
    };
    const Case cases[] = {
        {EffectOddRows, 255, 255, 0, 255, 0},
        {EffectOddColumns, 255, 255, 255, 0, 0},
        {EffectOddRows | EffectOddColumns, 100, 255, 155, 155, 55},
        {EffectOddRows, -20, 255, 255, 255, 255},  // adds 20, clamped at 255
    };
    for (const Case& c : cases) {
        loadSlot(16, 16);
        slot.applyEffects(c.effects, c.amplitude, 1);
        EXPECT_EQ(grey(4, 6), c.even) << c.effects;
        EXPECT_EQ(grey(4, 7), c.oddRow) << c.effects;
        EXPECT_EQ(grey(5, 6), c.oddColumn) << c.effects;
        EXPECT_EQ(grey(5, 7), c.oddBoth) << c.effects;
        EXPECT_EQ(randomState(), testSeed);
    }
}

TEST_F(TextureAnimationTest, RadialFadeAroundHalfTheWidthOnBothAxes)
{
    loadSlot(256, 256);
    slot.applyEffects(EffectRadialFade, 0, 64);
    EXPECT_EQ(grey(128, 128), 255);
    EXPECT_EQ(grey(128 + 32, 128), 191);  // 255 * (1 - 0.25)
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 256; ++x) {
            int sq = (x - 128) * (x - 128) + (y - 128) * (y - 128);
            if (sq >= 64 * 64) {
                ASSERT_EQ(grey(x, y), 0) << x << "," << y;
            }
        }
    }
}

TEST_F(TextureAnimationTest, RadialFadeCentreRowIsHalfTheWidthNotHalfTheHeight)
{
    loadSlot(32, 128);
    slot.applyEffects(EffectRadialFade, 0, 8);
    EXPECT_EQ(grey(16, 16), 255);
    EXPECT_EQ(grey(16, 64), 0);
}

TEST_F(TextureAnimationTest, FadeRadiusBelowOneCountsAsOne)
{
    for (int fadeRadius : {1, 0, -7}) {
        loadSlot(9, 9);
        slot.applyEffects(EffectRadialFade, 0, fadeRadius);
        for (int y = 0; y < 9; ++y) {
            for (int x = 0; x < 9; ++x)
                ASSERT_EQ(grey(x, y), x == 4 && y == 4 ? 255 : 0) << fadeRadius << " at " << x << "," << y;
        }
    }
}

TEST_F(TextureAnimationTest, ColumnStreaksOfAmplitudeZeroDrawButAddNothing)
{
    loadSlot(40, 8);
    slot.applyEffects(EffectColumnStreaks, 0, 1);
    for (std::uint8_t byte : uploaded())
        ASSERT_EQ(byte, 255);
    std::uint32_t stateAfter = randomState();
    randomSeed(testSeed);
    for (int i = 0; i < 40; ++i)
        randomNext();
    EXPECT_EQ(stateAfter, randomState()) << "one draw per column";
}

TEST_F(TextureAnimationTest, DrawsColumnsFirstThenEachRowBeforeItsPixels)
{
    const int width = 12, height = 5, amplitude = 60;
    loadSlot(width, height);
    slot.applyEffects(EffectColumnStreaks | EffectRowStreaks | EffectPixelNoise, amplitude, 1);
    std::uint32_t stateAfter = randomState();

    // Replay the draws in the stated order.
    randomSeed(testSeed);
    const float half = 30.0f;
    std::vector<int> columnOffset(width);
    for (int x = 0; x < width; ++x)
        columnOffset[x] = static_cast<int>(randomUniform(float(amplitude)) - half);
    for (int y = 0; y < height; ++y) {
        int rowOffset = static_cast<int>(randomUniform(float(amplitude)) - half);
        for (int x = 0; x < width; ++x) {
            float v = 255.0f + columnOffset[x] + rowOffset + (randomUniform(float(amplitude)) - half);
            int expected = v > 255.0f ? 255 : (v < 0.0f ? 0 : static_cast<int>(v));
            ASSERT_EQ(grey(x, y), expected) << x << "," << y;
        }
    }
    EXPECT_EQ(stateAfter, randomState());
}

TEST_F(TextureAnimationTest, LuminanceAlphaWritesTwoBytesPerPixel)
{
    loadSlot(16, 4, GL_LUMINANCE_ALPHA);
    slot.applyEffects(EffectOddColumns, 255, 1);
    const auto& pixels = uploaded();
    ASSERT_EQ(pixels.size(), 16u * 4u * 2u);
    EXPECT_EQ(pixels[0], 255);
    EXPECT_EQ(pixels[1], 255);
    EXPECT_EQ(pixels[2], 0);
    EXPECT_EQ(pixels[3], 0);
    EXPECT_EQ(glrec::textureUploads().back().format, GLenum(GL_LUMINANCE_ALPHA));
}

TEST_F(TextureAnimationTest, ExtremeAmplitudesStayDefined)
{
    // Offsets near the 32-bit limits must neither overflow nor reach a byte out of range.
    for (int amplitude : {INT32_MAX, INT32_MIN, -1}) {
        loadSlot(8, 8);
        slot.applyEffects(0x3F, amplitude, INT32_MAX);
        EXPECT_EQ(uploaded().size(), 8u * 8u * 4u);
    }
}

TEST_F(TextureAnimationTest, SlotsItCannotHoldAreLeftAlone)
{
    struct Case {
        int width, height;
        GLenum format;
    };
    const Case cases[] = {
        {257, 256, GL_RGBA}, {512, 128, GL_RGBA}, {1, 65537, GL_RGBA}, {0, 16, GL_RGBA},
        {16, -1, GL_RGBA},   {16, 16, GL_RGB},    {16, 16, 0},
    };
    for (const Case& c : cases) {
        Texture odd;
        odd.width = c.width;
        odd.height = c.height;
        odd.format = c.format;
        glrec::reset();
        randomSeed(testSeed);
        odd.applyEffects(0x3F, 50, 10);
        EXPECT_TRUE(glrec::calls().empty()) << c.width << "x" << c.height;
        EXPECT_EQ(randomState(), testSeed);
    }
    // A tall one-column slot is within bounds: its rows lie far from the fade's centre.
    Texture tall;
    tall.width = 1;
    tall.height = 65536;
    glrec::reset();
    tall.applyEffects(EffectRadialFade | EffectPixelNoise, 50, 10);
    EXPECT_EQ(glrec::countCalls("glTexSubImage2D"), 1u);
}
