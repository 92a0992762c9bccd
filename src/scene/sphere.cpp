#include "scene/sphere.h"

#include "gl_api.h"
#include "math/trig.h"

namespace {

// 2 pi and pi as the single-precision constants the angle steps start from.
constexpr float fullTurn = 6.2831855f;
constexpr float halfTurn = 3.1415927f;

// The shape pass's texture repeats and scroll rate (repeats per second; the
// single-precision constant, multiplied by the time in double).
constexpr double shapeRepeatsAround = 32.0;
constexpr double shapeRepeatsUp = 32.0 / 4.0;
constexpr float shapeScrollRate = 0.15f;
constexpr double shapeScrollRatioUp = 1.11;

// fraction * scale + offset, rounded to a single-precision coordinate.
float textureCoordinate(float fraction, double scale, double offset)
{
    return float(fraction * scale + offset);
}

// The sines, cosines and texture coordinates of one call, computed once per
// column and once per ring instead of once per vertex. Each value comes from
// the same single-precision expression as when computed at the vertex, so
// the results are identical. Lives on the stack: nothing is allocated.
struct SphereGrid {
    float columnSin[sphereGridMax + 1];
    float columnCos[sphereGridMax + 1];
    float columnS[sphereGridMax + 1];
    float ringSin[sphereGridMax];
    float ringHeight[sphereGridMax];
    float ringT[sphereGridMax];
};

void emitVertex(const SphereGrid& grid, int ring, int column, double radius)
{
    const float px = grid.ringSin[ring] * grid.columnSin[column];
    const float py = grid.ringHeight[ring];
    const float pz = grid.ringSin[ring] * grid.columnCos[column];
    glNormal3f(px, py, pz);
    glTexCoord2f(grid.columnS[column], grid.ringT[ring]);
    glVertex3d(radius * px, radius * py, radius * pz);
}

}  // namespace

void drawSphere(double radius, int slices, int stacks, double scaleS, double scaleT, double offsetS,
                double offsetT)
{
    if (slices < sphereGridMin || stacks < sphereGridMin || slices > sphereGridMax ||
        stacks > sphereGridMax) {
        return;
    }
    const float sliceStep = fullTurn / float(slices);
    const float stackStep = halfTurn / float(stacks - 1);

    SphereGrid grid;
    for (int column = 0; column <= slices; ++column) {
        // The closing column takes theta = 0 exactly, so the seam's positions
        // coincide with the first column's.
        const float theta = column == slices ? 0.0f : float(column) * sliceStep;
        grid.columnSin[column] = floatSin(theta);
        grid.columnCos[column] = floatCos(theta);
        grid.columnS[column] = textureCoordinate(float(column) / float(slices), scaleS, offsetS);
    }
    for (int ring = 0; ring < stacks; ++ring) {
        // phi = 0 is the bottom pole (y = -1), phi = pi the top (y = +1).
        const float phi = float(ring) * stackStep;
        grid.ringSin[ring] = floatSin(phi);
        grid.ringHeight[ring] = -floatCos(phi);
        // The divisor is stacks, not stacks - 1: kept on purpose, the top
        // ring stops short of a whole repeat.
        grid.ringT[ring] = textureCoordinate(float(ring) / float(stacks), scaleT, offsetT);
    }

    for (int band = 0; band < stacks - 1; ++band) {
        glBegin(GL_TRIANGLE_STRIP);
        for (int column = 0; column <= slices; ++column) {
            emitVertex(grid, band + 1, column, radius);
            emitVertex(grid, band, column, radius);
        }
        glEnd();
    }
}

void drawShapePass(double currentTime, int grid)
{
    const double offsetS = shapeScrollRate * currentTime;
    const double offsetT = shapeScrollRatioUp * shapeScrollRate * currentTime;
    glPushMatrix();
    drawSphere(1.0, grid, grid, shapeRepeatsAround, shapeRepeatsUp, offsetS, offsetT);
    glPopMatrix();
}
