#include "host/windows/display_watch.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

// One message or look at the window, and whether the display is then on.
struct Event {
    enum class Kind { notice, command, look };
    Kind kind;
    bool on;                // notice, command: what it says
    std::uint64_t inputMark;  // command, look: the input mark read then
    bool displayOnAfter;
};

Event notice(bool on, bool after) { return {Event::Kind::notice, on, 0, after}; }
Event command(bool on, std::uint64_t mark, bool after) { return {Event::Kind::command, on, mark, after}; }
Event look(std::uint64_t mark, bool after) { return {Event::Kind::look, false, mark, after}; }

struct Case {
    const char* name;
    std::vector<Event> events;
};

const Case cases[] = {
    // Windows 98 to XP, and systems that register but never notify: the
    // monitor wakes on input and nothing says so.
    {"no notices: a command's off holds until input, seen at a look",
     {command(false, 100, false), look(100, false), look(100, false), look(101, true)}},
    {"no notices: the command's on is believed", {command(false, 100, false), command(true, 100, true)}},
    {"no notices: a look with the display on changes nothing", {look(5, true), command(false, 5, false)}},
    {"notices come: off holds until a notice says on, whatever the input",
     {notice(true, true), notice(false, false), look(1, false), look(2, false), notice(true, true)}},
    // A command is a request: where notices come, they say what it did.
    {"notices come: a command changes nothing", {notice(true, true), command(false, 7, true), look(8, true)}},
    {"notices come after a command's off: they are believed",
     {command(false, 3, false), notice(false, false), look(4, false), notice(true, true)}},
};

TEST(DisplayWatch, FollowsThePowerAsTheTableSays)
{
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DisplayWatch watch;
        EXPECT_TRUE(watch.displayOn());
        for (std::size_t i = 0; i < c.events.size(); ++i) {
            SCOPED_TRACE(i);
            const Event& event = c.events[i];
            if (event.kind == Event::Kind::notice)
                watch.noticed(event.on);
            else if (event.kind == Event::Kind::command)
                watch.commanded(event.on, event.inputMark);
            else
                watch.looked(event.inputMark);
            EXPECT_EQ(watch.displayOn(), event.displayOnAfter);
        }
    }
}

TEST(DisplayWatch, NoticesAreHeardOnlyOnceOneCame)
{
    DisplayWatch watch;
    watch.commanded(false, 0);
    EXPECT_FALSE(watch.noticesHeard());
    watch.noticed(true);
    EXPECT_TRUE(watch.noticesHeard());
}

TEST(DisplayWatch, LockSwitchAndDisconnectTakeTheSessionOffTheScreen)
{
    struct SessionCase {
        const char* name;
        std::vector<std::uint32_t> events;
        bool shownAfter;
    };
    using W = DisplayWatch;
    const SessionCase sessionCases[] = {
        {"locked", {W::sessionLock}, false},
        {"unlocked", {W::sessionLock, W::sessionUnlock}, true},
        {"switched away from", {W::consoleDisconnect}, false},
        {"switched back to", {W::consoleDisconnect, W::consoleConnect}, true},
        {"remote session disconnected", {W::remoteDisconnect}, false},
        {"remote session reconnected", {W::remoteDisconnect, W::remoteConnect}, true},
        // A session comes back to its lock screen: still nothing to see.
        {"switched back to while locked", {W::sessionLock, W::consoleDisconnect, W::consoleConnect}, false},
        {"unlocked after coming back", {W::sessionLock, W::consoleDisconnect, W::consoleConnect, W::sessionUnlock},
         true},
        {"logon, logoff and remote control change nothing", {5, 6, 9}, true},
    };
    for (const SessionCase& c : sessionCases) {
        SCOPED_TRACE(c.name);
        DisplayWatch watch;
        for (const std::uint32_t event : c.events)
            watch.sessionChanged(event);
        EXPECT_EQ(watch.sessionShown(), c.shownAfter);
        EXPECT_TRUE(watch.displayOn());
    }
}

}  // namespace
