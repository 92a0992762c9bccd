// The command line of flowball-render, read by the settings' one parser
// (settings/setting_options.h). Options are names written in full, given as "--name value", "--name=value"
// or with a single dash; beside the renderer's own options it takes every
// setting of the saver (settings/setting_options.h). Anything else (an
// unknown or shortened name, a missing or malformed value, a stray argument,
// two clocks) is an error with a one-line message.
//
// Sizes in pixels, times in milliseconds, rates in frames per second.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "animation/monitor_layout.h"
#include "settings/settings.h"

constexpr int renderSideLimit = 8192;
constexpr long renderFrameLimit = 10000000;
constexpr double renderFpsLimit = 1000.0;
// The slowest simulated clock, a frame every 1000 s: the last frame's time,
// startMs + (frames - 1) * 1000 / fps, stays below 2^53 ms, a whole number
// of milliseconds that a double and the clock hold exactly.
constexpr double renderFpsMinimum = 0.001;
constexpr std::uint64_t renderStartLimitMs = 1000000000000;  // about 31 years

class RenderOptions {
public:
    int width = 640;
    int height = 480;
    // --monitors with a list: the monitors in virtual-screen pixels; width
    // and height are then their bounding box. Empty: one view over the whole
    // window. The Monitors setting (--monitors span) still decides between a
    // view per monitor and one across them.
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
    // What the scene shows, as the saver's settings.
    Settings settings;
    bool quiet = false;
    bool help = false;
};

// Fills options from argv[1..argc-1]. Returns false with the message in
// error (no program name, no trailing newline) on the first problem.
bool parseRenderOptions(int argc, const char* const* argv, RenderOptions& options, std::string& error);

// The --help text.
std::string renderUsage();
