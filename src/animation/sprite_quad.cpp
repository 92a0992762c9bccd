#include "animation/sprite_quad.h"

#include "animation/camera.h"
#include "gl_api.h"

void SpriteQuad::draw(const Camera& camera, double angle) const
{
    glPushMatrix();
    glRotatef(camera.billboardAngles[2], 0.0f, 0.0f, 1.0f);
    glRotatef(camera.billboardAngles[1], 0.0f, 1.0f, 0.0f);
    glRotatef(camera.billboardAngles[0], 1.0f, 0.0f, 0.0f);
    glRotatef(static_cast<float>(angle), 0.0f, 0.0f, 1.0f);
    glNormal3f(0.0f, 0.0f, 1.0f);
    glBegin(GL_QUADS);
    glTexCoord2f(sLow, tLow);
    glVertex2f(-halfWidth, -halfHeight);
    glTexCoord2f(sHigh, tLow);
    glVertex2f(halfWidth, -halfHeight);
    glTexCoord2f(sHigh, tHigh);
    glVertex2f(halfWidth, halfHeight);
    glTexCoord2f(sLow, tHigh);
    glVertex2f(-halfWidth, halfHeight);
    glEnd();
    glPopMatrix();
}
