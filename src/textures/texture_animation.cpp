#include <cmath>
#include <cstdint>

#include "math/random.h"
#include "textures/texture.h"
#include "textures/texture_generator.h"

namespace {

// A random offset of the given amplitude: randomUniform(amplitude) - half,
// from -half to just under amplitude - half. One draw.
float randomOffset(float amplitude, float half) { return randomUniform(amplitude) - half; }

// Truncation toward zero to a signed 32-bit integer, saturating at its range.
std::int32_t truncateToInt(float value)
{
    constexpr float int32Limit = 2147483648.0f;  // 2^31
    if (value >= int32Limit)
        return INT32_MAX;
    if (value < -int32Limit)
        return INT32_MIN;
    return static_cast<std::int32_t>(value);
}

}  // namespace

void Texture::applyEffects(std::uint32_t effects, int amplitude, int fadeRadius)
{
    // The column offsets hold 256 entries and the pixel buffer 65536 pixels.
    constexpr int maxColumns = 256;
    const int bytesPerPixel = textureBytesPerPixel(format);
    if (width < 1 || height < 1 || width > maxColumns || bytesPerPixel == 0 ||
        static_cast<std::int64_t>(width) * height > maxTexturePixels)
        return;

    // The fade's centre is (c, c): its row is also half the width, not half
    // the height.
    const int c = static_cast<int>(0.5 * width);
    const float radius = static_cast<float>(fadeRadius < 1 ? 1 : fadeRadius);
    const float amplitudeValue = static_cast<float>(amplitude);
    const float half = static_cast<float>(static_cast<int>(0.5 * amplitude));

    std::int32_t columnOffset[maxColumns] = {};
    if (effects & EffectColumnStreaks) {
        for (int x = 0; x < width; ++x)
            columnOffset[x] = truncateToInt(randomOffset(amplitudeValue, half));
    }

    std::uint8_t* pixel = scratchPixels;
    for (int y = 0; y < height; ++y) {
        std::int32_t rowOffset = 0;
        if (effects & EffectRowStreaks)
            rowOffset = truncateToInt(randomOffset(amplitudeValue, half));
        for (int x = 0; x < width; ++x) {
            // Offsets add in float: two saturated offsets must not overflow an int.
            float v = 255.0f;
            if (effects & EffectColumnStreaks)
                v += static_cast<float>(columnOffset[x]);
            if (effects & EffectRowStreaks)
                v += static_cast<float>(rowOffset);
            if (effects & EffectPixelNoise)
                v += randomOffset(amplitudeValue, half);
            if (effects & EffectRadialFade) {
                // In double: a 1-pixel-wide slot has rows far below the
                // centre, whose squares overflow an int.
                double dx = x - c;
                double dy = y - c;
                float ratio = std::sqrt(static_cast<float>(dx * dx + dy * dy)) / radius;
                float f = 1.0f - ratio * ratio;
                v *= f < 0.0f ? 0.0f : f;
            }
            if ((effects & EffectOddColumns) && (x % 2 == 1))
                v -= amplitudeValue;
            if ((effects & EffectOddRows) && (y % 2 == 1))
                v -= amplitudeValue;
            if (v < 0.0f)
                v = 0.0f;
            if (v > 255.0f)
                v = 255.0f;
            std::uint8_t byte = colorByte(v);
            for (int i = 0; i < bytesPerPixel; ++i)
                pixel[i] = byte;
            pixel += bytesPerPixel;
        }
    }

    bind();
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, width, height, format, GL_UNSIGNED_BYTE, scratchPixels);
}
