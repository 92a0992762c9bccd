// The generator's patterns, computed without GL: values at telling pixels,
// the random draws each kind consumes, the guards on bad requests. Runs
// natively and in the Windows build.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <vector>

#include "math/random.h"
#include "textures/texture.h"
#include "textures/texture_generator.h"

namespace {

constexpr std::uint32_t testSeed = 4450264;

// One generated image and what the call left behind.
struct Image {
    int result = -1;
    int width = 0;
    int height = 0;
    int bytesPerPixel = 0;
    int blobRadius = 12;
    std::uint32_t stateAfter = 0;
    std::vector<std::uint8_t> bytes;

    const std::uint8_t* pixel(int x, int y) const
    {
        return bytes.data() + (static_cast<std::size_t>(y) * width + x) * bytesPerPixel;
    }
    int red(int x, int y) const { return pixel(x, y)[0]; }
    int alpha(int x, int y) const { return pixel(x, y)[bytesPerPixel - 1]; }
};

// Fills the buffer with 0xAB first, so that untouched bytes show.
Image generateImage(TextureKind kind, int width, int height, GLenum format = GL_RGBA, int blobCount = 100,
                    std::uint32_t seed = testSeed)
{
    Image image;
    image.width = width;
    image.height = height;
    image.bytesPerPixel = textureBytesPerPixel(format);
    image.bytes.assign(static_cast<std::size_t>(maxTexturePixels) * 4, 0xAB);
    randomSeed(seed);
    image.result = generatePixels(kind, width, height, format, blobCount, image.blobRadius, image.bytes.data());
    image.stateAfter = randomState();
    return image;
}

std::uint32_t stateAfterDraws(std::uint32_t seed, long draws)
{
    randomSeed(seed);
    for (long i = 0; i < draws; ++i)
        randomNext();
    return randomState();
}

// The centre of a single SMOKE cone, drawn as the generator draws it.
struct Cone {
    int radius, bx, by;
};

Cone firstCone(std::uint32_t seed, int width, int height)
{
    randomSeed(seed);
    Cone cone{};
    cone.radius = static_cast<int>(randomUniform(0.24 * width) + 0.04 * width);
    cone.bx = static_cast<int>(randomGauss(0.17 * width) + 0.5 * width);
    cone.by = static_cast<int>(randomGauss(0.17 * height) + 0.5 * height);
    return cone;
}

}  // namespace

