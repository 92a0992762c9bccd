// Texture slots against the recording GL: the bind cache and the exact calls
// of bind, setFilters and destruction; the registry and releaseAll.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "glrecorder/gl_recorder.h"
#include "textures/texture.h"
#include "textures/texture_registry.h"
#include "texture_test_support.h"

namespace {

using TextureSlotTest = FreshTexturesTest;

using Texts = std::vector<std::string>;

}  // namespace

TEST_F(TextureSlotTest, StartsWithTheDefaultValues)
{
    Texture slot;
    EXPECT_EQ(slot.glName, 0u);
    EXPECT_EQ(slot.format, GLenum(GL_RGBA));
    EXPECT_EQ(slot.wrapMode, GLenum(GL_REPEAT));
    EXPECT_EQ(slot.envMode, GLenum(GL_MODULATE));
    EXPECT_EQ(slot.width, 128);
    EXPECT_EQ(slot.height, 128);
    EXPECT_EQ(slot.blobCount, 100);
    EXPECT_EQ(slot.blobRadius, 12);
    EXPECT_EQ(slot.registryIndex, -1);
    EXPECT_EQ(Texture::lastBoundName, ~GLuint{0});
    EXPECT_EQ(Texture::envModeOverride, 0u);
    EXPECT_TRUE(glrec::calls().empty()) << "construction makes no GL call";
}

TEST_F(TextureSlotTest, FirstBindCreatesANameBindsItAndAppliesRepeatAndModulate)
{
    Texture slot;
    slot.bind();
    EXPECT_EQ(glrec::callTexts(), (Texts{
                                      "glGenTextures(1, 1)",
                                      "glBindTexture(3553, 1)",
                                      "glTexParameteri(3553, 10242, 10497)",
                                      "glTexParameteri(3553, 10243, 10497)",
                                      "glTexEnvf(8960, 8704, 8448)",
                                  }));
    EXPECT_EQ(slot.glName, 1u);
    EXPECT_EQ(Texture::lastBoundName, 1u);
    EXPECT_EQ(glrec::boundTexture(), 1u);
}

TEST_F(TextureSlotTest, BindingTheBoundSlotAgainMakesNoCall)
{
    Texture slot;
    slot.bind();
    glrec::clearCalls();
    slot.wrapMode = GL_CLAMP;  // not re-applied: the cache compares names only
    slot.bind();
    EXPECT_TRUE(glrec::calls().empty());
}

TEST_F(TextureSlotTest, BindCountsFollowTheOrderOfSlots)
{
    struct Case {
        const char* order;
        std::size_t binds;
    };
    const Case cases[] = {{"A", 1}, {"AA", 1}, {"AB", 2}, {"ABA", 3}, {"AABBA", 3}, {"ABAB", 4}};
    for (const Case& c : cases) {
        glrec::reset();
        Texture::resetSharedSettings();
        Texture a;
        Texture b;
        for (const char* p = c.order; *p; ++p)
            (*p == 'A' ? a : b).bind();
        EXPECT_EQ(glrec::countCalls("glBindTexture"), c.binds) << c.order;
        EXPECT_EQ(glrec::countCalls("glGenTextures"), std::strchr(c.order, 'B') ? 2u : 1u) << c.order;
    }
}

TEST_F(TextureSlotTest, CachedBindStillCreatesAMissingName)
{
    // A slot whose name is still 0 while the cache holds an unrelated name.
    Texture slot;
    Texture::lastBoundName = 0;
    slot.bind();
    EXPECT_EQ(slot.glName, 1u);
    EXPECT_EQ(glrec::countCalls("glGenTextures"), 1u);
}

TEST_F(TextureSlotTest, ZeroModesLeaveTheirSettingsAlone)
{
    Texture noWrap;
    noWrap.wrapMode = 0;
    noWrap.bind();
    EXPECT_EQ(glrec::countCalls("glTexParameteri"), 0u);
    EXPECT_EQ(glrec::countCalls("glTexEnvf"), 1u);

    glrec::clearCalls();
    Texture noEnv;
    noEnv.envMode = 0;
    noEnv.bind();
    EXPECT_EQ(glrec::countCalls("glTexParameteri"), 2u);
    EXPECT_EQ(glrec::countCalls("glTexEnvf"), 0u);
    EXPECT_EQ(glrec::countCalls("glTexEnvfv"), 0u);
}

