#include "textures/texture_generator.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "math/random.h"
#include "textures/texture.h"

namespace {

// SMOKE's working field, field[y][x] with a row length of 256 whatever the
// image width. Static, like the tables below: 256 KiB is too much for the
// stack, and nothing in them outlives a call.
alignas(16) float field[textureFieldSide][textureFieldSide];

// A SMOKE radius is below 0.24 * 256 + 0.04 * 256 = 71.68 pixels.
constexpr int maxSmokeRadius = 72;

// One cone's values over a quarter disc, mirrored along each row:
// coneRows[|dy|][maxSmokeRadius - 1 + dx] for |dx|, |dy| below the radius.
alignas(16) float coneRows[maxSmokeRadius][2 * maxSmokeRadius - 1];
// coneSpan[|dy|]: the largest |dx| with dx^2 + dy^2 below the radius squared.
int coneSpan[maxSmokeRadius];

struct Rgba {
    float r, g, b, a;
};

// Writes every pixel in scan order (rows outer, columns inner) from
// colorOf(x, y), which may draw random numbers.
template <typename ColorOf>
void writePixels(int width, int height, GLenum format, std::uint8_t* pixels, ColorOf colorOf)
{
    std::uint8_t* pixel = pixels;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            Rgba c = colorOf(x, y);
            if (format == GL_RGBA) {
                pixel[0] = colorByte(c.r);
                pixel[1] = colorByte(c.g);
                pixel[2] = colorByte(c.b);
                pixel[3] = colorByte(c.a);
                pixel += 4;
            } else {
                pixel[0] = pixel[1] = colorByte(c.a);
                pixel += 2;
            }
        }
    }
}

Rgba grey(float v) { return Rgba{v, v, v, v}; }

// Writes one grey byte into every byte of a pixel of 4 or 2 bytes.
void writeGreyPixel(std::uint8_t* pixel, int bytesPerPixel, std::uint8_t v)
{
    if (bytesPerPixel == 4) {
        std::uint32_t word = v * 0x01010101u;
        std::memcpy(pixel, &word, sizeof word);
    } else {
        pixel[0] = pixel[1] = v;
    }
}

// SMOKE's pixels: v = scale * field, one grey value per pixel.
void writeFieldPixels(int width, int height, GLenum format, std::uint8_t* pixels, float scale)
{
    int bytesPerPixel = textureBytesPerPixel(format);
    std::uint8_t* pixel = pixels;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            writeGreyPixel(pixel, bytesPerPixel, colorByte(scale * field[y][x]));
            pixel += bytesPerPixel;
        }
    }
}

// One cone of height 1 at squared distance sq from its centre.
float coneValue(int sq, int radius)
{
    float d = std::sqrt(static_cast<float>(sq)) / static_cast<float>(radius);
    if (d > 1.0f)
        d = 1.0f;
    return 1.0f - d;
}

// Fills coneRows and coneSpan for one radius. The value depends on dx^2 + dy^2
// only, so each value is computed once for |dx| >= |dy| and mirrored.
void buildCone(int radius)
{
    const int centre = maxSmokeRadius - 1;
    const int radiusSquared = radius * radius;
    int span = radius - 1;
    for (int a = 0; a < radius; ++a) {
        while (a * a + span * span >= radiusSquared)
            --span;
        coneSpan[a] = span;
        for (int b = a; b <= span; ++b) {
            float v = coneValue(a * a + b * b, radius);
            coneRows[a][centre + b] = coneRows[a][centre - b] = v;
            coneRows[b][centre + a] = coneRows[b][centre - a] = v;
        }
    }
}

// sum[i] += add[i] for i below count, four at a time where it can: each sum
// is the same single-precision addition as one at a time.
void addRow(float* sum, const float* add, int count)
{
    typedef float Float4 __attribute__((vector_size(16)));  // GCC's and Clang's vector of four floats
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        Float4 a;
        Float4 b;
        std::memcpy(&a, sum + i, sizeof a);
        std::memcpy(&b, add + i, sizeof b);
        a += b;
        std::memcpy(sum + i, &a, sizeof a);
    }
    for (; i < count; ++i)
        sum[i] += add[i];
}

// Adds one cone to the field. Pixels at or beyond the radius would add
// exactly 0, so only the disc inside the image is visited: the same sums as
// adding the cone to every pixel.
void addCone(int width, int height, int bx, int by, int radius)
{
    buildCone(radius);
    const int centre = maxSmokeRadius - 1;
    int yFirst = by - radius + 1 > 0 ? by - radius + 1 : 0;
    int yLast = by + radius - 1 < height - 1 ? by + radius - 1 : height - 1;
    for (int y = yFirst; y <= yLast; ++y) {
        int rowDistance = std::abs(y - by);
        int span = coneSpan[rowDistance];
        int xFirst = bx - span > 0 ? bx - span : 0;
        int xLast = bx + span < width - 1 ? bx + span : width - 1;
        addRow(field[y] + xFirst, coneRows[rowDistance] + centre + (xFirst - bx), xLast - xFirst + 1);
    }
}

