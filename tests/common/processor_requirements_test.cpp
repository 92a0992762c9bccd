// The start-up check's decision, fed with made-up CPUID answers.
#include <gtest/gtest.h>

#include <cstdint>

#include "host/windows/processor_requirements.h"

namespace {

struct ProcessorCase {
    const char* processor;
    CpuidAnswer answer;
    bool runs;
};

TEST(ProcessorRequirements, RunsOnlyWithSse2)
{
    constexpr std::uint32_t sse = std::uint32_t{1} << 25;
    constexpr std::uint32_t everyBitButSse2 = ~cpuidSse2Bit;
    const ProcessorCase cases[] = {
        {"no CPUID at all", {0, 0}, false},
        {"CPUID without leaf 1, stale feature bits", {0, cpuidSse2Bit}, false},
        {"leaf 1 without SSE2", {1, 0}, false},
        {"SSE but not SSE2", {2, sse}, false},
        {"every feature but SSE2", {0xD, everyBitButSse2}, false},
        {"SSE2 alone", {1, cpuidSse2Bit}, true},
        {"SSE and SSE2", {0x16, sse | cpuidSse2Bit}, true},
        {"every feature", {0xD, 0xFFFFFFFFu}, true},
    };
    for (const ProcessorCase& c : cases)
        EXPECT_EQ(processorHasSse2(c.answer), c.runs) << c.processor;
}

TEST(ProcessorRequirements, Sse2IsLeafOneEdxBit26)
{
    EXPECT_EQ(cpuidSse2Bit, 0x04000000u);
}

}  // namespace
