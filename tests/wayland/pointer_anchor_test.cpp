#include "host/wayland/pointer_anchor.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace {

// One pointer event: entering a surface at (x, y), leaving every surface, or
// moving to (x, y) of the surface entered last.
struct Event {
    enum Kind { enter, leave, move } kind;
    int x;
    int y;
};

struct Case {
    const char* what;
    std::vector<Event> events;
    // The index of the event that ends the program, -1 for none.
    int endsAt;
};

TEST(PointerAnchor, MovementBeyondTheThresholdFromTheEntryEndsIt)
{
    const Case cases[] = {
        {"an entry is not movement", {{Event::enter, 500, 400}}, -1},
        {"4 pixels are tolerated", {{Event::enter, 500, 400}, {Event::move, 502, 402}}, -1},
        {"5 pixels end it", {{Event::enter, 500, 400}, {Event::move, 503, 402}}, 1},
        {"drift adds up from the entry, not per step",
         {{Event::enter, 500, 400}, {Event::move, 502, 400}, {Event::move, 504, 400}, {Event::move, 505, 400}},
         3},
        {"back within the threshold after a small drift",
         {{Event::enter, 500, 400}, {Event::move, 497, 400}, {Event::move, 500, 401}}, -1},
        // Entering another output's surface reports that surface's own
        // coordinates: far from the old anchor, but no movement by itself.
        {"entering another output re-anchors",
         {{Event::enter, 1020, 300}, {Event::move, 1022, 300}, {Event::leave, 0, 0}, {Event::enter, 1, 300},
          {Event::move, 3, 301}},
         -1},
        {"and movement there counts from the new entry",
         {{Event::enter, 1020, 300}, {Event::leave, 0, 0}, {Event::enter, 1, 300}, {Event::move, 6, 300}}, 3},
        {"motion without an entry anchors", {{Event::move, 10, 10}, {Event::move, 12, 12}}, -1},
        {"extreme coordinates do not overflow",
         {{Event::enter, INT_MIN, INT_MIN}, {Event::move, INT_MAX, INT_MAX}}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PointerAnchor anchor;
        int endedAt = -1;
        for (int i = 0; i < int(c.events.size()) && endedAt < 0; ++i) {
            const Event& event = c.events[i];
            if (event.kind == Event::enter)
                anchor.enter(event.x, event.y);
            else if (event.kind == Event::leave)
                anchor.leave();
            else if (anchor.movedFarFrom(event.x, event.y))
                endedAt = i;
        }
        EXPECT_EQ(endedAt, c.endsAt);
    }
}

}  // namespace
