// What the system tells the saver window of its display, where it offers
// it: the display's power as a power-setting notice (Vista on) and the
// session's comings and goings (XP on), both asked for at run time, since
// Windows 98 has neither call; and the input mark a look at the display
// reads (host/windows/display_watch.h).
//
// The setting asked for is the one the system sends: the display of the
// window's own session from Windows 8 on (the console's would speak for
// another session's screen), the monitor's power on Vista and 7.
#pragma once

#include <windows.h>

#include <cstdint>

class DisplayNotices {
public:
    // Registers the window for both notices where the system offers them.
    void registerFor(HWND window);
    // Ends both registrations; the window is still there.
    void unregister(HWND window);

    // The display's state from WM_POWERBROADCAST's PBT_POWERSETTINGCHANGE
    // lParam: true, with on set (on or dimmed, both seen), only for a notice
    // of the registered setting whose bytes can be read. Any process may
    // post the message with any number: nothing else is read.
    bool readPowerNotice(LPARAM lParam, bool& on) const;

    // Whether WM_WTSSESSION_CHANGE is heard: the window registered for it.
    bool sessionNoticesRegistered() const { return sessionModule != nullptr; }

    // A number that changes with the user's input: the time of the last
    // input (Windows 2000 on), or the cursor's place where the system cannot
    // tell that.
    std::uint64_t inputMark() const;

private:
    HANDLE powerNotification = nullptr;
    GUID powerSetting = {};
    HMODULE sessionModule = nullptr;
};