TEST_F(TextureSlotTest, BlendModeSendsTheModeThenTheColour)
{
    Texture slot;
    slot.envMode = GL_BLEND;
    slot.bind();
    Texts texts = glrec::callTexts();
    ASSERT_EQ(texts.size(), 6u);
    EXPECT_EQ(texts[4], "glTexEnvf(8960, 8704, 3042)");
    EXPECT_EQ(texts[5], "glTexEnvfv(8960, 8705, 1, 1, 1, 1)");
}

TEST_F(TextureSlotTest, EnvironmentOverrideReplacesEverySlotsMode)
{
    struct Case {
        GLenum envMode;
        GLenum override;
        const char* modeCall;  // nullptr: none
        bool colour;
    };
    const Case cases[] = {
        {GL_MODULATE, 0, "glTexEnvf(8960, 8704, 8448)", false},
        {GL_MODULATE, GL_DECAL, "glTexEnvf(8960, 8704, 8449)", false},
        {GL_MODULATE, GL_BLEND, "glTexEnvf(8960, 8704, 3042)", true},
        {0, GL_REPLACE, "glTexEnvf(8960, 8704, 7681)", false},
        {0, 0, nullptr, false},
        {GL_BLEND, 0, "glTexEnvf(8960, 8704, 3042)", true},
    };
    for (const Case& c : cases) {
        glrec::reset();
        Texture::resetSharedSettings();
        Texture::envModeOverride = c.override;
        Texture slot;
        slot.envMode = c.envMode;
        slot.bind();
        Texts texts = glrec::callTexts();
        std::size_t envCalls = glrec::countCalls("glTexEnvf");
        if (c.modeCall) {
            ASSERT_EQ(envCalls, 1u);
            EXPECT_EQ(texts[4], c.modeCall);
        } else {
            EXPECT_EQ(envCalls, 0u);
        }
        EXPECT_EQ(glrec::countCalls("glTexEnvfv"), c.colour ? 1u : 0u) << c.envMode << " " << c.override;
    }
}

TEST_F(TextureSlotTest, EnvironmentColourIsTheSharedOne)
{
    Texture slot;
    slot.envMode = GL_BLEND;
    Texture::envColor[0] = 0.5f;
    Texture::envColor[2] = 0.25f;
    slot.bind();
    EXPECT_EQ(glrec::callTexts().back(), "glTexEnvfv(8960, 8705, 0.5, 1, 0.25, 1)");
    Texture another;
    EXPECT_EQ(Texture::envColor[0], 1.0f) << "each construction sets the colour back to white";
}

TEST_F(TextureSlotTest, SetFiltersBothWays)
{
    Texture slot;
    slot.setFilters(false);
    EXPECT_EQ(glrec::callTexts(), (Texts{
                                      "glPixelStorei(3317, 1)",
                                      "glTexParameteri(3553, 10240, 9729)",
                                      "glTexParameteri(3553, 10241, 9729)",
                                  }));
    glrec::clearCalls();
    slot.setFilters(true);
    EXPECT_EQ(glrec::callTexts(), (Texts{
                                      "glPixelStorei(3317, 1)",
                                      "glTexParameteri(3553, 10240, 9729)",
                                      "glTexParameteri(3553, 10241, 9984)",
                                  }));
}

TEST_F(TextureSlotTest, DestroyingANeverBoundSlotMakesNoCall)
{
    { Texture slot; }
    EXPECT_TRUE(glrec::calls().empty());
}

