// One seat's keyboard, pointer and touch, read for the dismissal rules: any
// key press, button press or touch ends the program, and so does pointer
// movement beyond the threshold from where the pointer entered a surface
// (pointer_anchor.h). The pointer is hidden over the surfaces. Nothing here
// asks the compositor to keep the desktop from idling.
#pragma once

#include <wayland-client.h>

#include <cstdint>

#include "host/wayland/pointer_anchor.h"

class SeatInput {
public:
    SeatInput(wl_registry* registry, std::uint32_t registryName, std::uint32_t version);
    ~SeatInput();
    SeatInput(const SeatInput&) = delete;
    SeatInput& operator=(const SeatInput&) = delete;

    // Whether input that ends the program has come.
    bool ended() const { return endingInput; }

    const std::uint32_t registryName;

private:
    void takeDevices(std::uint32_t capabilities);

    static const wl_seat_listener seatListener;
    static const wl_keyboard_listener keyboardListener;
    static const wl_pointer_listener pointerListener;
    static const wl_touch_listener touchListener;

    static void onCapabilities(void* data, wl_seat*, uint32_t capabilities);
    static void onSeatName(void*, wl_seat*, const char*) {}

    static void onKeymap(void*, wl_keyboard*, uint32_t, int32_t fd, uint32_t);
    static void onKeyboardEnter(void*, wl_keyboard*, uint32_t, wl_surface*, wl_array*) {}
    static void onKeyboardLeave(void*, wl_keyboard*, uint32_t, wl_surface*) {}
    static void onKey(void* data, wl_keyboard*, uint32_t, uint32_t, uint32_t, uint32_t state);
    static void onModifiers(void*, wl_keyboard*, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t) {}
    static void onRepeatInfo(void*, wl_keyboard*, int32_t, int32_t) {}

    static void onPointerEnter(void* data, wl_pointer* pointer, uint32_t serial, wl_surface*, wl_fixed_t x,
                               wl_fixed_t y);
    static void onPointerLeave(void* data, wl_pointer*, uint32_t, wl_surface*);
    static void onMotion(void* data, wl_pointer*, uint32_t, wl_fixed_t x, wl_fixed_t y);
    static void onButton(void* data, wl_pointer*, uint32_t, uint32_t, uint32_t, uint32_t state);
    static void onAxis(void*, wl_pointer*, uint32_t, uint32_t, wl_fixed_t) {}
    static void onPointerFrame(void*, wl_pointer*) {}
    static void onAxisSource(void*, wl_pointer*, uint32_t) {}
    static void onAxisStop(void*, wl_pointer*, uint32_t, uint32_t) {}
    static void onAxisDiscrete(void*, wl_pointer*, uint32_t, int32_t) {}
    static void onAxisValue120(void*, wl_pointer*, uint32_t, int32_t) {}

    static void onTouchDown(void* data, wl_touch*, uint32_t, uint32_t, wl_surface*, int32_t, wl_fixed_t, wl_fixed_t);
    static void onTouchUp(void*, wl_touch*, uint32_t, uint32_t, int32_t) {}
    static void onTouchMotion(void*, wl_touch*, uint32_t, int32_t, wl_fixed_t, wl_fixed_t) {}
    static void onTouchFrame(void*, wl_touch*) {}
    static void onTouchCancel(void*, wl_touch*) {}
    static void onTouchShape(void*, wl_touch*, int32_t, wl_fixed_t, wl_fixed_t) {}
    static void onTouchOrientation(void*, wl_touch*, int32_t, wl_fixed_t) {}

    wl_seat* seat;
    std::uint32_t boundVersion;
    wl_keyboard* keyboard = nullptr;
    wl_pointer* pointer = nullptr;
    wl_touch* touch = nullptr;
    PointerAnchor anchor;
    bool endingInput = false;
};
