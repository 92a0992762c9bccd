// The fast generator against the straightforward evaluation of every formula:
// the same bytes, the same draws and the same working radius for every kind,
// several seeds, sizes and both formats.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "math/random.h"
#include "reference/straightforward_textures.h"
#include "textures/texture.h"
#include "textures/texture_generator.h"

namespace {

struct Outcome {
    int result;
    int blobRadius;
    std::uint32_t stateAfter;
    std::vector<std::uint8_t> bytes;
};

template <typename Generator>
Outcome run(Generator generator, TextureKind kind, int width, int height, GLenum format, int blobCount,
            std::uint32_t seed)
{
    Outcome outcome{};
    outcome.blobRadius = 12;
    outcome.bytes.assign(static_cast<std::size_t>(maxTexturePixels) * 4, 0x5A);
    randomSeed(seed);
    outcome.result = generator(kind, width, height, format, blobCount, outcome.blobRadius, outcome.bytes.data());
    outcome.stateAfter = randomState();
    return outcome;
}

}  // namespace

TEST(TextureReference, FastGeneratorMatchesTheStraightforwardOneByteForByte)
{
    const std::uint32_t seeds[] = {4450264, 1, 987654321};
    const int sizes[][2] = {{256, 256}, {128, 64}, {64, 200}, {100, 37}, {25, 25}, {24, 7},
                            {3, 3},     {1, 1},    {1, 256},  {256, 1},  {255, 255}};
    for (std::uint32_t seed : seeds) {
        for (const auto& size : sizes) {
            for (int kind = 0; kind < textureKindCount; ++kind) {
                for (GLenum format : {GLenum(GL_RGBA), GLenum(GL_LUMINANCE_ALPHA)}) {
                    TextureKind k = static_cast<TextureKind>(kind);
                    Outcome fast = run(generatePixels, k, size[0], size[1], format, 100, seed);
                    Outcome plain = run(straightforwardPixels, k, size[0], size[1], format, 100, seed);
                    ASSERT_EQ(fast.result, generateOk);
                    ASSERT_EQ(fast.result, plain.result);
                    ASSERT_EQ(fast.blobRadius, plain.blobRadius);
                    ASSERT_EQ(fast.stateAfter, plain.stateAfter);
                    ASSERT_TRUE(fast.bytes == plain.bytes)
                        << "seed " << seed << " kind " << kind << " " << size[0] << "x" << size[1] << " format "
                        << format;
                }
            }
        }
    }
}

TEST(TextureReference, SmokeMatchesForOtherBlobCounts)
{
    for (int blobCount : {0, 1, 2, 13, 300, -4}) {
        for (std::uint32_t seed : {7u, 4450264u}) {
            Outcome fast = run(generatePixels, TextureKind::Smoke, 160, 90, GL_RGBA, blobCount, seed);
            Outcome plain = run(straightforwardPixels, TextureKind::Smoke, 160, 90, GL_RGBA, blobCount, seed);
            ASSERT_EQ(fast.blobRadius, plain.blobRadius) << blobCount;
            ASSERT_EQ(fast.stateAfter, plain.stateAfter) << blobCount;
            ASSERT_TRUE(fast.bytes == plain.bytes) << "blobCount " << blobCount << " seed " << seed;
        }
    }
}
