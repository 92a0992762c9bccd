// The user's settings as the scene's configuration.
#pragma once

#include "settings/settings.h"

// Writes the settings that shape the picture into sceneConfig, for the next
// build. Every value goes through the settings' validation first, so a record
// filled by hand cannot put an unusable value into the scene. The default
// settings leave sceneConfig as it is after resetScene. FrameRate and
// Monitors belong to the host and are not read.
//
// Stars also make the ball translucent through the shape blending: the star
// field is drawn before the ball, which surrounds the camera, so an opaque
// ball would hide every star.
void applySettings(const Settings& settings);
