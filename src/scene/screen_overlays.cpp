#include "scene/screen_overlays.h"

#include "animation/view_set.h"
#include "gl_api.h"
#include "textures/texture.h"

void drawScreenQuad(float x, float y, float width, float height)
{
    drawScreenQuadScrolled(x, y, width, height, 1.0f, 1.0f, 0.0f, 0.0f);
}

void drawScreenQuadTiled(float x, float y, float width, float height, float repeatS, float repeatT)
{
    drawScreenQuadScrolled(x, y, width, height, repeatS, repeatT, 0.0f, 0.0f);
}

void drawScreenQuadScrolled(float x, float y, float width, float height, float repeatS, float repeatT,
                            float offsetS, float offsetT)
{
    glBegin(GL_QUADS);
    glTexCoord2d(offsetS, offsetT);
    glVertex2f(x, y);
    glTexCoord2d(offsetS + repeatS, offsetT);
    glVertex2f(x + width, y);
    glTexCoord2d(offsetS + repeatS, offsetT + repeatT);
    glVertex2f(x + width, y + height);
    glTexCoord2d(offsetS, offsetT + repeatT);
    glVertex2f(x, y + height);
    glEnd();
}

void drawUnderlayPass(Texture& texture, const ViewSet& viewSet)
{
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);
    texture.bind();
    glEnable(GL_TEXTURE_2D);
    // White under GL_MODULATE: the fragments carry the texture's own colour
    // and alpha, so its alpha decides how much of the background it covers.
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    drawScreenQuad(0.0f, 0.0f, viewSet.extentX, viewSet.extentY);
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
}

void drawOverlayPass(Texture& texture, const ViewSet& viewSet)
{
    // Each pixel becomes frame colour times texture colour.
    glBlendFunc(GL_ZERO, GL_SRC_COLOR);
    glEnable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    glDepthMask(GL_FALSE);
    glDisable(GL_LIGHTING);
    texture.bind();
    glEnable(GL_TEXTURE_2D);
    glColor3f(1.0f, 1.0f, 1.0f);
    drawScreenQuad(0.0f, 0.0f, viewSet.extentX, viewSet.extentY);
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
}
