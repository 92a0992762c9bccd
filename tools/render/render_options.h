// The command line of flowball-render: a small, strict parser. Options are
// long names only, given as "--name value" or "--name=value"; anything else
// (an unknown name, a missing or malformed value, a stray argument, two
// clocks) is an error with a one-line message.
//
// Sizes in pixels, times in milliseconds, rates in frames per second.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "animation/monitor_layout.h"

constexpr int renderSideLimit = 8192;
constexpr long renderFrameLimit = 10000000;
constexpr double renderFpsLimit = 1000.0;
constexpr std::uint64_t renderStartLimitMs = 1000000000000;  // about 31 years

class RenderOptions {
public:
    virtual ~RenderOptions() = default;

    int width = 640;
    int height = 480;
    // --monitors: the monitors in virtual-screen pixels; width and height are
    // then their bounding box. Empty: one view over the whole window.
    std::vector<ScreenRect> monitors;
    long frames = 1;
    // The simulated clock: frame k (from 0) is drawn at startMs + k * 1000 /
    // fps milliseconds after the scene build, whatever the rendering takes.
    double fps = 30.0;
    std::uint64_t startMs = 0;
    // The system clock instead: frames are drawn one after the other at the
    // time they happen to be drawn, like the saver behind its timer.
    bool realClock = false;
    std::string outDir;
    // Switched-off elements of the scene, switched on.
    bool stars = false;
    bool particles = false;
    bool fog = false;
    bool underlay = false;
    bool overlay = false;
    bool quiet = false;
    bool help = false;
};

// Fills options from argv[1..argc-1]. Returns false with the message in
// error (no program name, no trailing newline) on the first problem.
bool parseRenderOptions(int argc, const char* const* argv, RenderOptions& options, std::string& error);

// The --help text.
const char* renderUsage();
