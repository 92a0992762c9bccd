// The settings window's preview: the saver's scene drawn offscreen, through
// the scene director's seam, into the render tool's EGL context (a
// compatibility context, which the scene's OpenGL 1.1 calls need and a
// toolkit's GL area does not give).
//
// Sizes are pixels. A frame is rows of RGB bytes, 8 bits a channel, top row
// first, as a toolkit's image takes them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "offscreen_context.h"
#include "settings/settings.h"

class PreviewRenderer {
public:
    PreviewRenderer() = default;
    ~PreviewRenderer();

    PreviewRenderer(const PreviewRenderer&) = delete;
    PreviewRenderer& operator=(const PreviewRenderer&) = delete;

    // Opens the context and builds the scene with settings. False with a
    // sentence in error when no context can be made.
    bool open(int width, int height, const Settings& settings, std::string& error);

    // A fresh scene with these settings, as the saver would start with them.
    void rebuild(const Settings& settings);

    // Steps the animation by the time since the last frame and draws one.
    void drawFrame();

    // The last frame drawn: width * height * 3 bytes, top row first.
    const std::vector<std::uint8_t>& topDownFrame();

    // The last frame as GL read it, bottom row first (for PNG files).
    const std::vector<std::uint8_t>& bottomUpFrame() const { return bottomUp; }

    bool isOpen() const { return context.isOpen(); }
    int width() const { return context.width; }
    int height() const { return context.height; }

private:
    void buildScene(const Settings& settings);

    OffscreenContext context;
    std::vector<std::uint8_t> bottomUp;
    std::vector<std::uint8_t> topDown;
};
