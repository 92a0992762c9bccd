// The frames-per-second read-out: a counter that updates its text once a
// second, and the text drawn with GL in the top left corner of the window
// from a small built-in pixel font. Counting and drawing allocate nothing.
//
// Times are microseconds on a monotonic clock; sizes are pixels.
#pragma once

#include <cstdint>

class FpsReadout {
public:
    // Counts a drawn frame; once a second has passed since the last update
    // the text becomes the rate over that time, to a tenth, as "FPS 57.3".
    void frameDrawn(std::int64_t now);
    const char* text() const { return shown; }

    // Draws the text over the frame in the back buffer. Every GL state it
    // touches (attributes, both matrices, the viewport) is restored, so the
    // scene's next frame starts from the state it left.
    void draw(int windowWidth, int windowHeight) const;

private:
    std::int64_t intervalStart = 0;
    long framesInInterval = 0;
    bool started = false;
    char shown[24] = "FPS --";
};
