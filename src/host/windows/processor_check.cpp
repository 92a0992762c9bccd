// The process entry point (host.cmake names it to the linker): it runs ahead
// of the C runtime's start-up, which constructs the scene's globals with SSE2
// code before WinMain. A processor without SSE2 gets a message box and exit
// code -1 instead of an illegal-instruction fault in one of those constructors.
//
// Before this point the loader runs only the system DLLs' entries and the C
// runtime's TLS callbacks, which are built for any i686. This file is compiled
// without SSE (host.cmake) and uses no floating point, so nothing in it needs
// the unit it checks for.
#include <windows.h>

#include <cpuid.h>

#include "host/windows/processor_requirements.h"

extern "C" int WinMainCRTStartup();

namespace {

constexpr char noSse2Message[] =
    "Flowball needs a processor with SSE2 (a Pentium 4, Athlon 64 or later).\n"
    "This processor does not have it.";

CpuidAnswer readCpuid()
{
    CpuidAnswer answer;
    // 0 when the processor cannot toggle the flags' ID bit: no CPUID.
    answer.highestLeaf = __get_cpuid_max(0, nullptr);
    if (answer.highestLeaf >= 1) {
        unsigned int eax = 0, ebx = 0, ecx = 0, edx = 0;
        __cpuid(1, eax, ebx, ecx, edx);
        answer.leaf1Edx = edx;
    }
    return answer;
}

}  // namespace

extern "C" int flowballEntry()
{
    if (!processorHasSse2(readCpuid())) {
        MessageBoxA(nullptr, noSse2Message, "Flowball", MB_OK | MB_ICONSTOP);
        ExitProcess(static_cast<UINT>(-1));
    }
    return WinMainCRTStartup();
}
