// The texture patterns evaluated the plain way, formula by formula: every
// SMOKE cone over every pixel, every kind through one per-pixel switch. Same
// arguments, result, random draws and guards as generatePixels, and the same
// bytes; much slower. Tests compare the two, and the benchmark measures the
// difference.
#pragma once

#include <cstdint>

#include "gl_api.h"
#include "textures/texture_kind.h"

int straightforwardPixels(TextureKind kind, int width, int height, GLenum format, int blobCount, int& blobRadius,
                          std::uint8_t* pixels);