TEST(ColorByte, TruncatesTowardZeroAndKeepsTheLowEightBits)
{
    struct Case {
        float value;
        int byte;
    };
    const Case cases[] = {
        {0.0f, 0},     {254.9f, 254}, {255.0f, 255},       {255.99f, 255},     {256.0f, 0},
        {300.5f, 44},  {-0.9f, 0},    {-1.0f, 255},        {-1.5f, 255},       {-256.0f, 0},
        {1e20f, 255},  {-1e20f, 0},   {2147483648.0f, 255}, {-2147483648.0f, 0}, {std::nanf(""), 0},
        {INFINITY, 255}, {-INFINITY, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(colorByte(c.value), c.byte) << c.value;
}

TEST(GeneratePixels, RefusesBadRequestsWithoutDrawingOrWriting)
{
    struct Case {
        TextureKind kind;
        int width, height;
        GLenum format;
        const char* why;
    };
    const Case cases[] = {
        {TextureKind::Check, 257, 256, GL_RGBA, "more than 65536 pixels"},
        {TextureKind::Check, 65537, 1, GL_RGBA, "more than 65536 pixels in one row"},
        {TextureKind::Check, 65536, 65536, GL_RGBA, "a product that wraps to 0 in 32 bits"},
        {TextureKind::Check, INT_MAX, INT_MAX, GL_RGBA, "a product far beyond 32 bits"},
        {TextureKind::Check, 0, 16, GL_RGBA, "zero width"},
        {TextureKind::Check, 16, 0, GL_RGBA, "zero height"},
        {TextureKind::Check, -16, -16, GL_RGBA, "negative sides with a positive product"},
        {TextureKind::Grain, -1, 100, GL_RGBA, "a negative side"},
        {TextureKind::Smoke, 512, 128, GL_RGBA, "SMOKE wider than its field"},
        {TextureKind::Smoke, 128, 512, GL_RGBA, "SMOKE taller than its field"},
        {TextureKind::Fog, 512, 128, GL_RGBA, "FOG wider than its field"},
        {TextureKind::Fog, 1, 257, GL_RGBA, "FOG taller than its field"},
        {static_cast<TextureKind>(15), 16, 16, GL_RGBA, "a kind above 14"},
        {static_cast<TextureKind>(-1), 16, 16, GL_RGBA, "a negative kind"},
        {TextureKind::Sand, 16, 16, GL_RGB, "an unsupported format"},
        {TextureKind::Sand, 16, 16, 0, "format 0"},
    };
    for (const Case& c : cases) {
        Image image = generateImage(c.kind, c.width, c.height, c.format);
        EXPECT_EQ(image.result, generateRefused) << c.why;
        EXPECT_EQ(image.stateAfter, testSeed) << c.why << ": no draw";
        EXPECT_EQ(image.blobRadius, 12) << c.why;
        for (std::uint8_t byte : image.bytes)
            ASSERT_EQ(byte, 0xAB) << c.why << ": nothing written";
        EXPECT_EQ(checkTextureRequest(c.kind, c.width, c.height, c.format), generateRefused) << c.why;
    }
}

TEST(GeneratePixels, AcceptsEveryKindUpTo65536PixelsAndFieldKindsUpTo256)
{
    EXPECT_EQ(checkTextureRequest(TextureKind::Smoke, 256, 256, GL_RGBA), generateOk);
    EXPECT_EQ(checkTextureRequest(TextureKind::Fog, 256, 256, GL_LUMINANCE_ALPHA), generateOk);
    EXPECT_EQ(checkTextureRequest(TextureKind::Check, 512, 128, GL_RGBA), generateOk);
    EXPECT_EQ(checkTextureRequest(TextureKind::Grain, 65536, 1, GL_RGBA), generateOk);
    EXPECT_EQ(checkTextureRequest(TextureKind::Sphere, 1, 1, GL_RGBA), generateOk);
}

TEST(GeneratePixels, DrawsExactlyTheStatedNumberPerKind)
{
    struct Case {
        TextureKind kind;
        int width, height, blobCount;
        long draws;  // -1: SAND, counted from the image
    };
    const Case cases[] = {
        {TextureKind::Smoke, 256, 256, 100, 1300}, {TextureKind::Smoke, 64, 32, 3, 39},
        {TextureKind::Smoke, 64, 32, 0, 0},        {TextureKind::Smoke, 64, 32, -5, 0},
        {TextureKind::Fog, 256, 256, 100, 2},      {TextureKind::Fog, 1, 1, 100, 2},
        {TextureKind::Grain, 256, 256, 100, 65536}, {TextureKind::Grain, 7, 3, 100, 21},
        {TextureKind::Sand, 256, 256, 100, -1},    {TextureKind::Sand, 9, 5, 100, -1},
        {TextureKind::Sphere, 64, 64, 100, 0},     {TextureKind::NotSphere, 64, 64, 100, 0},
        {TextureKind::Gradient, 64, 64, 100, 0},   {TextureKind::Ring, 64, 64, 100, 0},
        {TextureKind::Star, 64, 64, 100, 0},       {TextureKind::Black, 64, 64, 100, 0},
        {TextureKind::Blank, 64, 64, 100, 0},      {TextureKind::Check, 64, 64, 100, 0},
        {TextureKind::Grille, 64, 64, 100, 0},     {TextureKind::X50, 64, 64, 100, 0},
        {TextureKind::Y50, 64, 64, 100, 0},
    };
    for (const Case& c : cases) {
        Image image = generateImage(c.kind, c.width, c.height, GL_RGBA, c.blobCount);
        ASSERT_EQ(image.result, generateOk);
        long draws = c.draws;
        if (draws < 0) {
            // One draw per pixel, and a second for every ordinary (non-speck) pixel.
            draws = 0;
            for (int y = 0; y < c.height; ++y) {
                for (int x = 0; x < c.width; ++x) {
                    int r = image.red(x, y);
                    draws += (r == 0 || r == 255) ? 1 : 2;
                }
            }
        }
        EXPECT_EQ(image.stateAfter, stateAfterDraws(testSeed, draws))
            << "kind " << static_cast<int>(c.kind) << " " << c.width << "x" << c.height;
    }
}

TEST(GeneratePixels, SameGeneratorStateGivesTheSameImage)
{
    for (TextureKind kind : {TextureKind::Smoke, TextureKind::Fog, TextureKind::Sand, TextureKind::Grain}) {
        Image first = generateImage(kind, 128, 64);
        Image second = generateImage(kind, 128, 64);
        EXPECT_EQ(first.bytes, second.bytes) << static_cast<int>(kind);
        Image other = generateImage(kind, 128, 64, GL_RGBA, 100, testSeed + 1);
        EXPECT_NE(first.bytes, other.bytes) << static_cast<int>(kind);
    }
}

TEST(GeneratePixels, SingleSmokeConeIsBrightestAtItsCentreAndZeroBeyondItsRadius)
{
    const int size = 128;
    for (std::uint32_t seed : {testSeed, 12345u, 777u}) {
        Cone cone = firstCone(seed, size, size);
        ASSERT_GE(cone.bx, 0);
        ASSERT_LT(cone.bx, size);
        ASSERT_GE(cone.by, 0);
        ASSERT_LT(cone.by, size);
        Image image = generateImage(TextureKind::Smoke, size, size, GL_RGBA, 1, seed);
        EXPECT_EQ(image.blobRadius, cone.radius);
        EXPECT_EQ(image.red(cone.bx, cone.by), 255);
        EXPECT_EQ(image.alpha(cone.bx, cone.by), 255);
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                int sq = (x - cone.bx) * (x - cone.bx) + (y - cone.by) * (y - cone.by);
                float expected = 255.0f * (1.0f - std::sqrt(static_cast<float>(sq)) / cone.radius);
                int wanted = sq >= cone.radius * cone.radius ? 0 : static_cast<int>(expected);
                ASSERT_EQ(image.red(x, y), wanted) << x << "," << y;
            }
        }
    }
}

