// What the Windows host knows of whether its display shows anything: the
// display's power and whether its session is on the screen, from the
// system's messages, with no Windows call, so that it is tested natively.
//
// Two sources say the display is off. The power notice for the setting the
// window registered for (Vista on) also says when it is on again, but only
// where the system sends it at all: it sends the current state as soon as
// the window registers, so the first notice shows that notices come, and
// from then on they alone are believed. The monitor-power command (Windows
// 98 to XP send it to the foreground window as the monitor blanks, and any
// program may send it) never says reliably that the display is on again:
// before any notice its "off" holds only until the input that wakes a
// monitor, seen as a change of the input mark the host reads at each look.
//
// A session that is locked, switched away from or disconnected shows nobody
// its windows; session notices say when it goes and comes back.
#pragma once

#include <cstdint>

class DisplayWatch {
public:
    // The events of a session notice (WM_WTSSESSION_CHANGE's wParam) that
    // take the session off the screen or bring it back.
    enum SessionEvent : std::uint32_t {
        consoleConnect = 1,
        consoleDisconnect = 2,
        remoteConnect = 3,
        remoteDisconnect = 4,
        sessionLock = 7,
        sessionUnlock = 8,
    };

    // A power notice of the registered setting: the display on (or dimmed,
    // still seen) or off.
    void noticed(bool on);

    // The monitor-power command; inputMark is the host's input mark now.
    void commanded(bool on, std::uint64_t inputMark);

    // The host looks at the display: inputMark as the host reads it now,
    // a number that changes with the user's input.
    void looked(std::uint64_t inputMark);

    // A session notice: other events change nothing.
    void sessionChanged(std::uint32_t event);

    bool displayOn() const { return poweredOn; }
    // Whether the system has shown that it says when the display is on.
    bool noticesHeard() const { return heard; }
    // Whether the session is on the screen: not locked, nor disconnected.
    bool sessionShown() const { return !locked && !disconnected; }

private:
    bool poweredOn = true;
    bool heard = false;
    std::uint64_t inputAtOff = 0;
    bool locked = false;
    bool disconnected = false;
};
