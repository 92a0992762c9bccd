#include "scene/fog.h"

#include "gl_api.h"

void Fog::applyFog() const
{
    glFogi(GL_FOG_MODE, GL_LINEAR);
    glHint(GL_FOG_HINT, GL_NICEST);
    glFogfv(GL_FOG_COLOR, colour);
    glFogf(GL_FOG_START, start);
    glFogf(GL_FOG_END, end);
}

void Fog::setFogColour(float red, float green, float blue, float alpha)
{
    colour[0] = red;
    colour[1] = green;
    colour[2] = blue;
    colour[3] = alpha;
}
