// The program's entry: everything happens in saverMain, which ends the process.
#include <windows.h>

#include "host/windows/run_modes.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    saverMain();
}
