// Helpers of the rendering tests: a frame read back from the offscreen
// context, addressed as GL addresses it (x from the left, y from the bottom).
#pragma once

#include <cstdint>
#include <vector>

struct Rgb {
    int red;
    int green;
    int blue;
    bool operator==(const Rgb& other) const
    {
        return red == other.red && green == other.green && blue == other.blue;
    }
};

class Picture {
public:
    Rgb at(int x, int y) const
    {
        const std::uint8_t* pixel = &rgb[(std::size_t(y) * std::size_t(width) + std::size_t(x)) * 3];
        return {pixel[0], pixel[1], pixel[2]};
    }

    bool rowIs(int y, Rgb colour) const
    {
        for (int x = 0; x < width; ++x) {
            if (!(at(x, y) == colour))
                return false;
        }
        return true;
    }

    // Rows of the colour counted from the bottom, and from the top.
    int rowsFromBottom(Rgb colour) const
    {
        int rows = 0;
        while (rows < height && rowIs(rows, colour))
            ++rows;
        return rows;
    }
    int rowsFromTop(Rgb colour) const
    {
        int rows = 0;
        while (rows < height && rowIs(height - 1 - rows, colour))
            ++rows;
        return rows;
    }

    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;  // bottom row first
};
