#include "host/windows/virtual_screen.h"

#include <cstdint>

ScreenRect virtualScreenFromMetrics(int left, int top, int width, int height, const ScreenRect& clipBox)
{
    if (width <= 0 || height <= 0)
        return clipBox;
    // In 64 bits: a corner beyond the int range is the metrics' fault, and
    // the clip box serves better than a wrapped rectangle.
    const std::int64_t right = std::int64_t(left) + width;
    const std::int64_t bottom = std::int64_t(top) + height;
    if (right > INT32_MAX || bottom > INT32_MAX)
        return clipBox;
    return {left, top, int(right), int(bottom)};
}