TEST(GeneratePixels, SmokeIsGreyWithAlphaEqualToBrightnessAndPeaksAt255)
{
    Image image = generateImage(TextureKind::Smoke, 256, 256);
    int peak = 0;
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 256; ++x) {
            const std::uint8_t* p = image.pixel(x, y);
            ASSERT_EQ(p[0], p[1]);
            ASSERT_EQ(p[0], p[2]);
            ASSERT_EQ(p[0], p[3]);
            peak = std::max(peak, int(p[0]));
        }
    }
    EXPECT_EQ(peak, 255);
}

TEST(GeneratePixels, SmokeGuardsItsDegenerateCases)
{
    // No cone at all: a black, transparent image rather than 255 / -9999.
    Image none = generateImage(TextureKind::Smoke, 32, 32, GL_RGBA, 0);
    for (int i = 0; i < 32 * 32 * 4; ++i)
        ASSERT_EQ(none.bytes[i], 0);
    // Below width 4 every radius truncates to 0; it counts as 1.
    for (int width : {1, 2, 3}) {
        Image narrow = generateImage(TextureKind::Smoke, width, 16, GL_RGBA, 20);
        EXPECT_EQ(narrow.result, generateOk);
        EXPECT_EQ(narrow.blobRadius, 1) << width;
        int peak = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < width; ++x)
                peak = std::max(peak, narrow.red(x, y));
        EXPECT_EQ(peak, 255) << "the cones still show";
    }
}

