#include "textures/texture_registry.h"

#include <cstring>

#include "gl_api.h"
#include "textures/texture.h"

TextureRegistry textureRegistry;

void TextureRegistry::clearEntries()
{
    for (int i = 0; i < capacity; ++i) {
        names[i][0] = '\0';
        textures[i] = nullptr;
    }
}

void TextureRegistry::reset()
{
    std::memset(names, 0, sizeof names);
    clearEntries();
    count = 0;
}

bool TextureRegistry::beginEntry(Texture& slot, const char* kindName)
{
    if (count < 0 || isFull())
        return false;
    textures[count] = &slot;
    slot.registryIndex = count;
    if (kindName != nullptr) {
        std::strncpy(names[count], kindName, nameLength - 1);
        names[count][nameLength - 1] = '\0';
    }
    return true;
}

void TextureRegistry::forgetSlot(const Texture& slot)
{
    for (int i = 0; i < capacity; ++i) {
        if (textures[i] == &slot)
            textures[i] = nullptr;
    }
}

void TextureRegistry::releaseAll()
{
    int entries = count < capacity ? count : capacity;
    for (int i = 0; i < entries; ++i) {
        Texture* slot = textures[i];
        if (slot != nullptr && slot->glName != 0) {
            glDeleteTextures(1, &slot->glName);
            slot->glName = 0;
        }
    }
    Texture::lastBoundName = ~GLuint{0};
}
