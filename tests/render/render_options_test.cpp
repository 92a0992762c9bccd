#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "render_options.h"

namespace {

struct Parsed {
    bool ok;
    RenderOptions options;
    std::string error;
};

Parsed parse(std::vector<const char*> arguments)
{
    arguments.insert(arguments.begin(), "flowball-render");
    Parsed parsed;
    parsed.ok = parseRenderOptions(int(arguments.size()), arguments.data(), parsed.options, parsed.error);
    return parsed;
}

TEST(RenderOptions, DefaultsNeedOnlyAnOutputFolder)
{
    const Parsed parsed = parse({"--out", "frames"});
    ASSERT_TRUE(parsed.ok) << parsed.error;
    EXPECT_EQ(parsed.options.outDir, "frames");
    EXPECT_EQ(parsed.options.width, 640);
    EXPECT_EQ(parsed.options.height, 480);
    EXPECT_EQ(parsed.options.frames, 1);
    EXPECT_EQ(parsed.options.fps, 30.0);
    EXPECT_EQ(parsed.options.startMs, 0u);
    EXPECT_FALSE(parsed.options.realClock);
    EXPECT_FALSE(parsed.options.settings.stars || parsed.options.settings.particles || parsed.options.settings.fog ||
                 parsed.options.settings.underlay || parsed.options.settings.overlay);
}

TEST(RenderOptions, ValuesBothSeparateAndAfterAnEqualsSign)
{
    const Parsed parsed = parse({"--size=1920x1080", "--frames", "250", "--fps=12.5", "--start-ms", "60000",
                                 "--out=/tmp/x", "--fog", "--overlay", "--quiet"});
    ASSERT_TRUE(parsed.ok) << parsed.error;
    EXPECT_EQ(parsed.options.width, 1920);
    EXPECT_EQ(parsed.options.height, 1080);
    EXPECT_EQ(parsed.options.frames, 250);
    EXPECT_EQ(parsed.options.fps, 12.5);
    EXPECT_EQ(parsed.options.startMs, 60000u);
    EXPECT_EQ(parsed.options.outDir, "/tmp/x");
    EXPECT_TRUE(parsed.options.settings.fog && parsed.options.settings.overlay && parsed.options.quiet);
    EXPECT_FALSE(parsed.options.settings.stars);
}

TEST(RenderOptions, TheSlowestClockWithTheMostFramesIsTaken)
{
    const Parsed parsed = parse({"--fps", "0.001", "--frames", "10000000", "--start-ms", "1000000000000", "--out", "f"});
    ASSERT_TRUE(parsed.ok) << parsed.error;
    EXPECT_EQ(parsed.options.fps, renderFpsMinimum);
}

TEST(RenderOptions, AllSwitchesOnEveryOptionalElement)
{
    const Parsed parsed = parse({"--all", "--out", "f"});
    ASSERT_TRUE(parsed.ok) << parsed.error;
    EXPECT_TRUE(parsed.options.settings.stars && parsed.options.settings.particles && parsed.options.settings.fog &&
                parsed.options.settings.underlay && parsed.options.settings.overlay);
}

TEST(RenderOptions, RealClockStandsAlone)
{
    EXPECT_TRUE(parse({"--real-clock", "--out", "f"}).ok);
    EXPECT_FALSE(parse({"--real-clock", "--fps", "30", "--out", "f"}).ok);
    EXPECT_FALSE(parse({"--start-ms", "5", "--real-clock", "--out", "f"}).ok);
}

TEST(RenderOptions, HelpNeedsNothingElse)
{
    for (const char* help : {"--help", "-h"}) {
        const Parsed parsed = parse({help});
        EXPECT_TRUE(parsed.ok) << help;
        EXPECT_TRUE(parsed.options.help) << help;
    }
    EXPECT_NE(renderUsage().find("--out FOLDER"), std::string::npos);
}

TEST(RenderOptions, BadCommandLinesAreRefusedWithTheReason)
{
    struct Case {
        std::vector<const char*> arguments;
        const char* reason;  // part of the message
    };
    const Case cases[] = {
        {{"--bogus", "--out", "f"}, "unknown option '--bogus'"},
        {{"--siz", "10x10", "--out", "f"}, "unknown option '--siz'"},
        {{"-o", "f"}, "unexpected argument '-o'"},
        {{"frames"}, "unexpected argument 'frames'"},
        {{"--size", "0x0", "--out", "f"}, "--size wants"},
        {{"--size", "640x0", "--out", "f"}, "--size wants"},
        {{"--size", "8193x10", "--out", "f"}, "(got '8193x10')"},
        {{"--size", "640", "--out", "f"}, "--size wants"},
        {{"--size", "640x480x2", "--out", "f"}, "--size wants"},
        {{"--size", "-640x480", "--out", "f"}, "--size wants"},
        {{"--size", " 640x480", "--out", "f"}, "--size wants"},
        {{"--size", "99999999999999999999x1", "--out", "f"}, "--size wants"},
        {{"--frames", "0", "--out", "f"}, "--frames wants"},
        {{"--frames", "-3", "--out", "f"}, "--frames wants"},
        {{"--frames", "12frames", "--out", "f"}, "--frames wants"},
        {{"--frames", "10000001", "--out", "f"}, "--frames wants"},
        {{"--fps", "0", "--out", "f"}, "--fps wants"},
        {{"--fps", "nan", "--out", "f"}, "--fps wants"},
        {{"--fps", "inf", "--out", "f"}, "--fps wants"},
        {{"--fps", "1001", "--out", "f"}, "--fps wants"},
        // Slower than a frame every 1000 s, the frames' times would pass
        // what the clock holds.
        {{"--fps", "0.0009", "--out", "f"}, "--fps wants a number from 0.001 to 1000"},
        {{"--fps", "1e-300", "--frames", "2", "--out", "f"}, "--fps wants"},
        {{"--fps", "30fps", "--out", "f"}, "--fps wants"},
        {{"--start-ms", "-1", "--out", "f"}, "--start-ms wants"},
        {{"--start-ms", "1000000000001", "--out", "f"}, "--start-ms wants"},
        {{"--out", "f", "--frames"}, "option --frames needs a value"},
        {{"--out"}, "option --out needs a value"},
        {{"--out="}, "--out wants a folder name"},
        {{"--stars=1", "--out", "f"}, "option --stars takes no value"},
        {{"--size", "64x48"}, "no output folder"},
    };
    for (const Case& c : cases) {
        std::string line;
        for (const char* argument : c.arguments)
            line += std::string(argument) + " ";
        SCOPED_TRACE(line);
        const Parsed parsed = parse(c.arguments);
        EXPECT_FALSE(parsed.ok);
        EXPECT_NE(parsed.error.find(c.reason), std::string::npos) << parsed.error;
    }
}

TEST(RenderOptions, SettingsAreTakenWithOneOrTwoDashes)
{
    const Parsed parsed = parse({"-texture", "CHECK", "--colour=336699", "-speed=250", "--no-bars", "-detail", "64",
                                 "--frame-rate", "low", "-out", "f"});
    ASSERT_TRUE(parsed.ok) << parsed.error;
    EXPECT_EQ(parsed.options.settings.texture, 10);
    EXPECT_EQ(parsed.options.settings.colour, 0x336699);
    EXPECT_EQ(parsed.options.settings.speed, 250);
    EXPECT_EQ(parsed.options.settings.bars, 0);
    EXPECT_EQ(parsed.options.settings.detail, 64);
    EXPECT_EQ(parsed.options.settings.frameRate, 2);
    EXPECT_EQ(parsed.options.outDir, "f");
}

TEST(RenderOptions, NamesMustBeWrittenInFull)
{
    struct Case {
        std::vector<const char*> arguments;
        const char* reason;
    };
    const Case cases[] = {
        {{"--tex", "FOG", "--out", "f"}, "unknown option '--tex'"},
        {{"-spee", "100", "--out", "f"}, "unexpected argument '-spee'"},
        {{"--no-bar", "--out", "f"}, "unknown option '--no-bar'"},
        {{"--out", "f", "--speed"}, "option --speed needs a value"},
        {{"--out", "f", "-detail"}, "option --detail needs a value"},
        {{"--out", "f", "--stars=0"}, "option --stars takes no value"},
        {{"--out", "f", "stray"}, "unexpected argument 'stray'"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reason);
        const Parsed parsed = parse(c.arguments);
        EXPECT_FALSE(parsed.ok);
        EXPECT_NE(parsed.error.find(c.reason), std::string::npos) << parsed.error;
    }
}

}  // namespace
