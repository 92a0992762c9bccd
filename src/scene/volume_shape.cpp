#include "scene/volume_shape.h"

#include <cmath>

#include "math/random.h"

namespace {

double drawCoordinate(float half)
{
    return (randomUniform(2.0) - 1.0) * half;
}

bool accepted(VolumeShape shape, float half, float innerHalf, const ShellPoint& p)
{
    if (shape == cubeShell) {
        return !(std::fabs(p.x) < innerHalf && std::fabs(p.y) < innerHalf &&
                 std::fabs(p.z) < innerHalf);
    }
    const float innerSquared = innerHalf * innerHalf;
    const float outerSquared = half * half;
    const double d = p.x * p.x + p.y * p.y + p.z * p.z;
    if (d < innerSquared || d > outerSquared) {
        return false;
    }
    return shape != upperHalfBallShell || p.y >= 0.0;
}

}  // namespace

bool drawShellPoint(VolumeShape shape, float half, float innerHalf, ShellPoint& point)
{
    for (int attempt = 0; attempt < shellAttemptLimit; ++attempt) {
        point.x = drawCoordinate(half);
        point.y = drawCoordinate(half);
        point.z = drawCoordinate(half);
        if (accepted(shape, half, innerHalf, point)) {
            return true;
        }
    }
    return false;
}
