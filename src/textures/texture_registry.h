// The process-wide table of generated images: one entry per successful
// generation, holding the slot that received the image and the name of the
// kind that produced it. No pixels are kept; images live in the GL texture
// objects of their slots.
#pragma once

#include <cstdint>

class Texture;

class TextureRegistry {
public:
    static constexpr int capacity = 31;
    static constexpr int nameLength = 80;  // including the terminating zero

    constexpr TextureRegistry() = default;

    // Empties every entry (no slot, empty name); count stays.
    void clearEntries();

    // Empties every entry and sets count to 0: the registry at process start.
    void reset();

    bool isFull() const { return count >= capacity; }

    // Fills entry count for a generation into slot: the slot pointer, then the
    // slot's registryIndex, then the kind's name when it has one (a kind
    // without a name leaves the entry's old text). count is not changed; the
    // generator increments it once the image is uploaded. Returns false, and
    // changes nothing, when the registry is full.
    bool beginEntry(Texture& slot, const char* kindName);

    // Nulls every entry that points at slot: a slot being destroyed.
    void forgetSlot(const Texture& slot);

    // Deletes the texture object of every registered slot, each once, and sets
    // the slots' glName to 0 and the bind cache to "nothing bound", so that
    // no slot keeps a name GL may hand out again. Entries and count stay.
    void releaseAll();

    char names[capacity][nameLength] = {};
    Texture* textures[capacity] = {};
    std::int32_t count = 0;
};

// Constant-initialised, so it is ready before any global slot is constructed.
extern TextureRegistry textureRegistry;
