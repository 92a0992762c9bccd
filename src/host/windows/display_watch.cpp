#include "host/windows/display_watch.h"

void DisplayWatch::noticed(bool on)
{
    heard = true;
    poweredOn = on;
}

// Where notices come, a command that did not turn the display off (it is
// only a request) must not stop the frames: the notice says what it did.
void DisplayWatch::commanded(bool on, std::uint64_t inputMark)
{
    if (heard)
        return;
    poweredOn = on;
    inputAtOff = inputMark;
}

void DisplayWatch::looked(std::uint64_t inputMark)
{
    if (!heard && !poweredOn && inputMark != inputAtOff)
        poweredOn = true;
}

void DisplayWatch::sessionChanged(std::uint32_t event)
{
    switch (event) {
    case sessionLock:
        locked = true;
        break;
    case sessionUnlock:
        locked = false;
        break;
    case consoleDisconnect:
    case remoteDisconnect:
        disconnected = true;
        break;
    case consoleConnect:
    case remoteConnect:
        disconnected = false;
        break;
    default:
        break;
    }
}