void generateSmoke(int width, int height, GLenum format, int blobCount, int& blobRadius, std::uint8_t* pixels)
{
    for (int y = 0; y < height; ++y)
        std::memset(field[y], 0, sizeof(float) * static_cast<std::size_t>(width));
    for (int k = 0; k < blobCount; ++k) {
        blobRadius = static_cast<int>(randomUniform(0.24 * width) + 0.04 * width);
        if (blobRadius < 1)
            blobRadius = 1;  // narrow images, below 25 pixels, can truncate it to 0
        int bx = static_cast<int>(randomGauss(0.17 * width) + 0.5 * width);
        int by = static_cast<int>(randomGauss(0.17 * height) + 0.5 * height);
        addCone(width, height, bx, by, blobRadius);
    }
    // Cones only add, so the largest value ever held is the largest at the end.
    float largest = -9999.0f;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (field[y][x] > largest)
                largest = field[y][x];
        }
    }
    // No cone reached the image: all zero rather than 255 / 0.
    float scale = largest > 0.0f ? 255.0f / largest : 0.0f;
    writeFieldPixels(width, height, format, pixels, scale);
}

// The shorter way from a to b on a circle of the given length, the way FOG
// wraps around the image's edges.
int wrapDistance(int a, int b, int length)
{
    int direct = std::abs(a - b);
    int around = std::abs(length - direct);
    return direct < around ? direct : around;
}

// FOG's bytes by wrap-around distance: fogBytes[dy][dx]. A pixel's byte
// depends only on its column's and its row's distance from the point, so each
// byte is computed once and copied to up to four pixels.
std::uint8_t fogBytes[textureFieldSide][textureFieldSide];
bool fogRowReady[textureFieldSide];

void generateFog(int width, int height, GLenum format, int& blobRadius, std::uint8_t* pixels)
{
    blobRadius = 1;
    // The point lies in 0 to 255 whatever the image size.
    int px = static_cast<int>(randomUniform(256.0));
    int py = static_cast<int>(randomUniform(256.0));
    int columnDistance[textureFieldSide];
    int nearestColumn = textureFieldSide;
    int farthestColumn = 0;
    for (int x = 0; x < width; ++x) {
        columnDistance[x] = wrapDistance(x, px, width);
        nearestColumn = std::min(nearestColumn, columnDistance[x]);
        farthestColumn = std::max(farthestColumn, columnDistance[x]);
    }
    int rowDistance[textureFieldSide];
    int nearestRow = textureFieldSide;
    int farthestRow = 0;
    for (int y = 0; y < height; ++y) {
        rowDistance[y] = wrapDistance(y, py, height);
        nearestRow = std::min(nearestRow, rowDistance[y]);
        farthestRow = std::max(farthestRow, rowDistance[y]);
        fogRowReady[rowDistance[y]] = false;
    }
    auto distanceOf = [blobRadius](int dx, int dy) {
        return std::sqrt(static_cast<float>(dx * dx + dy * dy)) / static_cast<float>(blobRadius);
    };
    // The distance grows with dx and with dy, so the field's smallest and
    // largest values lie at the nearest and the farthest column and row.
    float smallest = distanceOf(nearestColumn, nearestRow);
    float largest = distanceOf(farthestColumn, farthestRow);
    float range = static_cast<float>(std::abs(static_cast<int>(largest - smallest)));
    if (range < 1.0f)
        range = 1.0f;  // all distances within 1 of each other, as in a 1 by 1 image

    int bytesPerPixel = textureBytesPerPixel(format);
    std::uint8_t* pixel = pixels;
    for (int y = 0; y < height; ++y) {
        int dy = rowDistance[y];
        std::uint8_t* rowBytes = fogBytes[dy];
        if (!fogRowReady[dy]) {
            for (int dx = nearestColumn; dx <= farthestColumn; ++dx) {
                float f = 1.0f - (distanceOf(dx, dy) - smallest) / range;
                if (f < 0.0f)
                    f = 0.0f;
                if (f > 1.0f)
                    f = 1.0f;
                rowBytes[dx] = colorByte(255.0f * f);
            }
            fogRowReady[dy] = true;
        }
        for (int x = 0; x < width; ++x) {
            writeGreyPixel(pixel, bytesPerPixel, rowBytes[columnDistance[x]]);
            pixel += bytesPerPixel;
        }
    }
}

void generateSand(int width, int height, GLenum format, std::uint8_t* pixels)
{
    writePixels(width, height, format, pixels, [](int, int) {
        float u = randomUniform(1.0f);
        if (u < 0.001f)
            return Rgba{0.0f, 0.0f, 0.0f, 255.0f};
        if (u < 0.002f)
            return Rgba{255.0f, 255.0f, 255.0f, 255.0f};
        float t = randomUniform(127.0f) + 127.0f;
        return Rgba{t, 0.8f * t, 0.6f * t, t};
    });
}

void generateGrain(int width, int height, GLenum format, std::uint8_t* pixels)
{
    writePixels(width, height, format, pixels, [](int, int) {
        float v = 255.0f * randomUniform(1.0f);
        return Rgba{v, v, v, (v + v + v) / 3.0f};
    });
}

