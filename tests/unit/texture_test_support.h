// A fixture for tests of texture slots: a fresh recording GL, an empty
// registry and a clear bind cache before each test, and no registry entry or
// cache left behind after it.
#pragma once

#include <gtest/gtest.h>

#include "glrecorder/gl_recorder.h"
#include "textures/texture.h"
#include "textures/texture_registry.h"

class FreshTexturesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        glrec::reset();
        textureRegistry.reset();
        Texture::resetSharedSettings();
    }
    void TearDown() override
    {
        textureRegistry.reset();
        Texture::resetSharedSettings();
    }
};
