// The program's entry: everything happens in saverMain, which ends the process.
#include <windows.h>

#include "host/run_modes_win.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    saverMain();
}
