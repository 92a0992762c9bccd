// The pixel side of the texture generator: the fifteen patterns computed into
// a caller's buffer without any GL call. Texture::generate uses it and then
// uploads; tests and tools call it directly.
//
// Images are rows of `width` pixels, row 0 first (GL's t = 0). A GL_RGBA pixel
// is 4 bytes R, G, B, A; a GL_LUMINANCE_ALPHA pixel is 2 bytes, both the
// pixel's alpha. Channel values are single-precision floats in byte units,
// turned into bytes by colorByte.
#pragma once

#include <cstdint>

#include "gl_api.h"
#include "textures/texture_kind.h"

constexpr int maxTexturePixels = 65536;
// SMOKE and FOG work in tables of 256 by 256 entries: neither side may exceed it.
constexpr int textureFieldSide = 256;

// 4 for GL_RGBA, 2 for GL_LUMINANCE_ALPHA, 0 for any format the generator
// does not write.
int textureBytesPerPixel(GLenum format);

// A channel value to its byte: truncated toward zero to a 32-bit integer,
// keeping the low 8 bits (254.9 gives 254, -1 gives 255). Values beyond the
// 32-bit range saturate to it first and NaN gives 0, so no input is undefined.
inline std::uint8_t colorByte(float value)
{
    if (value >= 0.0f && value < 256.0f)
        return static_cast<std::uint8_t>(static_cast<std::int32_t>(value));  // the usual case
    constexpr float int32Limit = 2147483648.0f;  // 2^31
    if (!(value < int32Limit))
        return value >= int32Limit ? 0xFF : 0;  // the low byte of INT32_MAX; NaN
    if (value < -int32Limit)
        return 0;  // the low byte of INT32_MIN
    return static_cast<std::uint8_t>(static_cast<std::uint32_t>(static_cast<std::int32_t>(value)) & 0xFFu);
}

// generateOk if generatePixels would compute the image, generateRefused
// otherwise: width * height above 65536, a side below 1, a kind outside 0 to
// 14, a format other than GL_RGBA and GL_LUMINANCE_ALPHA, or SMOKE and FOG
// with a side above 256.
int checkTextureRequest(TextureKind kind, int width, int height, GLenum format);

// Computes one image into pixels (width * height * textureBytesPerPixel(format)
// bytes). Returns generateRefused, drawing nothing and writing nothing, for a
// request that checkTextureRequest refuses.
//
// Random draws, in this order and number (nothing else draws):
// - SMOKE: per cone, blobRadius = trunc(randomUniform(0.24 * width) +
//   0.04 * width), then the centre column and row, each trunc(randomGauss(0.17
//   * side) + 0.5 * side): 13 draws per cone, in double precision. blobCount
//   cones (none when 0 or below: the image is then all zero). A radius that
//   truncates to 0 (widths below 25) counts as 1. Leaves the last radius in
//   blobRadius.
// - FOG: the point's column, then its row, trunc(randomUniform(256.0)): 2
//   draws. Sets blobRadius to 1.
// - SAND: per pixel randomUniform(1.0f), and for an ordinary (non-speck)
//   pixel a second draw randomUniform(127.0f).
// - GRAIN: per pixel randomUniform(1.0f).
// Per-pixel arithmetic is single precision.
//
// Choices where the patterns leave room: GRADIENT stays 0 from row 128 on
// instead of wrapping; SPHERE, NOTSPHERE and STAR divide by a half-size of at
// least 1; FOG's normalising range is at least 1; SMOKE whose cones leave
// no trace in the image (all beyond it, or none) is all zero; kinds 9, 12 and
// 13 are all zero bytes.
int generatePixels(TextureKind kind, int width, int height, GLenum format, int blobCount, int& blobRadius,
                   std::uint8_t* pixels);
