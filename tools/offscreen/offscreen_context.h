// An OpenGL context without a window: EGL on Mesa with no display server,
// drawing into a pbuffer of the requested size, for the offscreen renderer
// and the rendering tests.
//
// The context is desktop OpenGL (compatibility profile, so the 1.1 calls of
// the scene work), with 8-bit red, green and blue and a 16-bit depth buffer,
// as the saver's window asks for. Sizes are pixels; frames are read back as
// rows of RGB bytes, bottom row first, as GL stores them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class OffscreenContext {
public:
    OffscreenContext() = default;
    ~OffscreenContext();

    OffscreenContext(const OffscreenContext&) = delete;
    OffscreenContext& operator=(const OffscreenContext&) = delete;

    // Opens the display (Mesa's surfaceless platform, else the first EGL
    // device), creates the pbuffer and the context and makes it current on
    // the calling thread. On failure returns false with a sentence in error,
    // and no context or pbuffer stays.
    bool open(int width, int height, std::string& error);

    // Releases the context and the pbuffer; safe to call twice. The EGL
    // display itself stays initialised for the next open.
    void close();

    bool isOpen() const { return context != nullptr; }

    // Waits for the drawing to finish and reads the whole pbuffer into rgb:
    // width * height * 3 bytes, bottom row first. Reuses rgb's storage.
    void readFrame(std::vector<std::uint8_t>& rgb) const;

    // The GL renderer's name, for messages ("llvmpipe (LLVM 15.0.6, 256 bits)").
    std::string rendererName() const;

    int width = 0;
    int height = 0;

private:
    void* display = nullptr;
    void* surface = nullptr;
    void* context = nullptr;
};
