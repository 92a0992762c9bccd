// The scene's four textures, generated as the scene build makes them before
// the first frame: seed 4450264, then SMOKE into slot 0, GRAIN into slot 9,
// FOG into slot 10 and SAND into slot 1, each 256 by 256 GL_RGBA without
// mipmaps, uploaded to a GL that does nothing. Beside it the same four images
// evaluated the straightforward way (every SMOKE cone over every pixel), for
// the ratio.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "glrecorder/gl_recorder.h"
#include "math/random.h"
#include "reference/straightforward_textures.h"
#include "textures/texture.h"
#include "textures/texture_registry.h"

namespace {

constexpr std::uint32_t sceneSeed = 4450264;

struct SceneImage {
    int slot;
    TextureKind kind;
};
const SceneImage sceneImages[] = {
    {0, TextureKind::Smoke},
    {9, TextureKind::Grain},
    {10, TextureKind::Fog},
    {1, TextureKind::Sand},
};

void BM_SceneTextures(benchmark::State& state)
{
    glrec::reset();
    glrec::setRecording(false);
    Texture::resetSharedSettings();
    Texture slots[20];
    for (auto _ : state) {
        textureRegistry.reset();
        randomSeed(sceneSeed);
        for (const SceneImage& image : sceneImages)
            slots[image.slot].generate(image.kind, 256, 256, GL_RGBA, false);
        benchmark::ClobberMemory();
    }
    textureRegistry.reset();
    glrec::setRecording(true);
}
BENCHMARK(BM_SceneTextures)->Unit(benchmark::kMillisecond);

void BM_SceneTexturesStraightforward(benchmark::State& state)
{
    glrec::reset();
    glrec::setRecording(false);
    Texture::resetSharedSettings();
    Texture slots[20];
    std::vector<std::uint8_t> pixels(256 * 256 * 4);
    for (auto _ : state) {
        randomSeed(sceneSeed);
        for (const SceneImage& image : sceneImages) {
            Texture& slot = slots[image.slot];
            straightforwardPixels(image.kind, 256, 256, GL_RGBA, slot.blobCount, slot.blobRadius, pixels.data());
            slot.bind();
            slot.setFilters(false);
            glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 256, 256, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        }
        benchmark::ClobberMemory();
    }
    glrec::setRecording(true);
}
BENCHMARK(BM_SceneTexturesStraightforward)->Unit(benchmark::kMillisecond);

}  // namespace
