#include "reference/straightforward_textures.h"

#include <cmath>
#include <cstdlib>

#include "math/random.h"
#include "textures/texture.h"
#include "textures/texture_generator.h"

namespace {

float field[256][256];

void writeOne(std::uint8_t* pixels, int index, GLenum format, float r, float g, float b, float a)
{
    if (format == GL_RGBA) {
        std::uint8_t* p = pixels + index * 4;
        p[0] = colorByte(r);
        p[1] = colorByte(g);
        p[2] = colorByte(b);
        p[3] = colorByte(a);
    } else {
        std::uint8_t* p = pixels + index * 2;
        p[0] = p[1] = colorByte(a);
    }
}

void smoke(int width, int height, GLenum format, int blobCount, int& blobRadius, std::uint8_t* pixels)
{
    float largest = -9999.0f;
    if (blobCount < 1) {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                field[y][x] = 0.0f;
    }
    for (int k = 0; k < blobCount; ++k) {
        blobRadius = static_cast<int>(randomUniform(0.24 * width) + 0.04 * width);
        if (blobRadius < 1)
            blobRadius = 1;
        int bx = static_cast<int>(randomGauss(0.17 * width) + 0.5 * width);
        int by = static_cast<int>(randomGauss(0.17 * height) + 0.5 * height);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                if (k == 0)
                    field[y][x] = 0.0f;
                int sq = (x - bx) * (x - bx) + (y - by) * (y - by);
                float d = std::sqrt(static_cast<float>(sq)) / static_cast<float>(blobRadius);
                if (d > 1.0f)
                    d = 1.0f;
                field[y][x] += 1.0f - d;
                if (field[y][x] > largest)
                    largest = field[y][x];
            }
        }
    }
    float scale = largest > 0.0f ? 255.0f / largest : 0.0f;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            float v = scale * field[y][x];
            writeOne(pixels, y * width + x, format, v, v, v, v);
        }
    }
}

void fog(int width, int height, GLenum format, int& blobRadius, std::uint8_t* pixels)
{
    blobRadius = 1;
    int px = static_cast<int>(randomUniform(256.0));
    int py = static_cast<int>(randomUniform(256.0));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            int dy = std::abs(y - py);
            if (std::abs(height - std::abs(y - py)) < dy)
                dy = std::abs(height - std::abs(y - py));
            int dx = std::abs(x - px);
            if (std::abs(width - std::abs(x - px)) < dx)
                dx = std::abs(width - std::abs(x - px));
            field[y][x] = std::sqrt(static_cast<float>(dx * dx + dy * dy)) / static_cast<float>(blobRadius);
        }
    }
    float largest = -1000000.0f;
    float smallest = 1000000.0f;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (field[y][x] > largest)
                largest = field[y][x];
            if (field[y][x] < smallest)
                smallest = field[y][x];
        }
    }
    float range = static_cast<float>(std::abs(static_cast<int>(largest - smallest)));
    if (range < 1.0f)
        range = 1.0f;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            float f = 1.0f - (field[y][x] - smallest) / range;
            if (f < 0.0f)
                f = 0.0f;
            if (f > 1.0f)
                f = 1.0f;
            float v = 255.0f * f;
            writeOne(pixels, y * width + x, format, v, v, v, v);
        }
    }
}

void perPixel(TextureKind kind, int width, int height, GLenum format, std::uint8_t* pixels)
{
    int cx = static_cast<int>(0.5 * width);
    int cy = static_cast<int>(0.5 * height);
    float divisorX = static_cast<float>(cx < 1 ? 1 : cx);
    float divisorY = static_cast<float>(cy < 1 ? 1 : cy);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            int fx = x - cx;
            int fy = y - cy;
            float r = 0.0f, g = 0.0f, b = 0.0f, a = 0.0f;
            float v = 0.0f;
            bool isGrey = true;
            switch (kind) {
            case TextureKind::Sphere:
            case TextureKind::NotSphere: {
                float d = std::sqrt(static_cast<float>(fx * fx + fy * fy)) / divisorX;
                if (d > 1.0f)
                    d = 1.0f;
                v = kind == TextureKind::Sphere ? 255.0f * (1.0f - d * d) : 255.0f * (d * d);
                break;
            }
            case TextureKind::Gradient:
                v = 15.0f * (16.0f - std::sqrt(static_cast<float>(2 * y)));
                if (v < 0.0f)
                    v = 0.0f;
                break;
            case TextureKind::Ring: {
                float d = std::sqrt(static_cast<float>((x - cx) * (x - cx) + (y - cy) * (y - cy))) / 58.0f;
                if (d > 1.0f)
                    d = 9.0f - 8.0f * d;
                v = d < 0.0f ? 0.0f : 255.0f * d;
                break;
            }
            case TextureKind::Star: {
                float tx = static_cast<float>(cx - std::abs(x - cx)) / divisorX;
                float ty = static_cast<float>(cy - std::abs(y - cy)) / divisorY;
                float p = tx * ty;
                p = p < 0.0f ? 0.0f : (p > 1.0f ? 1.0f : p);
                v = 255.0f * p;
                break;
            }
            case TextureKind::Sand: {
                isGrey = false;
                float u = randomUniform(1.0f);
                a = 255.0f;
                if (u < 0.001f) {
                    r = g = b = 0.0f;
                } else if (u < 0.002f) {
                    r = g = b = 255.0f;
                } else {
                    float t = randomUniform(127.0f) + 127.0f;
                    r = t;
                    g = 0.8f * t;
                    b = 0.6f * t;
                    a = t;
                }
                break;
            }
            case TextureKind::Black:
                isGrey = false;
                a = 255.0f;
                break;
            case TextureKind::Check: {
                isGrey = false;
                int p = ((x / 4) % 2) ^ ((y / 4) % 2);
                float c = static_cast<float>(1 - p);
                r = g = b = 255.0f * c;
                a = c;
                break;
            }
            case TextureKind::Grille:
                v = (x % 8 == 0 || y % 8 == 0) ? 255.0f : 0.0f;
                break;
            case TextureKind::Grain:
                isGrey = false;
                r = g = b = 255.0f * randomUniform(1.0f);
                a = (r + g + b) / 3.0f;
                break;
            default:
                break;
            }
            if (isGrey)
                r = g = b = a = v;
            writeOne(pixels, y * width + x, format, r, g, b, a);
        }
    }
}

}  // namespace

int straightforwardPixels(TextureKind kind, int width, int height, GLenum format, int blobCount, int& blobRadius,
                          std::uint8_t* pixels)
{
    if (checkTextureRequest(kind, width, height, format) != generateOk)
        return generateRefused;
    if (kind == TextureKind::Smoke)
        smoke(width, height, format, blobCount, blobRadius, pixels);
    else if (kind == TextureKind::Fog)
        fog(width, height, format, blobRadius, pixels);
    else
        perPixel(kind, width, height, format, pixels);
    return generateOk;
}