// The kinds that depend on the pixel's place only.
void generateGeometric(TextureKind kind, int width, int height, GLenum format, std::uint8_t* pixels)
{
    const int cx = static_cast<int>(0.5 * width);
    const int cy = static_cast<int>(0.5 * height);
    // A side of 1 has a half-size of 0; divide by 1 there instead.
    const float radiusX = static_cast<float>(cx > 0 ? cx : 1);
    const float radiusY = static_cast<float>(cy > 0 ? cy : 1);
    auto centreDistance = [cx, cy](int x, int y) {
        int fx = x - cx;
        int fy = y - cy;
        return std::sqrt(static_cast<float>(fx * fx + fy * fy));
    };
    switch (kind) {
    case TextureKind::Sphere:
    case TextureKind::NotSphere: {
        bool inverse = kind == TextureKind::NotSphere;
        writePixels(width, height, format, pixels, [&](int x, int y) {
            // Both axes divide by cx: the disc is round with radius cx.
            float d = centreDistance(x, y) / radiusX;
            if (d > 1.0f)
                d = 1.0f;
            return grey(inverse ? 255.0f * (d * d) : 255.0f * (1.0f - d * d));
        });
        break;
    }
    case TextureKind::Gradient:
        writePixels(width, height, format, pixels, [](int, int y) {
            float v = 15.0f * (16.0f - std::sqrt(static_cast<float>(2 * y)));
            return grey(v > 0.0f ? v : 0.0f);  // dark from row 128 on, also in taller images
        });
        break;
    case TextureKind::Ring:
        writePixels(width, height, format, pixels, [&](int x, int y) {
            // Radii in pixels whatever the image size: up to 58, down to 65.25.
            float d = centreDistance(x, y) / 58.0f;
            if (d > 1.0f)
                d = 9.0f - 8.0f * d;
            return grey(d < 0.0f ? 0.0f : 255.0f * d);
        });
        break;
    case TextureKind::Star:
        writePixels(width, height, format, pixels, [&](int x, int y) {
            float tx = static_cast<float>(cx - std::abs(x - cx)) / radiusX;
            float ty = static_cast<float>(cy - std::abs(y - cy)) / radiusY;
            float p = tx * ty;
            if (p < 0.0f)
                p = 0.0f;
            if (p > 1.0f)
                p = 1.0f;
            return grey(255.0f * p);
        });
        break;
    case TextureKind::Black:
        writePixels(width, height, format, pixels, [](int, int) { return Rgba{0.0f, 0.0f, 0.0f, 255.0f}; });
        break;
    case TextureKind::Check:
        writePixels(width, height, format, pixels, [](int x, int y) {
            int dark = ((x / 4) % 2) ^ ((y / 4) % 2);
            float c = static_cast<float>(1 - dark);
            // Alpha is c itself, so the light cells' alpha byte is 1, not 255.
            return Rgba{255.0f * c, 255.0f * c, 255.0f * c, c};
        });
        break;
    case TextureKind::Grille:
        writePixels(width, height, format, pixels, [](int x, int y) {
            return grey(x % 8 == 0 || y % 8 == 0 ? 255.0f : 0.0f);
        });
        break;
    default:
        // Blank, X50 and Y50 have no pattern: a defined, empty image.
        std::memset(pixels, 0,
                    static_cast<std::size_t>(width) * static_cast<std::size_t>(height) *
                        static_cast<std::size_t>(textureBytesPerPixel(format)));
        break;
    }
}

}  // namespace

int textureBytesPerPixel(GLenum format)
{
    if (format == GL_RGBA)
        return 4;
    if (format == GL_LUMINANCE_ALPHA)
        return 2;
    return 0;
}

int checkTextureRequest(TextureKind kind, int width, int height, GLenum format)
{
    if (width < 1 || height < 1)
        return generateRefused;
    // 64-bit product: two large sides must not overflow into a small one.
    if (static_cast<std::int64_t>(width) * height > maxTexturePixels)
        return generateRefused;
    if (!isTextureKind(kind) || textureBytesPerPixel(format) == 0)
        return generateRefused;
    bool usesField = kind == TextureKind::Smoke || kind == TextureKind::Fog;
    if (usesField && (width > textureFieldSide || height > textureFieldSide))
        return generateRefused;
    return generateOk;
}

int generatePixels(TextureKind kind, int width, int height, GLenum format, int blobCount, int& blobRadius,
                   std::uint8_t* pixels)
{
    if (checkTextureRequest(kind, width, height, format) != generateOk)
        return generateRefused;
    switch (kind) {
    case TextureKind::Smoke:
        generateSmoke(width, height, format, blobCount, blobRadius, pixels);
        break;
    case TextureKind::Fog:
        generateFog(width, height, format, blobRadius, pixels);
        break;
    case TextureKind::Sand:
        generateSand(width, height, format, pixels);
        break;
    case TextureKind::Grain:
        generateGrain(width, height, format, pixels);
        break;
    default:
        generateGeometric(kind, width, height, format, pixels);
        break;
    }
    return generateOk;
}
