#include "animation/camera.h"

#include <cmath>

#include "animation/view_set.h"
#include "gl_api.h"

namespace {
// Width over height of the view set's current viewport, or 1 when that gives
// no positive, finite aspect.
float currentAspect(const ViewSet& viewSet)
{
    const View* view = viewSet.selectedView();
    if (view == nullptr)
        return 1.0f;
    const float viewportWidth = view->viewport[4];
    const float viewportHeight = view->viewport[5];
    if (!(viewportWidth > 0.0f) || !(viewportHeight > 0.0f))
        return 1.0f;
    const float aspect = viewportWidth / viewportHeight;
    return std::isfinite(aspect) && aspect > 0.0f ? aspect : 1.0f;
}
}

void Camera::applyProjection(const ViewSet& viewSet) const
{
    const float aspect = currentAspect(viewSet);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(fieldOfView, aspect, nearPlane, farPlane);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void Camera::applyProjectionPart(const ViewSet& viewSet, float scaleX, float scaleY, float shiftX,
                                 float shiftY) const
{
    const float aspect = currentAspect(viewSet);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glTranslatef(shiftX, shiftY, 0.0f);
    glScalef(scaleX, scaleY, 1.0f);
    gluPerspective(fieldOfView, aspect, nearPlane, farPlane);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void Camera::applyView()
{
    gluLookAt(0.0, 0.0, eyeDistance, 0.0, 0.0, eyeDistance - 1.0f, 0.0, 1.0, 0.0);
    glRotatef(-body.angles.x, 1.0f, 0.0f, 0.0f);
    glRotatef(-body.angles.y, 0.0f, 1.0f, 0.0f);
    glRotatef(-body.angles.z, 0.0f, 0.0f, 1.0f);
    // +z on purpose: the z translation has the opposite sign to x and y, and
    // the star field undoes it with (+x, +y, -z).
    glTranslatef(-body.position.x, -body.position.y, body.position.z);

    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    rightAxis[0] = modelview[0];
    rightAxis[1] = modelview[4];
    rightAxis[2] = modelview[8];
    upAxis[0] = modelview[1];
    upAxis[1] = modelview[5];
    upAxis[2] = modelview[9];
}
