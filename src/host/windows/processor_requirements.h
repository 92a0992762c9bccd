// The processor the saver needs: one with SSE2. Every float and double result
// is computed on the SSE unit so that both targets give the same bits; a
// processor without SSE2 would stop at the first such instruction.
//
// The answer comes from CPUID: highestLeaf is what leaf 0 reports in EAX (0
// also when the processor has no CPUID at all), leaf1Edx the feature bits of
// leaf 1 in EDX. The decision is inline so that the start-up check, compiled
// without SSE, evaluates it in its own code.
#pragma once

#include <cstdint>

struct CpuidAnswer {
    std::uint32_t highestLeaf = 0;
    std::uint32_t leaf1Edx = 0;
};

// CPUID leaf 1, EDX bit 26.
constexpr std::uint32_t cpuidSse2Bit = std::uint32_t{1} << 26;

constexpr bool processorHasSse2(const CpuidAnswer& answer)
{
    return answer.highestLeaf >= 1 && (answer.leaf1Edx & cpuidSse2Bit) != 0;
}
