#include "scene/star_field.h"

#include "animation/camera.h"
#include "gl_api.h"
#include "math/random.h"

namespace {

// One star in ten takes the wide colour range.
constexpr double rareColourChance = 0.1;
// The hollow may take at most this fraction of the outer size.
constexpr double hollowCap = 0.9;
// The hollow's half-extent is padded so that a tiny core always stays empty.
constexpr double hollowPadding = 0.01;

}  // namespace

StarField::~StarField()
{
    deleteList();
}

void StarField::build()
{
    const float half = float(outerSize * 0.5);
    if (hollowCap * outerSize < innerSize) {
        innerSize = hollowCap * outerSize;
    }
    const float innerHalf = float(innerSize * 0.5 + hollowPadding);

    deleteList();
    if (passes < 1 || !shellIsOpen(half, innerHalf)) {
        return;
    }
    listId = glGenLists(1);
    if (listId == 0) {
        return;
    }

    glNewList(listId, GL_COMPILE);
    glBegin(GL_POINTS);
    const int pointCount = count / passes;
    for (int i = 0; i < pointCount; ++i) {
        ShellPoint point;
        if (!drawShellPoint(shape, half, innerHalf, point)) {
            break;
        }
        const bool rare = randomUniform(1.0) < rareColourChance;
        const double base = rare ? colourLow : colourHigh;
        const double spread = rare ? colourHigh : colourLow;
        // Channels are drawn blue first: the order fixes the colours.
        const double blue = base + randomUniform(spread);
        const double green = base + randomUniform(spread);
        const double red = base + randomUniform(spread);
        glColor3d(red, green, blue);
        glVertex3d(point.x, point.y, point.z);
    }
    glEnd();
    glEndList();
}

void StarField::draw(const Camera& camera) const
{
    if (listId == 0) {
        return;
    }
    if (blend) {
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glEnable(GL_BLEND);
    }
    if (depthTest) {
        glEnable(GL_DEPTH_TEST);
    } else {
        glDisable(GL_DEPTH_TEST);
    }
    glDepthMask(depthWrite ? GL_TRUE : GL_FALSE);

    glPushMatrix();
    if (followCamera) {
        // The camera translates by (-x, -y, +z) after its rotations; this
        // undoes exactly that, so the cloud stays centred on the eye.
        const Vec3& eye = camera.body.position;
        glTranslatef(eye.x, eye.y, -eye.z);
    }
    const float turn = 360.0f / float(passes > 0 ? passes : 1);
    for (int pass = 0; pass < passes; ++pass) {
        // Rotations accumulate: pass i is turned by (i + 1) * turn in all.
        glRotatef(turn, 0.0f, 1.0f, 0.0f);
        glPointSize(float(pass + 1));
        glCallList(listId);
    }
    glPopMatrix();

    if (blend) {
        glDisable(GL_BLEND);
    }
    if (depthTest) {
        glDisable(GL_DEPTH_TEST);
    }
}

void StarField::deleteList()
{
    if (listId != 0) {
        glDeleteLists(listId, 1);
        listId = 0;
    }
}
