// One texture slot: a GL texture object, made on the slot's first bind, the
// format and size of the image uploaded into it, and the sampling settings
// applied whenever the slot becomes the bound texture.
//
// Sizes are pixels. GL enumerants are held as they are passed to GL; 0 in
// wrapMode or envMode means that bind leaves that GL setting alone. Every GL
// call acts on GL_TEXTURE_2D of the current rendering context.
#pragma once

#include <cstdint>

#include "gl_api.h"
#include "textures/texture_effect.h"
#include "textures/texture_kind.h"

// Results of Texture::generate and generatePixels.
constexpr int generateOk = 0;
constexpr int generateRefused = 1;

class Texture {
public:
    // Stores the initial values, sets envColor to white and clears the
    // registry's entries (not its count): the slots are built before anything
    // is generated, so this only ever clears an empty registry.
    Texture();

    // Deletes the slot's texture object if it has one. A destroyed slot also
    // leaves the registry and the bind cache, so that neither can point at a
    // dead slot or at a name GL may hand out again.
    ~Texture();

    // A slot owns its GL name; a copy would delete it twice.
    Texture(const Texture&) = delete;
    Texture& operator=(const Texture&) = delete;

    // Makes the slot the bound texture and applies its wrap and environment
    // modes. Creates the GL name first if the slot has none. Binding the slot
    // that was bound last makes no GL call at all: its modes are not re-applied.
    // Never enables or disables anything.
    void bind();

    // Unpack alignment 1, magnifying filter GL_LINEAR, minifying filter
    // GL_NEAREST_MIPMAP_NEAREST when mipmapped else GL_LINEAR, for the texture
    // bound now.
    void setFilters(bool mipmapped);

    // Fills the slot with a computed image of the kind (see generatePixels for
    // the patterns and their random draws), records it in the registry and
    // uploads it; with mipmapped, gluBuild2DMipmaps follows the level-0 upload.
    // width, height and format are stored first, also when the call is
    // refused. Refused (generateRefused, with no registry entry, no random draw
    // and no GL call): width * height above 65536, a side below 1, a kind
    // outside 0 to 14, a format other than GL_RGBA and GL_LUMINANCE_ALPHA,
    // SMOKE or FOG with a side above 256, and a full registry.
    int generate(TextureKind kind, int width, int height, GLenum format, bool mipmapped);

    // Replaces every texel of the slot's image with a grey pattern built from
    // the TextureEffect bits; amplitude in byte units, fadeRadius in pixels
    // (below 1 counts as 1). Draws randomUniform(amplitude) values: one per
    // column first with EffectColumnStreaks, then row by row one per row with
    // EffectRowStreaks followed by one per pixel with EffectPixelNoise. Uploads
    // with glTexSubImage2D; the slot keeps its fields, its registry entry and
    // any older mipmap levels. A slot wider than 256, larger than 65536
    // pixels, with a side below 1 or with a format other than GL_RGBA and
    // GL_LUMINANCE_ALPHA is left alone: no draw, no GL call.
    void applyEffects(std::uint32_t effects, int amplitude, int fadeRadius);

    // lastBoundName, envColor and envModeOverride back to their values at
    // process start, for a fresh scene and for tests.
    static void resetSharedSettings();

    GLuint glName = 0;           // 0 until the first bind
    GLenum format = GL_RGBA;     // internal and client format of uploads
    GLenum wrapMode = GL_REPEAT; // for both S and T
    GLenum envMode = GL_MODULATE;
    int width = 128;
    int height = 128;
    int blobCount = 100;         // cones summed by SMOKE
    int blobRadius = 12;         // working value that SMOKE and FOG overwrite
    int registryIndex = -1;      // entry of the latest successful generation

    // The name of the last glBindTexture made by bind; all bits set when
    // nothing has been bound yet.
    static GLuint lastBoundName;
    // Sent with the environment mode when that mode is GL_BLEND.
    static GLfloat envColor[4];
    // When non-zero, replaces every slot's envMode on bind.
    static GLenum envModeOverride;

private:
    // The image being built by generate or applyEffects: up to 65536 pixels
    // of up to 4 bytes, uploaded before the call returns and not read again.
    // Static storage keeps the 256 KiB off the stack and off the heap.
    static std::uint8_t scratchPixels[65536 * 4];
};
