#include "host/windows/fault_guard.h"

#include <windows.h>

#include "host/windows/run_modes.h"

namespace {

LPTOP_LEVEL_EXCEPTION_FILTER previousFilter = nullptr;

LONG WINAPI saverFaultFilter(EXCEPTION_POINTERS* fault)
{
    // UnhandledExceptionFilter calls the top-level filter itself: step out of
    // its way first, or it would come straight back here.
    SetUnhandledExceptionFilter(previousFilter);
    const LONG decision = UnhandledExceptionFilter(fault);
    if (decision == EXCEPTION_EXECUTE_HANDLER) {
        setSaverRunning(FALSE);
        ExitProcess(fault->ExceptionRecord->ExceptionCode);
    }
    return decision;
}

}  // namespace

void installFaultGuard()
{
    previousFilter = SetUnhandledExceptionFilter(saverFaultFilter);
}

void removeFaultGuard()
{
    SetUnhandledExceptionFilter(previousFilter);
}
