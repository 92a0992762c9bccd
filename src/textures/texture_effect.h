// The effect bits of Texture::applyEffects. Every effect acts on one grey
// value v per pixel, in byte units, starting from 255; they are applied in
// the order of their bit values whatever the combination. Other bits have no
// effect.
#pragma once

#include <cstdint>

enum TextureEffect : std::uint32_t {
    EffectColumnStreaks = 1,  // add the column's random offset
    EffectRowStreaks = 2,     // add the row's random offset
    EffectPixelNoise = 4,     // add a fresh random offset
    EffectRadialFade = 8,     // multiply by 1 - (distance / fadeRadius)^2, not below 0
    EffectOddColumns = 16,    // subtract the amplitude on odd columns
    EffectOddRows = 32,       // subtract the amplitude on odd rows
};
