// The GL capabilities around the shape pass, switched from the process-wide
// scene switches (scene/scene_switches.h).
#pragma once

// Enables or disables, in this order, blending (with the shape blend rows),
// face culling, the depth test (enabling also turns depth writes on), fog,
// lighting and 2D texturing, each from its switch.
void applyShapeSwitches();

// Disables, in the same order, each capability whose switch is set; leaves
// the others and the depth mask alone.
void resetShapeSwitches();
