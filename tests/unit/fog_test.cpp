#include <gtest/gtest.h>

#include "scene/fog.h"
#include "scene_elements_test_support.h"

namespace {

class FogTest : public ::testing::Test {
protected:
    void SetUp() override { glrec::reset(); }
};

TEST_F(FogTest, DefaultFogSendsLinearFogInOrderWithoutEnablingIt)
{
    Fog fog;
    fog.applyFog();
    expectCalls({
        {"glFogi", {GL_FOG_MODE, GL_LINEAR}},
        {"glHint", {GL_FOG_HINT, GL_NICEST}},
        {"glFogfv", {GL_FOG_COLOR, 0, 0, 0, 1}},
        {"glFogf", {GL_FOG_START, 0.2f}},
        {"glFogf", {GL_FOG_END, 2.0f}},
    });
}

TEST_F(FogTest, SetFogColourStoresWithoutSendingAndApplySendsIt)
{
    Fog fog;
    fog.setFogColour(0.0f, 0.0f, 0.075f, 0.0f);
    EXPECT_TRUE(glrec::calls().empty());
    fog.start = 0.2f;
    fog.end = 2.5f;
    fog.applyFog();
    const std::vector<glrec::Call> colours = callsNamed("glFogfv");
    ASSERT_EQ(colours.size(), 1u);
    EXPECT_EQ(colours[0].args, (std::vector<double>{GL_FOG_COLOR, 0, 0, 0.075f, 0}));
    EXPECT_EQ(callsNamed("glFogf").back().args, (std::vector<double>{GL_FOG_END, 2.5f}));
}

}  // namespace