TEST(GeneratePixels, SmokeConesAllOutsideTheImageGiveZeroNotNaN)
{
    // A cone of radius 1 centred off a 3 by 1 image leaves every pixel at 0:
    // its largest value is 0, and 255 / 0 must not reach the pixels.
    for (std::uint32_t seed = 1; seed < 5000; ++seed) {
        Cone cone = firstCone(seed, 3, 1);
        if (cone.bx >= 0 && cone.bx < 3 && cone.by == 0)
            continue;
        Image image = generateImage(TextureKind::Smoke, 3, 1, GL_RGBA, 1, seed);
        EXPECT_EQ(image.blobRadius, 1);
        for (int i = 0; i < 3 * 4; ++i)
            EXPECT_EQ(image.bytes[i], 0);
        return;
    }
    FAIL() << "no seed with a cone off the pixel";
}

TEST(GeneratePixels, FogIsBrightestAtItsPointAndDarkestOppositeAndTiles)
{
    for (std::uint32_t seed : {testSeed, 99u, 31337u}) {
        randomSeed(seed);
        int px = static_cast<int>(randomUniform(256.0));
        int py = static_cast<int>(randomUniform(256.0));
        Image image = generateImage(TextureKind::Fog, 256, 256, GL_RGBA, 100, seed);
        EXPECT_EQ(image.blobRadius, 1);
        EXPECT_EQ(image.red(px, py), 255);
        EXPECT_EQ(image.alpha(px, py), 255);
        EXPECT_EQ(image.red((px + 128) % 256, (py + 128) % 256), 0);
        for (int i = 0; i < 256; ++i) {
            // Opposite edges are neighbours: within one step of 255 / 181.
            ASSERT_LE(std::abs(image.red(0, i) - image.red(255, i)), 2) << i;
            ASSERT_LE(std::abs(image.red(i, 0) - image.red(i, 255)), 2) << i;
            // Mirror images about the point, around the wrap.
            ASSERT_EQ(image.red((px + i) % 256, py), image.red((px + 256 - i) % 256, py)) << i;
        }
    }
}

TEST(GeneratePixels, FogOfOnePixelIsDefined)
{
    Image image = generateImage(TextureKind::Fog, 1, 1);
    EXPECT_EQ(image.result, generateOk);
    EXPECT_EQ(image.red(0, 0), 255);
}

TEST(GeneratePixels, SandIsWarmGrainWithRareOpaqueSpecks)
{
    Image image = generateImage(TextureKind::Sand, 256, 256);
    int black = 0, white = 0;
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 256; ++x) {
            const std::uint8_t* p = image.pixel(x, y);
            if (p[0] == 0 || p[0] == 255) {
                (p[0] == 0 ? black : white)++;
                ASSERT_EQ(p[1], p[0]);
                ASSERT_EQ(p[2], p[0]);
                ASSERT_EQ(p[3], 255);
                continue;
            }
            ASSERT_GE(p[0], 127);
            ASSERT_LE(p[0], 253);
            ASSERT_LE(p[2], 152) << "blue of an ordinary pixel stays below 0.6 * 254";
            ASSERT_LT(p[2], p[1]);
            ASSERT_LT(p[1], p[0]);
            ASSERT_EQ(p[3], p[0]);
        }
    }
    // About one in a thousand each.
    EXPECT_GT(black, 20);
    EXPECT_LT(black, 130);
    EXPECT_GT(white, 20);
    EXPECT_LT(white, 130);
}

TEST(GeneratePixels, GrainIsGreyNoiseWithAlphaEqualToBrightness)
{
    Image image = generateImage(TextureKind::Grain, 256, 256);
    int lowest = 255, highest = 0;
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 256; ++x) {
            const std::uint8_t* p = image.pixel(x, y);
            ASSERT_EQ(p[1], p[0]);
            ASSERT_EQ(p[2], p[0]);
            ASSERT_EQ(p[3], p[0]);
            lowest = std::min(lowest, int(p[0]));
            highest = std::max(highest, int(p[0]));
        }
    }
    EXPECT_EQ(lowest, 0);
    EXPECT_EQ(highest, 254);
}

