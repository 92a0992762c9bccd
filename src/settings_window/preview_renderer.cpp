#include "settings_window/preview_renderer.h"

#include <cstring>

#include "driver/elapsed_time.h"
#include "driver/scene.h"
#include "driver/scene_director.h"
#include "driver/scene_settings.h"

PreviewRenderer::~PreviewRenderer()
{
    if (context.isOpen())
        releaseSceneResources();
}

bool PreviewRenderer::open(int width, int height, const Settings& settings, std::string& error)
{
    if (!context.open(width, height, error))
        return false;
    // The preview moves in real time, as the saver does.
    setMillisecondSource(nullptr);
    readViewportLimit();
    buildScene(settings);
    return true;
}

void PreviewRenderer::rebuild(const Settings& settings)
{
    if (!context.isOpen())
        return;
    // The old scene's textures and lists go while their context is current.
    releaseSceneResources();
    resetScene();
    buildScene(settings);
}

void PreviewRenderer::buildScene(const Settings& settings)
{
    applySettings(settings);
    initGlState(context.width, context.height);
}

void PreviewRenderer::drawFrame()
{
    if (!context.isOpen())
        return;
    ::drawFrame();
    context.readFrame(bottomUp);
}

const std::vector<std::uint8_t>& PreviewRenderer::topDownFrame()
{
    const std::size_t rowBytes = std::size_t(context.width) * 3;
    topDown.resize(bottomUp.size());
    const std::size_t rows = rowBytes == 0 ? 0 : bottomUp.size() / rowBytes;
    for (std::size_t row = 0; row < rows; ++row)
        std::memcpy(&topDown[row * rowBytes], &bottomUp[(rows - 1 - row) * rowBytes], rowBytes);
    return topDown;
}
