#include "scene/shape_switches.h"

#include "gl_api.h"
#include "scene/scene_switches.h"
#include "scene/blend_mode.h"

namespace {

void setCapability(GLenum capability, int enabled)
{
    if (enabled) {
        glEnable(capability);
    } else {
        glDisable(capability);
    }
}

void disableIfSet(GLenum capability, int enabled)
{
    if (enabled) {
        glDisable(capability);
    }
}

}  // namespace

void applyShapeSwitches()
{
    if (sceneSwitches.shapeBlendEnabled) {
        applyBlendMode(sceneValues.shapeBlendSource, sceneValues.shapeBlendDest);
        glEnable(GL_BLEND);
    } else {
        glDisable(GL_BLEND);
    }
    setCapability(GL_CULL_FACE, sceneSwitches.cullingEnabled);
    if (sceneSwitches.depthTestEnabled) {
        glEnable(GL_DEPTH_TEST);
        glDepthMask(GL_TRUE);
    } else {
        // Depth writes are left as the caller had them.
        glDisable(GL_DEPTH_TEST);
    }
    setCapability(GL_FOG, sceneSwitches.fogEnabled);
    setCapability(GL_LIGHTING, sceneSwitches.lightingEnabled);
    setCapability(GL_TEXTURE_2D, sceneSwitches.texturingEnabled);
}

void resetShapeSwitches()
{
    disableIfSet(GL_BLEND, sceneSwitches.shapeBlendEnabled);
    disableIfSet(GL_CULL_FACE, sceneSwitches.cullingEnabled);
    disableIfSet(GL_DEPTH_TEST, sceneSwitches.depthTestEnabled);
    disableIfSet(GL_FOG, sceneSwitches.fogEnabled);
    disableIfSet(GL_LIGHTING, sceneSwitches.lightingEnabled);
    disableIfSet(GL_TEXTURE_2D, sceneSwitches.texturingEnabled);
}
