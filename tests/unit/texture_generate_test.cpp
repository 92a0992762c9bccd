// Texture::generate against the recording GL: registration, refusals, the
// upload calls and the bytes uploaded.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "glrecorder/gl_recorder.h"
#include "math/random.h"
#include "textures/texture.h"
#include "textures/texture_generator.h"
#include "textures/texture_registry.h"
#include "texture_test_support.h"

namespace {

constexpr std::uint32_t testSeed = 4450264;

class TextureGenerateTest : public FreshTexturesTest {
protected:
    void SetUp() override
    {
        FreshTexturesTest::SetUp();
        randomSeed(testSeed);
    }
};

using Texts = std::vector<std::string>;

std::vector<std::uint8_t> expectedPixels(TextureKind kind, int width, int height, GLenum format,
                                         std::uint32_t seed)
{
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * height * textureBytesPerPixel(format));
    randomSeed(seed);
    int blobRadius = 12;
    generatePixels(kind, width, height, format, 100, blobRadius, pixels.data());
    return pixels;
}

std::vector<std::uint8_t> expectedPixelsWithBlobs(int blobCount)
{
    std::vector<std::uint8_t> pixels(64 * 64 * 4);
    randomSeed(testSeed);
    int blobRadius = 12;
    generatePixels(TextureKind::Smoke, 64, 64, GL_RGBA, blobCount, blobRadius, pixels.data());
    return pixels;
}

}  // namespace

TEST_F(TextureGenerateTest, UploadsTheImageWithTheStatedCalls)
{
    Texture slot;
    ASSERT_EQ(slot.generate(TextureKind::Smoke, 256, 256, GL_RGBA, false), generateOk);
    EXPECT_EQ(glrec::callTexts(), (Texts{
                                      "glGenTextures(1, 1)",
                                      "glBindTexture(3553, 1)",
                                      "glTexParameteri(3553, 10242, 10497)",
                                      "glTexParameteri(3553, 10243, 10497)",
                                      "glTexEnvf(8960, 8704, 8448)",
                                      "glPixelStorei(3317, 1)",
                                      "glTexParameteri(3553, 10240, 9729)",
                                      "glTexParameteri(3553, 10241, 9729)",
                                      "glTexImage2D(3553, 0, 6408, 256, 256, 0, 6408, 5121)",
                                  }));
    ASSERT_EQ(glrec::textureUploads().size(), 1u);
    const glrec::TextureUpload& upload = glrec::textureUploads()[0];
    EXPECT_EQ(upload.boundName, 1u);
    EXPECT_EQ(upload.pixels, expectedPixels(TextureKind::Smoke, 256, 256, GL_RGBA, testSeed));
    EXPECT_EQ(slot.width, 256);
    EXPECT_EQ(slot.height, 256);
    EXPECT_EQ(slot.format, GLenum(GL_RGBA));
}

TEST_F(TextureGenerateTest, MipmapsFollowTheLevelZeroUploadWithFourComponents)
{
    Texture slot;
    ASSERT_EQ(slot.generate(TextureKind::Sphere, 64, 32, GL_LUMINANCE_ALPHA, true), generateOk);
    Texts texts = glrec::callTexts();
    ASSERT_GE(texts.size(), 3u);
    EXPECT_EQ(texts[texts.size() - 3], "glTexParameteri(3553, 10241, 9984)");
    EXPECT_EQ(texts[texts.size() - 2], "glTexImage2D(3553, 0, 6410, 64, 32, 0, 6410, 5121)");
    EXPECT_EQ(texts[texts.size() - 1], "gluBuild2DMipmaps(3553, 4, 64, 32, 6410, 5121)");
    ASSERT_EQ(glrec::textureUploads().size(), 2u);
    EXPECT_EQ(glrec::textureUploads()[0].pixels, glrec::textureUploads()[1].pixels);
    EXPECT_EQ(glrec::textureUploads()[0].pixels.size(), 64u * 32u * 2u);
}

TEST_F(TextureGenerateTest, WithoutMipmapsOnlyLevelZeroIsUploaded)
{
    Texture slot;
    ASSERT_EQ(slot.generate(TextureKind::Sphere, 64, 32, GL_RGBA, false), generateOk);
    EXPECT_EQ(glrec::countCalls("gluBuild2DMipmaps"), 0u);
    EXPECT_EQ(glrec::textureUploads().size(), 1u);
}

