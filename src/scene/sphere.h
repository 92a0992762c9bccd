// The latitude-longitude sphere, regenerated in immediate mode on every call,
// and the scene's shape pass that draws it with flowing texture offsets.
//
// Radius in world units; texture scales in repeats over the whole sphere and
// offsets in repeats; time in seconds. Angles, sines, cosines, their products,
// normals and texture coordinates are single precision; only the vertex
// coordinates are multiplied by the double radius.
#pragma once

// Grid limits, both inclusive; a grid outside them draws nothing.
constexpr int sphereGridMin = 3;
constexpr int sphereGridMax = 100;

// Draws stacks - 1 triangle strips of 2 * (slices + 1) vertices from the
// bottom pole (y = -radius) upward, centred on the current modelview origin.
// The last column repeats the first column's position (theta = 0) while its s
// runs on to scaleS + offsetS. Ring t is (ring / stacks) * scaleT + offsetT:
// the top pole sits at (stacks - 1) / stacks of scaleT. Outward faces wind
// counter-clockwise. Sets no state besides what it emits.
void drawSphere(double radius, int slices, int stacks, double scaleS, double scaleT, double offsetS,
                double offsetT);

// The shape pass's slices and stacks unless the caller asks for others.
constexpr int shapePassGrid = 32;

// The scene's ball at time currentTime: unit radius, grid by grid, the texture
// repeated 32 times around and 8 times pole to pole, scrolling by 0.15 repeats
// per second around and 1.11 times that towards the top. The caller sets the
// colour, texture and switches around it. A grid outside the sphere's limits
// draws nothing.
void drawShapePass(double currentTime, int grid = shapePassGrid);
