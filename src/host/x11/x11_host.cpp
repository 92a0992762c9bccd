// The recipe: open the window and its context, build the scene, run the
// frame loop, then release the scene, the context and the display in the
// reverse order.

#include "host/x11/x11_host.h"

#include <cstdio>
#include <string>

#include "driver/scene_director.h"
#include "driver/scene_settings.h"
#include "host/posix/exit_status.h"
#include "host/x11/frame_loop.h"
#include "host/x11/gl_window.h"

int runX11Host(const HostOptions& options)
{
    GlWindow window;
    std::string error;
    if (!window.open(options, error)) {
        std::fprintf(stderr, "flowball: %s\n", error.c_str());
        return exitFailed;
    }
    window.setSwapInterval(options.settings.frameRateChoice() == FrameRate::display ? 1 : 0);

    applySettings(options.settings);
    readViewportLimit();
    initGlState(window.width, window.height);
    FrameLoop loop(window, options);
    const int status = loop.run();
    releaseSceneResources();
    window.close();
    return status;
}
