// flowball-render's command line, any words: an accepted command line names
// each option in full and gives values in their ranges (sizes, frames, the
// clock, the monitors and their bounding box, the settings), with a time for
// every frame that the simulated clock holds; a refused one says why in one
// line. The options printed from what was accepted give it back. And options
// written from any numbers are accepted exactly when every number is in its
// option's range, and then read as those numbers.
//
// Input: the words, each up to a NUL; or, after a first NUL byte, numbers:
// which options are given, the size, frames, frame rate, start, monitors and
// settings.
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "monitor_list.h"
#include "option_words.h"
#include "render_options.h"

namespace {

std::vector<OptionName> renderOptionNames()
{
    std::vector<OptionName> names = {{"help", false},   {"h", false},          {"size", true},
                                     {"frames", true},  {"fps", true},         {"start-ms", true},
                                     {"real-clock", false}, {"out", true},      {"all", false},
                                     {"quiet", false}};
    const std::vector<OptionName> settings = settingOptionNames();
    names.insert(names.end(), settings.begin(), settings.end());
    return names;
}

std::string edge(int value) { return (value < 0 ? "-" : "+") + std::to_string(value < 0 ? -value : value); }

std::string monitorListText(const std::vector<ScreenRect>& monitors)
{
    std::string text;
    for (const ScreenRect& monitor : monitors) {
        if (!text.empty())
            text += ',';
        text += std::to_string(monitor.right - monitor.left) + "x" + std::to_string(monitor.bottom - monitor.top) +
                edge(monitor.left) + edge(monitor.top);
    }
    return text;
}

void checkRanges(const RenderOptions& options)
{
    expectProperty(options.width >= 1 && options.width <= renderSideLimit && options.height >= 1 &&
                       options.height <= renderSideLimit,
                   "a window size outside 1 to the side limit");
    expectProperty(options.frames >= 1 && options.frames <= renderFrameLimit, "a frame count out of range");
    expectProperty(options.fps >= renderFpsMinimum && options.fps <= renderFpsLimit,
                   "a frame rate out of range");
    expectProperty(options.startMs <= renderStartLimitMs, "a start time out of range");
    expectProperty(!options.outDir.empty(), "no output folder");
    expectValidSettings(options.settings);
    // The last frame's time, startMs + (frames - 1) * 1000 / fps, is a whole
    // number of milliseconds that the clock holds and a double holds exactly
    // (below 2^53).
    const long double lastFrame = static_cast<long double>(options.frames - 1) * 1000.0L / options.fps;
    expectProperty(static_cast<long double>(options.startMs) + lastFrame < 9007199254740992.0L,
                   "the last frame's time is beyond what the clock holds exactly");
    if (options.monitors.empty())
        return;
    expectProperty(int(options.monitors.size()) <= monitorListLimit, "more monitors than the list takes");
    for (const ScreenRect& monitor : options.monitors) {
        expectProperty(monitor.right > monitor.left && monitor.bottom > monitor.top, "a monitor of no size");
        expectProperty(monitor.right - monitor.left <= renderSideLimit &&
                           monitor.bottom - monitor.top <= renderSideLimit,
                       "a monitor beyond the side limit");
        expectProperty(std::abs(monitor.left) <= monitorEdgeLimit && std::abs(monitor.top) <= monitorEdgeLimit,
                       "a monitor edge beyond the edge limit");
    }
    const ScreenRect bounds = monitorBounds(options.monitors);
    expectProperty(options.width == bounds.right - bounds.left && options.height == bounds.bottom - bounds.top,
                   "the window is not the monitors' bounding box");
}

void checkPrintedBack(const RenderOptions& options)
{
    std::vector<std::string> printed = {"flowball-render", "--out=" + options.outDir};
    if (options.monitors.empty())
        printed.push_back("--size=" + std::to_string(options.width) + "x" + std::to_string(options.height));
    else
        printed.push_back("--monitors=" + monitorListText(options.monitors));
    printed.push_back("--frames=" + std::to_string(options.frames));
    if (options.realClock) {
        printed.push_back("--real-clock");
    } else {
        char fps[64];
        std::snprintf(fps, sizeof fps, "%.17g", options.fps);
        printed.push_back(std::string("--fps=") + fps);
        printed.push_back("--start-ms=" + std::to_string(options.startMs));
    }
    if (options.quiet)
        printed.push_back("--quiet");
    appendSettingOptions(printed, options.settings);

    CommandLine again(printed);
    std::vector<char*> argv = again.argv();
    RenderOptions reread;
    std::string error;
    expectProperty(parseRenderOptions(again.argc(), argv.data(), reread, error), "printed options refused: " + error);
    bool sameMonitors = reread.monitors.size() == options.monitors.size();
    for (std::size_t i = 0; sameMonitors && i < options.monitors.size(); ++i) {
        const ScreenRect& a = reread.monitors[i];
        const ScreenRect& b = options.monitors[i];
        sameMonitors = a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
    }
    expectProperty(sameMonitors && reread.width == options.width && reread.height == options.height &&
                       reread.frames == options.frames && reread.fps == options.fps &&
                       reread.startMs == options.startMs && reread.realClock == options.realClock &&
                       reread.outDir == options.outDir && reread.quiet == options.quiet &&
                       sameSettings(reread.settings, options.settings),
                   "printed options read back differently");
}

bool parse(CommandLine& line, RenderOptions& options)
{
    std::vector<const char*> argv;
    for (const std::string& word : line.words)
        argv.push_back(word.c_str());
    argv.push_back(nullptr);
    std::string error;
    if (parseRenderOptions(line.argc(), argv.data(), options, error))
        return true;
    expectOneLineMessage(error, "flowball-render");
    return false;
}

void checkWords(FuzzInput& input)
{
    CommandLine line("flowball-render", input);
    RenderOptions options;
    if (!parse(line, options))
        return;
    expectProperty(writtenInFull(line.words, renderOptionNames()), "accepted an option not written in full");
    if (options.help)
        return;
    checkRanges(options);
    checkPrintedBack(options);
}

template <typename Number>
bool within(Number value, Number low, Number high)
{
    return value >= low && value <= high;
}

// Options written from numbers, and whether every number is in range.
void checkWrittenNumbers(FuzzInput& input)
{
    enum Given { size = 1, frames = 2, fps = 4, start = 8, realClock = 16, monitors = 32, quiet = 64 };
    const std::uint8_t given = input.byte();
    RenderOptions expected;
    std::vector<std::string> words = {"flowball-render", "--out=f"};
    bool acceptable = true;
    if ((given & size) != 0) {
        const std::int32_t width = input.value<std::int32_t>();
        const std::int32_t height = input.value<std::int32_t>();
        words.push_back("--size=" + std::to_string(width) + "x" + std::to_string(height));
        acceptable = acceptable && within(width, 1, renderSideLimit) && within(height, 1, renderSideLimit);
        expected.width = width;
        expected.height = height;
    }
    if ((given & frames) != 0) {
        expected.frames = long(input.value<std::int64_t>());
        words.push_back("--frames=" + std::to_string(expected.frames));
        acceptable = acceptable && within(expected.frames, 1L, renderFrameLimit);
    }
    if ((given & fps) != 0) {
        expected.fps = input.value<double>();
        char text[64];
        std::snprintf(text, sizeof text, "%.17g", expected.fps);
        words.push_back(std::string("--fps=") + text);
        acceptable = acceptable && within(expected.fps, renderFpsMinimum, renderFpsLimit);
    }
    if ((given & start) != 0) {
        expected.startMs = input.value<std::uint64_t>();
        words.push_back("--start-ms=" + std::to_string(expected.startMs));
        acceptable = acceptable && expected.startMs <= renderStartLimitMs;
    }
    if ((given & realClock) != 0) {
        words.push_back("--real-clock");
        expected.realClock = true;
        acceptable = acceptable && (given & (fps | start)) == 0;
    }
    if ((given & monitors) != 0) {
        const int count = input.byte() % (monitorListLimit + 2);
        std::string list;
        for (int i = 0; i < count; ++i) {
            const std::int32_t width = input.value<std::int16_t>();
            const std::int32_t height = input.value<std::int16_t>();
            const std::int32_t left = input.value<std::int32_t>() % (2 * monitorEdgeLimit);
            const std::int32_t top = input.value<std::int32_t>() % (2 * monitorEdgeLimit);
            list += (i == 0 ? "" : ",") + std::to_string(width) + "x" + std::to_string(height) + edge(left) + edge(top);
            acceptable = acceptable && within(width, 1, renderSideLimit) && within(height, 1, renderSideLimit) &&
                         within(left, -monitorEdgeLimit, monitorEdgeLimit) &&
                         within(top, -monitorEdgeLimit, monitorEdgeLimit);
            expected.monitors.push_back({left, top, left + width, top + height});
        }
        words.push_back("--monitors=" + list);
        const ScreenRect bounds = monitorBounds(expected.monitors);
        acceptable = acceptable && count >= 1 && count <= monitorListLimit && (given & size) == 0 &&
                     std::int64_t(bounds.right) - bounds.left <= renderSideLimit &&
                     std::int64_t(bounds.bottom) - bounds.top <= renderSideLimit;
        expected.width = bounds.right - bounds.left;
        expected.height = bounds.bottom - bounds.top;
    }
    if ((given & quiet) != 0) {
        words.push_back("--quiet");
        expected.quiet = true;
    }
    acceptable = appendWrittenSettings(words, input, expected.settings) && acceptable;

    CommandLine line(words);
    RenderOptions options;
    const bool accepted = parse(line, options);
    std::string written;
    for (const std::string& word : words)
        written += " " + word;
    expectProperty(accepted == acceptable, (accepted ? "accepted a number out of its range:"
                                                     : "refused numbers that are all in range:") + written);
    if (!accepted)
        return;
    bool sameMonitors = options.monitors.size() == expected.monitors.size();
    for (std::size_t i = 0; sameMonitors && i < expected.monitors.size(); ++i) {
        const ScreenRect& a = options.monitors[i];
        const ScreenRect& b = expected.monitors[i];
        sameMonitors = a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
    }
    expectProperty(sameMonitors && options.width == expected.width && options.height == expected.height &&
                       options.frames == expected.frames && options.fps == expected.fps &&
                       options.startMs == expected.startMs && options.realClock == expected.realClock &&
                       options.quiet == expected.quiet && sameSettings(options.settings, expected.settings),
                   "written numbers read as other values");
    checkRanges(options);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput input(data, size);
    if (size > 0 && data[0] == 0) {
        input.byte();
        checkWrittenNumbers(input);
    } else {
        checkWords(input);
    }
    return 0;
}
