#include "render_options.h"

#include <getopt.h>

#include <charconv>
#include <cmath>
#include <cstring>

#include "settings/setting_options.h"

namespace {

// The renderer's own options; the settings' follow them.
enum RenderOptionCode {
    optionHelp = 'h',
    optionSize = 0x100,
    optionFrames,
    optionFps,
    optionStartMs,
    optionRealClock,
    optionOut,
    optionAll,
    optionQuiet,
};

const option renderOptionRows[] = {
    {"help", no_argument, nullptr, optionHelp},
    {"h", no_argument, nullptr, optionHelp},
    {"size", required_argument, nullptr, optionSize},
    {"frames", required_argument, nullptr, optionFrames},
    {"fps", required_argument, nullptr, optionFps},
    {"start-ms", required_argument, nullptr, optionStartMs},
    {"real-clock", no_argument, nullptr, optionRealClock},
    {"out", required_argument, nullptr, optionOut},
    {"all", no_argument, nullptr, optionAll},
    {"quiet", no_argument, nullptr, optionQuiet},
};
constexpr int renderOptionCount = int(sizeof renderOptionRows / sizeof renderOptionRows[0]);

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

// The option name an argument gives, as written: "--size" of "--size=64x48".
std::string writtenName(const char* argument)
{
    const char* equals = std::strchr(argument, '=');
    return equals != nullptr ? std::string(argument, equals) : std::string(argument);
}

// Whether the argument names the option in full: getopt also takes any
// unambiguous beginning of a name, which this command line refuses so that a
// later option cannot change what an old command means.
bool namesInFull(const std::string& name, const option& row)
{
    const std::size_t dashes = name.compare(0, 2, "--") == 0 ? 2 : 1;
    return name.compare(dashes, std::string::npos, row.name) == 0;
}

// The row whose name the argument gives in full, or nullptr.
const option* rowNamed(const option* rows, const std::string& name)
{
    for (const option* row = rows; row->name != nullptr; ++row) {
        if (namesInFull(name, *row))
            return row;
    }
    return nullptr;
}

std::string unknownOption(const std::string& name)
{
    if (name.compare(0, 2, "--") == 0)
        return "unknown option '" + name + "'";
    return "unexpected argument '" + name + "' (no option of that name)";
}

// Takes one of the renderer's own options.
bool applyRenderOption(int code, const std::string& value, RenderOptions& options, std::string& error)
{
    switch (code) {
    case optionHelp:
        options.help = true;
        return true;
    case optionRealClock:
        options.realClock = true;
        return true;
    case optionQuiet:
        options.quiet = true;
        return true;
    case optionAll:
        options.settings.stars = options.settings.particles = options.settings.fog = options.settings.underlay =
            options.settings.overlay = 1;
        return true;
    case optionSize:
        if (parseSize(value, options.width, options.height))
            return true;
        error = "--size wants WIDTHxHEIGHT, each a whole number from 1 to " + std::to_string(renderSideLimit) +
                " (got '" + value + "')";
        return false;
    case optionFrames:
        if (parseWhole(value, 1L, renderFrameLimit, options.frames))
            return true;
        error = "--frames wants a whole number from 1 to " + std::to_string(renderFrameLimit) + " (got '" + value +
                "')";
        return false;
    case optionFps:
        if (parseRate(value, options.fps))
            return true;
        error = "--fps wants a number above 0 and at most " + std::to_string(int(renderFpsLimit)) + " (got '" +
                value + "')";
        return false;
    case optionStartMs:
        if (parseWhole(value, std::uint64_t{0}, renderStartLimitMs, options.startMs))
            return true;
        error = "--start-ms wants a whole number of milliseconds from 0 to " + std::to_string(renderStartLimitMs) +
                " (got '" + value + "')";
        return false;
    case optionOut:
        if (!value.empty()) {
            options.outDir = value;
            return true;
        }
        error = "--out wants a folder name";
        return false;
    default:
        break;
    }
    error = "unknown option";
    return false;
}

}  // namespace