TEST_F(TextureSlotTest, DestroyingABoundSlotDeletesItsNameAndForgetsTheCache)
{
    {
        Texture slot;
        slot.bind();
        glrec::clearCalls();
    }
    EXPECT_EQ(glrec::callTexts(), (Texts{"glDeleteTextures(1, 1)"}));
    EXPECT_TRUE(glrec::liveTextures().empty());
    EXPECT_EQ(Texture::lastBoundName, ~GLuint{0}) << "GL may give the name to the next slot";
}

TEST_F(TextureSlotTest, DestroyingAnotherSlotKeepsTheCache)
{
    Texture kept;
    {
        Texture gone;
        gone.bind();
        kept.bind();
    }
    EXPECT_EQ(Texture::lastBoundName, kept.glName);
}

TEST_F(TextureSlotTest, ConstructionClearsTheEntriesButNotTheCount)
{
    textureRegistry.count = 3;
    std::strcpy(textureRegistry.names[2], "SMOKE");
    Texture other;
    textureRegistry.textures[1] = &other;
    Texture slot;
    EXPECT_EQ(textureRegistry.count, 3);
    EXPECT_STREQ(textureRegistry.names[2], "");
    EXPECT_EQ(textureRegistry.textures[1], nullptr);
}

TEST_F(TextureSlotTest, DestroyedSlotLeavesTheRegistry)
{
    Texture kept;
    auto* gone = new Texture;
    textureRegistry.textures[0] = gone;
    textureRegistry.textures[1] = &kept;
    textureRegistry.textures[2] = gone;
    textureRegistry.count = 3;
    delete gone;
    EXPECT_EQ(textureRegistry.textures[0], nullptr);
    EXPECT_EQ(textureRegistry.textures[1], &kept);
    EXPECT_EQ(textureRegistry.textures[2], nullptr);
    textureRegistry.releaseAll();  // must not touch the dead slot
}

TEST_F(TextureSlotTest, ReleaseAllOnAnEmptyRegistryMakesNoCall)
{
    textureRegistry.releaseAll();
    EXPECT_TRUE(glrec::calls().empty());
}

TEST_F(TextureSlotTest, ReleaseAllDeletesEachRegisteredNameOnceAndForgetsIt)
{
    Texture first;
    Texture second;
    Texture unregistered;
    ASSERT_EQ(first.generate(TextureKind::Check, 8, 8, GL_RGBA, false), generateOk);
    ASSERT_EQ(second.generate(TextureKind::Grille, 8, 8, GL_RGBA, false), generateOk);
    ASSERT_EQ(first.generate(TextureKind::Black, 8, 8, GL_RGBA, false), generateOk);
    unregistered.bind();
    glrec::clearCalls();

    textureRegistry.releaseAll();

    EXPECT_EQ(glrec::callTexts(), (Texts{"glDeleteTextures(1, 1)", "glDeleteTextures(1, 2)"}));
    EXPECT_EQ(glrec::liveTextures(), (std::vector<GLuint>{3}));
    EXPECT_EQ(first.glName, 0u);
    EXPECT_EQ(second.glName, 0u);
    EXPECT_EQ(unregistered.glName, 3u);
    EXPECT_EQ(Texture::lastBoundName, ~GLuint{0});
    EXPECT_EQ(textureRegistry.count, 3) << "entries stay";
    EXPECT_EQ(textureRegistry.textures[2], &first);

    // A later bind makes a fresh name and really binds it.
    glrec::clearCalls();
    first.bind();
    EXPECT_EQ(glrec::countCalls("glGenTextures"), 1u);
    EXPECT_EQ(glrec::countCalls("glBindTexture"), 1u);
}

TEST_F(TextureSlotTest, ResetSharedSettingsRestoresTheProcessStartValues)
{
    Texture slot;
    slot.bind();
    Texture::envColor[1] = 0.0f;
    Texture::envModeOverride = GL_DECAL;
    Texture::resetSharedSettings();
    EXPECT_EQ(Texture::lastBoundName, ~GLuint{0});
    EXPECT_EQ(Texture::envColor[1], 1.0f);
    EXPECT_EQ(Texture::envModeOverride, 0u);
}
