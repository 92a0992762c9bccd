#include "animation/view.h"

#include <cmath>
#include <cstdint>
#include <limits>

#include "gl_api.h"

int truncatePixel(float value)
{
    if (std::isnan(value))
        return 0;
    // 2^31 is exact in float; every float below it converts without overflow.
    constexpr float intLimit = 2147483648.0f;
    if (value >= intLimit)
        return std::numeric_limits<int>::max();
    if (value <= -intLimit)
        return std::numeric_limits<int>::min();
    return static_cast<int>(value);
}

void View::setFractions(double left, double bottom, double right, double top)
{
    fraction[0] = static_cast<float>(left);
    fraction[1] = static_cast<float>(bottom);
    fraction[2] = static_cast<float>(right);
    fraction[3] = static_cast<float>(top);
}

void View::setArea(double left, double bottom, double right, double top)
{
    area[0] = static_cast<float>(left);
    area[1] = static_cast<float>(bottom);
    area[2] = static_cast<float>(right);
    area[3] = static_cast<float>(top);
    area[4] = area[2] - area[0];
    area[5] = area[3] - area[1];
}

void View::computeViewport()
{
    viewport[0] = fraction[0] * area[4] + area[0];
    viewport[1] = fraction[1] * area[5] + area[1];
    viewport[2] = fraction[2] * area[4] + area[0];
    viewport[3] = fraction[3] * area[5] + area[1];
    viewport[4] = viewport[2] - viewport[0];
    viewport[5] = viewport[3] - viewport[1];
}

namespace {

// How many parts of at most limit pixels a length needs.
int partsFor(int length, int limit)
{
    if (limit <= 0 || length <= limit)
        return 1;
    return int((std::int64_t(length) + limit - 1) / limit);
}

// Where part i of count parts of a length starts, from its start.
int partStart(int length, int i, int count) { return int(std::int64_t(length) * i / count); }

}  // namespace

PixelTile View::truncatedViewport() const
{
    const int viewportWidth = truncatePixel(viewport[4]);
    const int viewportHeight = truncatePixel(viewport[5]);
    return {truncatePixel(viewport[0]), truncatePixel(viewport[1]), viewportWidth < 0 ? 0 : viewportWidth,
            viewportHeight < 0 ? 0 : viewportHeight};
}

int View::tileCount(int maxWidth, int maxHeight) const
{
    const PixelTile whole = truncatedViewport();
    return partsFor(whole.width, maxWidth) * partsFor(whole.height, maxHeight);
}

PixelTile View::tile(int index, int maxWidth, int maxHeight) const
{
    const PixelTile whole = truncatedViewport();
    const int columns = partsFor(whole.width, maxWidth);
    const int rows = partsFor(whole.height, maxHeight);
    const int column = index % columns;
    const int row = index / columns;
    const int left = partStart(whole.width, column, columns);
    const int bottom = partStart(whole.height, row, rows);
    return {whole.x + left, whole.y + bottom, partStart(whole.width, column + 1, columns) - left,
            partStart(whole.height, row + 1, rows) - bottom};
}

void View::applyOrtho() const
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(truncatePixel(viewport[0]), truncatePixel(viewport[2]), truncatePixel(viewport[1]),
            truncatePixel(viewport[3]), -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}