TEST(GeneratePixels, GeometricKindsAtTellingPixels)
{
    struct Case {
        TextureKind kind;
        int width, height, x, y;
        int rgba[4];
    };
    const Case cases[] = {
        {TextureKind::Sphere, 64, 64, 32, 32, {255, 255, 255, 255}},
        {TextureKind::Sphere, 64, 64, 0, 0, {0, 0, 0, 0}},
        {TextureKind::Sphere, 64, 64, 48, 32, {191, 191, 191, 191}},   // d = 0.5: 255 * 0.75
        {TextureKind::Sphere, 64, 16, 32, 8, {255, 255, 255, 255}},    // round with radius cx
        {TextureKind::Sphere, 64, 16, 32, 0, {239, 239, 239, 239}},    // d = 8 / 32
        {TextureKind::NotSphere, 64, 64, 32, 32, {0, 0, 0, 0}},
        {TextureKind::NotSphere, 64, 64, 0, 0, {255, 255, 255, 255}},
        {TextureKind::NotSphere, 64, 64, 48, 32, {63, 63, 63, 63}},
        {TextureKind::Gradient, 16, 256, 3, 0, {240, 240, 240, 240}},
        {TextureKind::Gradient, 16, 256, 3, 8, {180, 180, 180, 180}},  // 15 * (16 - 4)
        {TextureKind::Gradient, 16, 256, 3, 128, {0, 0, 0, 0}},
        {TextureKind::Gradient, 16, 256, 3, 200, {0, 0, 0, 0}},        // stays dark, no wrap
        {TextureKind::Ring, 256, 256, 128, 128, {0, 0, 0, 0}},
        {TextureKind::Ring, 256, 256, 128 + 58, 128, {255, 255, 255, 255}},
        {TextureKind::Ring, 256, 256, 128 + 29, 128, {127, 127, 127, 127}},
        {TextureKind::Ring, 256, 256, 128 + 62, 128, {114, 114, 114, 114}},  // 255 * (9 - 8 * 62 / 58)
        {TextureKind::Ring, 256, 256, 128 + 66, 128, {0, 0, 0, 0}},
        {TextureKind::Ring, 16, 16, 8, 8, {0, 0, 0, 0}},               // radii independent of size
        {TextureKind::Star, 64, 64, 32, 32, {255, 255, 255, 255}},
        {TextureKind::Star, 64, 64, 0, 32, {0, 0, 0, 0}},
        {TextureKind::Star, 64, 64, 32, 0, {0, 0, 0, 0}},
        {TextureKind::Star, 64, 64, 16, 32, {127, 127, 127, 127}},
        {TextureKind::Star, 64, 64, 16, 16, {63, 63, 63, 63}},
        {TextureKind::Black, 8, 8, 3, 5, {0, 0, 0, 255}},
        {TextureKind::Check, 16, 16, 0, 0, {255, 255, 255, 1}},
        {TextureKind::Check, 16, 16, 4, 0, {0, 0, 0, 0}},
        {TextureKind::Check, 16, 16, 0, 4, {0, 0, 0, 0}},
        {TextureKind::Check, 16, 16, 7, 7, {255, 255, 255, 1}},
        {TextureKind::Check, 16, 16, 3, 8, {255, 255, 255, 1}},
        {TextureKind::Grille, 32, 32, 0, 5, {255, 255, 255, 255}},
        {TextureKind::Grille, 32, 32, 5, 16, {255, 255, 255, 255}},
        {TextureKind::Grille, 32, 32, 5, 7, {0, 0, 0, 0}},
        {TextureKind::Grille, 32, 32, 9, 9, {0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        Image image = generateImage(c.kind, c.width, c.height);
        ASSERT_EQ(image.result, generateOk);
        const std::uint8_t* p = image.pixel(c.x, c.y);
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(p[i], c.rgba[i]) << "kind " << static_cast<int>(c.kind) << " at " << c.x << "," << c.y
                                       << " channel " << i;
        }
    }
}

TEST(GeneratePixels, KindsWithoutAPatternGiveZeroBytes)
{
    for (TextureKind kind : {TextureKind::Blank, TextureKind::X50, TextureKind::Y50}) {
        for (GLenum format : {GLenum(GL_RGBA), GLenum(GL_LUMINANCE_ALPHA)}) {
            Image image = generateImage(kind, 32, 16, format);
            ASSERT_EQ(image.result, generateOk);
            for (int i = 0; i < 32 * 16 * image.bytesPerPixel; ++i)
                ASSERT_EQ(image.bytes[i], 0) << static_cast<int>(kind);
            EXPECT_EQ(image.bytes[32 * 16 * image.bytesPerPixel], 0xAB) << "nothing beyond the image";
        }
    }
}

TEST(GeneratePixels, LuminanceAlphaStoresTheAlphaTwicePerPixel)
{
    for (int kind = 0; kind < textureKindCount; ++kind) {
        Image rgba = generateImage(static_cast<TextureKind>(kind), 40, 24, GL_RGBA);
        Image pairs = generateImage(static_cast<TextureKind>(kind), 40, 24, GL_LUMINANCE_ALPHA);
        ASSERT_EQ(pairs.result, generateOk);
        EXPECT_EQ(pairs.stateAfter, rgba.stateAfter) << "same draws in both formats, kind " << kind;
        for (int y = 0; y < 24; ++y) {
            for (int x = 0; x < 40; ++x) {
                ASSERT_EQ(pairs.pixel(x, y)[0], rgba.alpha(x, y)) << "kind " << kind;
                ASSERT_EQ(pairs.pixel(x, y)[1], rgba.alpha(x, y)) << "kind " << kind;
            }
        }
        EXPECT_EQ(pairs.bytes[40 * 24 * 2], 0xAB) << "2 bytes per pixel, kind " << kind;
    }
}

TEST(GeneratePixels, DegenerateSizesGiveDefinedImages)
{
    // Half-sizes of 0 would divide by zero in SPHERE, NOTSPHERE and STAR.
    struct Case {
        TextureKind kind;
        int width, height, x, y, red;
    };
    const Case cases[] = {
        {TextureKind::Sphere, 1, 1, 0, 0, 255},   {TextureKind::Sphere, 1, 9, 0, 4, 255},
        {TextureKind::Sphere, 1, 9, 0, 0, 0},     {TextureKind::NotSphere, 1, 1, 0, 0, 0},
        {TextureKind::NotSphere, 9, 1, 0, 0, 255}, {TextureKind::Star, 1, 1, 0, 0, 0},
        {TextureKind::Star, 9, 1, 4, 0, 0},       {TextureKind::Star, 2, 2, 1, 1, 255},
    };
    for (const Case& c : cases) {
        Image image = generateImage(c.kind, c.width, c.height);
        ASSERT_EQ(image.result, generateOk);
        EXPECT_EQ(image.red(c.x, c.y), c.red)
            << "kind " << static_cast<int>(c.kind) << " " << c.width << "x" << c.height;
    }
    // Every kind at every awkward size completes; the sanitizer build checks
    // that no float reaching an integer is out of range.
    const int sizes[][2] = {{1, 1}, {1, 256}, {256, 1}, {2, 3}, {24, 24}, {65536, 1}, {1, 65536}, {512, 128}};
    for (int kind = 0; kind < textureKindCount; ++kind) {
        for (const auto& size : sizes) {
            Image image = generateImage(static_cast<TextureKind>(kind), size[0], size[1]);
            bool usesField = kind == static_cast<int>(TextureKind::Smoke) || kind == static_cast<int>(TextureKind::Fog);
            bool fits = size[0] <= 256 && size[1] <= 256;
            EXPECT_EQ(image.result, !usesField || fits ? generateOk : generateRefused)
                << "kind " << kind << " " << size[0] << "x" << size[1];
        }
    }
}
