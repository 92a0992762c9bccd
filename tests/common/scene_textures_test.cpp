// The scene's four textures, generated as the scene build makes them, pinned
// by digest. The Windows build runs this too: the 32-bit program must produce
// the same bytes as the native one.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "math/random.h"
#include "textures/texture.h"
#include "textures/texture_generator.h"

namespace {

constexpr std::uint32_t sceneSeed = 4450264;

// FNV-1a, 64 bits.
std::uint64_t digestOf(const std::vector<std::uint8_t>& bytes)
{
    std::uint64_t hash = 14695981039346656037ull;
    for (std::uint8_t byte : bytes) {
        hash ^= byte;
        hash *= 1099511628211ull;
    }
    return hash;
}

struct SceneSlot {
    int slot;
    TextureKind kind;
    std::uint64_t digest;
};

// In the build's order: the later images depend on the draws of the earlier.
const SceneSlot sceneSlots[] = {
    {0, TextureKind::Smoke, 0xe1f6cfa59fe5b2f1ull},
    {9, TextureKind::Grain, 0xbac9567eda942f05ull},
    {10, TextureKind::Fog, 0xae09530ee23da621ull},
    {1, TextureKind::Sand, 0xb770720bc5f1adc0ull},
};

}  // namespace

TEST(SceneTextures, TheFourImagesFromTheSceneSeedHaveTheirPinnedDigests)
{
    randomSeed(sceneSeed);
    std::vector<std::uint8_t> pixels(256 * 256 * 4);
    for (const SceneSlot& scene : sceneSlots) {
        int blobRadius = 12;
        ASSERT_EQ(generatePixels(scene.kind, 256, 256, GL_RGBA, 100, blobRadius, pixels.data()), generateOk);
        EXPECT_EQ(digestOf(pixels), scene.digest)
            << "slot " << scene.slot << " digest 0x" << std::hex << digestOf(pixels);
    }
    EXPECT_EQ(randomState(), 0x6a0698efu) << "generator state after the four: 0x" << std::hex << randomState();
}
