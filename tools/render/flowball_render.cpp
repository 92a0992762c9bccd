// flowball-render: draws the saver's scene offscreen and writes the frames as
// PNG files, for looking at the scene without Windows and for previews.
//
// The program is a second front end on the scene director's seam: it makes a
// GL context, calls initGlState, then drawFrame once per frame and reads the
// picture back where the saver would swap buffers.

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "driver/elapsed_time.h"
#include "driver/scene.h"
#include "driver/scene_director.h"
#include "driver/scene_settings.h"
#include "monitor_list.h"
#include "offscreen_context.h"
#include "png_file.h"
#include "render_options.h"
#include "settings/setting_options.h"

namespace {

constexpr int exitRenderFailed = 1;
constexpr int exitBadCommandLine = 2;
constexpr int exitInterrupted = 130;

// The simulated clock's reading, in milliseconds since an arbitrary origin.
std::uint64_t simulatedNow = 0;
std::uint64_t simulatedMilliseconds() { return simulatedNow; }

// Set by SIGINT and SIGTERM; the loop stops between frames, so no file is
// left half written.
volatile sig_atomic_t stopRequested = 0;
void requestStop(int) { stopRequested = 1; }

void fail(const std::string& message) { std::fprintf(stderr, "flowball-render: %s\n", message.c_str()); }

// The output folder exists (made here if only its last part is missing), is
// a folder and can take new files.
bool prepareOutputFolder(const std::string& folder, std::string& error)
{
    struct stat status;
    if (stat(folder.c_str(), &status) != 0) {
        if (errno != ENOENT || mkdir(folder.c_str(), 0777) != 0) {
            error = "cannot create output folder " + quotedArgument(folder) + ": " + std::strerror(errno);
            return false;
        }
    } else if (!S_ISDIR(status.st_mode)) {
        error = "output folder " + quotedArgument(folder) + " is not a folder";
        return false;
    }
    if (access(folder.c_str(), W_OK | X_OK) != 0) {
        error = "output folder " + quotedArgument(folder) + " is not writable: " + std::strerror(errno);
        return false;
    }
    return true;
}

// folder/frame-00042.png: the number padded to digits, so that the names
// sort in frame order.
std::string framePath(const std::string& folder, long frame, int digits)
{
    std::string number = std::to_string(frame);
    if (int(number.size()) < digits)
        number.insert(0, std::size_t(digits) - number.size(), '0');
    return folder + "/frame-" + number + ".png";
}

int digitsFor(long frames)
{
    int digits = 1;
    for (long rest = frames; rest >= 10; rest /= 10)
        ++digits;
    return digits < 5 ? 5 : digits;
}

// One line on a terminal, rewritten in place; a line every few seconds
// otherwise.
class Progress {
public:
    Progress(long frameCount, bool quiet)
        : total(frameCount), enabled(!quiet && frameCount > 1), terminal(isatty(STDERR_FILENO) != 0)
    {
    }

    void update(long done)
    {
        if (!enabled)
            return;
        const auto now = std::chrono::steady_clock::now();
        const auto interval = terminal ? std::chrono::milliseconds(200) : std::chrono::milliseconds(5000);
        if (done != total && now - lastShown < interval)
            return;
        lastShown = now;
        std::fprintf(stderr, terminal ? "\rframe %ld of %ld" : "frame %ld of %ld\n", done, total);
        if (terminal && done == total)
            std::fputc('\n', stderr);
        std::fflush(stderr);
    }

    // Ends a rewritten line before an error message.
    void interrupt()
    {
        if (enabled && terminal)
            std::fputc('\n', stderr);
    }

private:
    long total;
    bool enabled;
    bool terminal;
    std::chrono::steady_clock::time_point lastShown = std::chrono::steady_clock::now();
};

// The simulated time of frame k (from 0), in milliseconds after the build.
std::uint64_t frameTimeMs(const RenderOptions& options, long frame)
{
    return options.startMs + std::uint64_t(std::llround(double(frame) * 1000.0 / options.fps));
}

int render(const RenderOptions& options)
{
    std::string error;
    if (!prepareOutputFolder(options.outDir, error)) {
        fail(error);
        return exitRenderFailed;
    }

    OffscreenContext context;
    if (!context.open(options.width, options.height, error)) {
        fail("no OpenGL context: " + error);
        return exitRenderFailed;
    }

    setMillisecondSource(options.realClock ? nullptr : simulatedMilliseconds);
    applySettings(options.settings);
    if (!options.monitors.empty() && options.settings.monitorsChoice() == Monitors::each) {
        const ScreenRect bounds = monitorBounds(options.monitors);
        setMonitorLayout(options.monitors.data(), int(options.monitors.size()), bounds.left, bounds.top);
    }
    readViewportLimit();
    initGlState(options.width, options.height);

    const int digits = digitsFor(options.frames);
    Progress progress(options.frames, options.quiet);
    std::vector<std::uint8_t> pixels;
    long written = 0;
    for (long frame = 0; frame < options.frames && !stopRequested; ++frame) {
        if (!options.realClock)
            simulatedNow = frameTimeMs(options, frame);
        drawFrame();
        context.readFrame(pixels);
        if (!writeFramePng(framePath(options.outDir, frame + 1, digits), options.width, options.height,
                           pixels.data(), error)) {
            progress.interrupt();
            fail(error);
            releaseSceneResources();
            return exitRenderFailed;
        }
        ++written;
        progress.update(written);
    }
    releaseSceneResources();
    context.close();

    if (stopRequested) {
        progress.interrupt();
        fail("interrupted after " + std::to_string(written) + " frames");
        return exitInterrupted;
    }
    if (!options.quiet)
        std::printf("wrote %ld frames of %dx%d to %s\n", written, options.width, options.height,
                    options.outDir.c_str());
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    RenderOptions options;
    std::string error;
    if (!parseRenderOptions(argc, argv, options, error)) {
        fail(error);
        std::fprintf(stderr, "Try 'flowball-render --help'.\n");
        return exitBadCommandLine;
    }
    if (options.help) {
        std::fputs(renderUsage().c_str(), stdout);
        return 0;
    }
    signal(SIGINT, requestStop);
    signal(SIGTERM, requestStop);
    return render(options);
}