TEST_F(TextureGenerateTest, RegistersEachGenerationInOrderWithItsKindName)
{
    Texture a;
    Texture b;
    struct Step {
        Texture* slot;
        TextureKind kind;
        const char* name;
    };
    // Kinds 5, 8 and 9 have no name and keep the entry's text; 12 and 13 register theirs.
    std::strcpy(textureRegistry.names[3], "OLD");
    const Step steps[] = {
        {&a, TextureKind::Smoke, "SMOKE"}, {&b, TextureKind::Grain, "GRAIN"}, {&a, TextureKind::Fog, "FOG"},
        {&b, TextureKind::Ring, "OLD"},    {&a, TextureKind::Black, ""},      {&b, TextureKind::Blank, ""},
        {&a, TextureKind::X50, "X50"},     {&b, TextureKind::Y50, "Y50"},     {&a, TextureKind::Check, "CHECK"},
    };
    int index = 0;
    for (const Step& step : steps) {
        ASSERT_EQ(step.slot->generate(step.kind, 32, 32, GL_RGBA, false), generateOk);
        EXPECT_EQ(textureRegistry.count, index + 1);
        EXPECT_EQ(step.slot->registryIndex, index);
        EXPECT_EQ(textureRegistry.textures[index], step.slot);
        EXPECT_STREQ(textureRegistry.names[index], step.name) << "entry " << index;
        ++index;
    }
    EXPECT_EQ(a.glName, 1u) << "a later generation reuses the slot's name";
    EXPECT_EQ(glrec::countCalls("glGenTextures"), 2u);
}

TEST_F(TextureGenerateTest, TooLargeIsRefusedButStillChangesTheSize)
{
    Texture slot;
    EXPECT_EQ(slot.generate(TextureKind::Smoke, 257, 256, GL_LUMINANCE_ALPHA, false), 1);
    EXPECT_EQ(slot.width, 257);
    EXPECT_EQ(slot.height, 256);
    EXPECT_EQ(slot.format, GLenum(GL_LUMINANCE_ALPHA));
    EXPECT_EQ(slot.registryIndex, -1);
    EXPECT_EQ(textureRegistry.count, 0);
    EXPECT_EQ(textureRegistry.textures[0], nullptr);
    EXPECT_EQ(randomState(), testSeed) << "no draw";
    EXPECT_TRUE(glrec::calls().empty());
}

TEST_F(TextureGenerateTest, BadRequestsAreRefusedBeforeRegistration)
{
    struct Case {
        TextureKind kind;
        int width, height;
        GLenum format;
    };
    const Case cases[] = {
        {TextureKind::Smoke, 512, 128, GL_RGBA},  {TextureKind::Fog, 128, 512, GL_RGBA},
        {TextureKind::Check, -4, -4, GL_RGBA},    {TextureKind::Check, 0, 4, GL_RGBA},
        {TextureKind::Check, 4, 4, GL_RGB},       {static_cast<TextureKind>(15), 4, 4, GL_RGBA},
        {static_cast<TextureKind>(-3), 4, 4, GL_RGBA},
    };
    for (const Case& c : cases) {
        glrec::reset();
        Texture slot;
        EXPECT_EQ(slot.generate(c.kind, c.width, c.height, c.format, false), generateRefused);
        EXPECT_EQ(slot.width, c.width);
        EXPECT_EQ(slot.height, c.height);
        EXPECT_EQ(slot.format, c.format);
        EXPECT_EQ(slot.registryIndex, -1);
        EXPECT_EQ(textureRegistry.count, 0);
        EXPECT_EQ(randomState(), testSeed);
        EXPECT_TRUE(glrec::calls().empty());
    }
}

TEST_F(TextureGenerateTest, AFullRegistryRefusesTheThirtySecondGeneration)
{
    Texture slot;
    for (int i = 0; i < TextureRegistry::capacity; ++i)
        ASSERT_EQ(slot.generate(TextureKind::Grain, 4, 4, GL_RGBA, false), generateOk) << i;
    EXPECT_EQ(textureRegistry.count, 31);
    glrec::clearCalls();
    std::uint32_t stateBefore = randomState();

    Texture late;
    EXPECT_EQ(late.generate(TextureKind::Grain, 8, 8, GL_RGBA, false), generateRefused);
    EXPECT_EQ(textureRegistry.count, 31);
    EXPECT_EQ(late.registryIndex, -1);
    EXPECT_EQ(late.width, 8);
    EXPECT_EQ(randomState(), stateBefore);
    EXPECT_TRUE(glrec::calls().empty());
}

TEST_F(TextureGenerateTest, SmokeAndFogLeaveTheirWorkingRadius)
{
    Texture smoke;
    smoke.blobCount = 1;
    ASSERT_EQ(smoke.generate(TextureKind::Smoke, 256, 256, GL_RGBA, false), generateOk);
    randomSeed(testSeed);
    EXPECT_EQ(smoke.blobRadius, static_cast<int>(randomUniform(0.24 * 256) + 0.04 * 256));
    Texture fog;
    ASSERT_EQ(fog.generate(TextureKind::Fog, 256, 256, GL_RGBA, false), generateOk);
    EXPECT_EQ(fog.blobRadius, 1);
}

TEST_F(TextureGenerateTest, BlobCountOfTheSlotDrivesSmoke)
{
    Texture slot;
    slot.blobCount = 7;
    ASSERT_EQ(slot.generate(TextureKind::Smoke, 64, 64, GL_RGBA, false), generateOk);
    std::uint32_t after = randomState();
    randomSeed(testSeed);
    for (int i = 0; i < 7 * 13; ++i)
        randomNext();
    EXPECT_EQ(after, randomState()) << "13 draws per cone";
    EXPECT_EQ(glrec::textureUploads()[0].pixels, expectedPixelsWithBlobs(7));
}
