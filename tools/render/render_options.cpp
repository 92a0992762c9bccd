#include "render_options.h"

#include <charconv>
#include <cmath>
#include <cstring>

#include "monitor_list.h"

namespace {

// A whole number in [low, high] written with digits only.
template <typename Number>
bool parseWhole(const std::string& text, Number low, Number high, Number& value)
{
    Number parsed = 0;
    const char* first = text.data();
    const char* last = text.data() + text.size();
    if (text.empty() || text[0] < '0' || text[0] > '9')
        return false;
    const auto result = std::from_chars(first, last, parsed);
    if (result.ec != std::errc() || result.ptr != last || parsed < low || parsed > high)
        return false;
    value = parsed;
    return true;
}

bool parseSize(const std::string& text, int& width, int& height)
{
    const std::size_t cross = text.find('x');
    if (cross == std::string::npos)
        return false;
    return parseWhole(text.substr(0, cross), 1, renderSideLimit, width) &&
           parseWhole(text.substr(cross + 1), 1, renderSideLimit, height);
}

bool parseRate(const std::string& text, double& fps)
{
    double parsed = 0.0;
    const char* last = text.data() + text.size();
    if (text.empty() || !((text[0] >= '0' && text[0] <= '9') || text[0] == '.'))
        return false;
    const auto result = std::from_chars(text.data(), last, parsed);
    if (result.ec != std::errc() || result.ptr != last || !std::isfinite(parsed) || parsed <= 0.0 ||
        parsed > renderFpsLimit)
        return false;
    fps = parsed;
    return true;
}

}  // namespace

bool parseRenderOptions(int argc, const char* const* argv, RenderOptions& options, std::string& error)
{
    bool fpsGiven = false;
    bool startGiven = false;
    bool sizeGiven = false;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "-h" || argument == "--help") {
            options.help = true;
            continue;
        }
        if (argument.size() < 3 || argument.compare(0, 2, "--") != 0) {
            error = "unexpected argument '" + argument + "' (options start with --)";
            return false;
        }
        const std::size_t equals = argument.find('=');
        const std::string name = argument.substr(0, equals);
        const bool inlineValue = equals != std::string::npos;

        bool* flag = nullptr;
        if (name == "--stars")
            flag = &options.stars;
        else if (name == "--particles")
            flag = &options.particles;
        else if (name == "--fog")
            flag = &options.fog;
        else if (name == "--underlay")
            flag = &options.underlay;
        else if (name == "--overlay")
            flag = &options.overlay;
        else if (name == "--real-clock")
            flag = &options.realClock;
        else if (name == "--quiet")
            flag = &options.quiet;
        if (flag != nullptr || name == "--all") {
            if (inlineValue) {
                error = "option " + name + " takes no value";
                return false;
            }
            if (flag != nullptr)
                *flag = true;
            else
                options.stars = options.particles = options.fog = options.underlay = options.overlay = true;
            continue;
        }

        if (name != "--size" && name != "--frames" && name != "--fps" && name != "--start-ms" && name != "--out" &&
            name != "--monitors") {
            error = "unknown option '" + name + "'";
            return false;
        }
        std::string value;
        if (inlineValue) {
            value = argument.substr(equals + 1);
        } else if (i + 1 < argc) {
            value = argv[++i];
        } else {
            error = "option " + name + " needs a value";
            return false;
        }

        if (name == "--size") {
            if (!parseSize(value, options.width, options.height)) {
                error = "--size wants WIDTHxHEIGHT, each a whole number from 1 to " +
                        std::to_string(renderSideLimit) + " (got '" + value + "')";
                return false;
            }
            sizeGiven = true;
        } else if (name == "--monitors") {
            if (!parseMonitorList(value, renderSideLimit, options.monitors, error))
                return false;
            const ScreenRect bounds = monitorBounds(options.monitors);
            options.width = bounds.right - bounds.left;
            options.height = bounds.bottom - bounds.top;
        } else if (name == "--frames") {
            if (!parseWhole(value, 1L, renderFrameLimit, options.frames)) {
                error = "--frames wants a whole number from 1 to " + std::to_string(renderFrameLimit) + " (got '" +
                        value + "')";
                return false;
            }
        } else if (name == "--fps") {
            if (!parseRate(value, options.fps)) {
                error = "--fps wants a number above 0 and at most " + std::to_string(int(renderFpsLimit)) +
                        " (got '" + value + "')";
                return false;
            }
            fpsGiven = true;
        } else if (name == "--start-ms") {
            if (!parseWhole(value, std::uint64_t{0}, renderStartLimitMs, options.startMs)) {
                error = "--start-ms wants a whole number of milliseconds from 0 to " +
                        std::to_string(renderStartLimitMs) + " (got '" + value + "')";
                return false;
            }
            startGiven = true;
        } else {
            if (value.empty()) {
                error = "--out wants a folder name";
                return false;
            }
            options.outDir = value;
        }
    }
    if (options.help)
        return true;
    if (options.realClock && (fpsGiven || startGiven)) {
        error = "--real-clock takes every time from the system clock: leave out --fps and --start-ms";
        return false;
    }
    if (sizeGiven && !options.monitors.empty()) {
        error = "--monitors sets the window to the monitors' bounding box: leave out --size";
        return false;
    }
    if (options.outDir.empty()) {
        error = "no output folder: give --out FOLDER";
        return false;
    }
    return true;
}

const char* renderUsage()
{
    return "Usage: flowball-render --out FOLDER [options]\n"
           "Renders the saver's scene offscreen (OpenGL through EGL, no display needed)\n"
           "and writes the frames as FOLDER/frame-00001.png, frame-00002.png, ...\n"
           "\n"
           "  --out FOLDER     where the frames go; created if missing (its parent must exist)\n"
           "  --size WxH       window size in pixels (default 640x480, at most 8192 a side)\n"
           "  --monitors WxH+X+Y,WxH+X+Y,...\n"
           "                   render for these monitors (virtual-screen pixels, top-left\n"
           "                   origin, '-' for edges left of or above it): one view per\n"
           "                   monitor in a window that is their bounding box\n"
           "  --frames N       number of frames (default 1)\n"
           "  --fps F          simulated clock: frame k is drawn at k / F seconds after the\n"
           "                   start, so every run gives the same pictures (default 30)\n"
           "  --start-ms MS    time of the first frame after the scene build (default 0)\n"
           "  --real-clock     take the times from the system clock instead; frames are drawn\n"
           "                   back to back and differ from run to run\n"
           "  --stars          switch on the star field\n"
           "  --particles      switch on the particles\n"
           "  --fog            switch on fog\n"
           "  --underlay       switch on the full-window pass under the views\n"
           "  --overlay        switch on the full-window pass over the finished frame\n"
           "  --all            all five of the above\n"
           "  --quiet          no progress line\n"
           "  -h, --help       this text\n"
           "\n"
           "Exit status: 0 when every frame was written, 1 when rendering or writing\n"
           "failed, 2 for a bad command line, 130 when interrupted. A frame file appears\n"
           "only once it is complete.\n";
}