bool parseRenderOptions(int argc, const char* const* argv, RenderOptions& options, std::string& error)
{
    const SettingOptions settingOptions(renderOptionRows, renderOptionCount);
    const option* rows = settingOptions.longOptions();
    // getopt_long_only does not write to the strings; its prototype only
    // allows for implementations that move them around, which '+' rules out.
    char* const* arguments = const_cast<char* const*>(argv);
    bool fpsGiven = false;
    bool startGiven = false;
    optind = 0;  // a fresh scan, even after an earlier one
    opterr = 0;  // the messages are ours
    for (;;) {
        // The argument getopt looks at next (optind 0 stands for 1).
        const int next = optind == 0 ? 1 : optind;
        const std::string name = next < argc ? writtenName(argv[next]) : std::string();
        // '+': stop at the first argument that is not an option; ':': report
        // a missing value as ':' rather than '?'.
        const int code = getopt_long_only(argc, arguments, "+:", rows, nullptr);
        if (code == -1)
            break;
        // The option as written, named in full, or nullptr for an unknown or
        // shortened name.
        const option* row = rowNamed(rows, name);
        if (row == nullptr) {
            error = unknownOption(name);
            return false;
        }
        if (code == ':') {
            error = "option --" + std::string(row->name) + " needs a value";
            return false;
        }
        if (code == '?') {
            // A value given to an option that takes none, the only refusal
            // left for a name written in full.
            error = "option --" + std::string(row->name) + " takes no value";
            return false;
        }
        const bool applied = settingOptions.owns(code)
                                 ? settingOptions.apply(code, optarg, options.settings, error)
                                 : applyRenderOption(code, optarg != nullptr ? optarg : "", options, error);
        if (!applied)
            return false;
        fpsGiven = fpsGiven || code == optionFps;
        startGiven = startGiven || code == optionStartMs;
    }
    if (optind < argc) {
        error = std::string("unexpected argument '") + argv[optind] + "' (options start with - or --)";
        return false;
    }
    if (options.help)
        return true;
    if (options.realClock && (fpsGiven || startGiven)) {
        error = "--real-clock takes every time from the system clock: leave out --fps and --start-ms";
        return false;
    }
    if (options.outDir.empty()) {
        error = "no output folder: give --out FOLDER";
        return false;
    }
    return true;
}

std::string renderUsage()
{
    return "Usage: flowball-render --out FOLDER [options]\n"
           "Renders the saver's scene offscreen (OpenGL through EGL, no display needed)\n"
           "and writes the frames as FOLDER/frame-00001.png, frame-00002.png, ...\n"
           "Options take one or two dashes; a value follows after a space or '='.\n"
           "\n"
           "  --out FOLDER        where the frames go; created if missing (its parent must\n"
           "                      exist)\n"
           "  --size WxH          window size in pixels (default 640x480, at most 8192 a side)\n"
           "  --frames N          number of frames (default 1)\n"
           "  --fps F             simulated clock: frame k is drawn at k / F seconds after\n"
           "                      the start, so every run gives the same pictures (default 30)\n"
           "  --start-ms MS       time of the first frame after the scene build (default 0)\n"
           "  --real-clock        take the times from the system clock instead; frames are\n"
           "                      drawn back to back and differ from run to run\n"
           "  --quiet             no progress line\n"
           "  -h, --help          this text\n"
           "\n"
           "The saver's settings:\n" +
           settingOptionsHelp() +
           "  --all               stars, particles, fog, underlay and overlay all on\n"
           "--frame-rate and --monitors are taken for the same command lines as the\n"
           "saver's but change nothing here: the frames follow --fps or --real-clock, in\n"
           "one window.\n"
           "\n"
           "Exit status: 0 when every frame was written, 1 when rendering or writing\n"
           "failed, 2 for a bad command line, 130 when interrupted. A frame file appears\n"
           "only once it is complete.\n";
}
