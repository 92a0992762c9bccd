// The fifteen pattern kinds of the texture generator, 0 to 14, and the names
// they register.
//
// Kinds 5, 8 and 9 register no name. Kinds 9, 12 ("X50") and 13 ("Y50") have
// no pattern: the generator fills their images with zero bytes. A value
// outside 0 to 14 is not a kind; the generator refuses it.
#pragma once

#include <cstdint>

enum class TextureKind : std::int32_t {
    Sphere = 0,     // soft bright disc
    NotSphere = 1,  // the inverse disc
    Gradient = 2,   // fade along the rows
    Smoke = 3,      // sum of random cones
    Fog = 4,        // wrap-around distance from a random point
    Ring = 5,       // bright ring of radius 58 pixels, no name
    Star = 6,       // product of two tents
    Sand = 7,       // random sand grain with rare specks
    Black = 8,      // opaque black, no name
    Blank = 9,      // no pattern, no name
    Check = 10,     // chequerboard of 4-pixel cells
    Grille = 11,    // 1-pixel grid lines every 8 pixels
    X50 = 12,       // no pattern
    Y50 = 13,       // no pattern
    Grain = 14,     // per-pixel grey noise
};

constexpr int textureKindCount = 15;

inline bool isTextureKind(TextureKind kind)
{
    return static_cast<std::int32_t>(kind) >= 0 && static_cast<std::int32_t>(kind) < textureKindCount;
}

// The name the kind registers ("SMOKE"), or nullptr for a kind without one
// and for a value outside 0 to 14.
inline const char* textureKindName(TextureKind kind)
{
    static constexpr const char* names[textureKindCount] = {
        "SPHERE", "NOTSPHERE", "GRADIENT", "SMOKE", "FOG",   nullptr, "STAR", "SAND",
        nullptr,  nullptr,     "CHECK",    "GRILLE", "X50",  "Y50",   "GRAIN",
    };
    return isTextureKind(kind) ? names[static_cast<std::int32_t>(kind)] : nullptr;
}
