#include "host/wayland/seat_input.h"

#include <unistd.h>

#include <algorithm>

namespace {

// Release requests (version 3) let the compositor forget the devices at once.
constexpr std::uint32_t seatVersion = 5;

// Surface-local positions in whole logical pixels.
int pixel(wl_fixed_t value) { return wl_fixed_to_int(value); }

}  // namespace

const wl_seat_listener SeatInput::seatListener = {onCapabilities, onSeatName};
const wl_keyboard_listener SeatInput::keyboardListener = {
    onKeymap, onKeyboardEnter, onKeyboardLeave, onKey, onModifiers, onRepeatInfo,
};
const wl_pointer_listener SeatInput::pointerListener = {
    onPointerEnter, onPointerLeave, onMotion,       onButton,      onAxis,
    onPointerFrame, onAxisSource,   onAxisStop,     onAxisDiscrete, onAxisValue120,
};
const wl_touch_listener SeatInput::touchListener = {
    onTouchDown, onTouchUp, onTouchMotion, onTouchFrame, onTouchCancel, onTouchShape, onTouchOrientation,
};

SeatInput::SeatInput(wl_registry* registry, std::uint32_t name, std::uint32_t version)
    : registryName(name), boundVersion(std::min(version, seatVersion))
{
    seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, boundVersion));
    wl_seat_add_listener(seat, &seatListener, this);
}

SeatInput::~SeatInput()
{
    takeDevices(0);
    if (boundVersion >= WL_SEAT_RELEASE_SINCE_VERSION)
        wl_seat_release(seat);
    else
        wl_seat_destroy(seat);
}

void SeatInput::takeDevices(std::uint32_t capabilities)
{
    const bool release = boundVersion >= WL_KEYBOARD_RELEASE_SINCE_VERSION;
    const bool wantsKeyboard = (capabilities & WL_SEAT_CAPABILITY_KEYBOARD) != 0;
    if (wantsKeyboard && keyboard == nullptr) {
        keyboard = wl_seat_get_keyboard(seat);
        wl_keyboard_add_listener(keyboard, &keyboardListener, this);
    } else if (!wantsKeyboard && keyboard != nullptr) {
        release ? wl_keyboard_release(keyboard) : wl_keyboard_destroy(keyboard);
        keyboard = nullptr;
    }
    const bool wantsPointer = (capabilities & WL_SEAT_CAPABILITY_POINTER) != 0;
    if (wantsPointer && pointer == nullptr) {
        pointer = wl_seat_get_pointer(seat);
        wl_pointer_add_listener(pointer, &pointerListener, this);
    } else if (!wantsPointer && pointer != nullptr) {
        release ? wl_pointer_release(pointer) : wl_pointer_destroy(pointer);
        pointer = nullptr;
        anchor.leave();
    }
    const bool wantsTouch = (capabilities & WL_SEAT_CAPABILITY_TOUCH) != 0;
    if (wantsTouch && touch == nullptr) {
        touch = wl_seat_get_touch(seat);
        wl_touch_add_listener(touch, &touchListener, this);
    } else if (!wantsTouch && touch != nullptr) {
        release ? wl_touch_release(touch) : wl_touch_destroy(touch);
        touch = nullptr;
    }
}

void SeatInput::onCapabilities(void* data, wl_seat*, uint32_t capabilities)
{
    static_cast<SeatInput*>(data)->takeDevices(capabilities);
}

void SeatInput::onKeymap(void*, wl_keyboard*, uint32_t, int32_t fd, uint32_t)
{
    // Any key ends the program: the keymap is not needed, but its file
    // descriptor is ours to close.
    close(fd);
}

void SeatInput::onKey(void* data, wl_keyboard*, uint32_t, uint32_t, uint32_t, uint32_t state)
{
    // Only a press: the release of a key held when the surfaces appeared
    // (the key that started an idle command, say) is not new input.
    if (state == WL_KEYBOARD_KEY_STATE_PRESSED)
        static_cast<SeatInput*>(data)->endingInput = true;
}

void SeatInput::onPointerEnter(void* data, wl_pointer* pointer, uint32_t serial, wl_surface*, wl_fixed_t x,
                               wl_fixed_t y)
{
    auto* self = static_cast<SeatInput*>(data);
    // No cursor over the picture.
    wl_pointer_set_cursor(pointer, serial, nullptr, 0, 0);
    self->anchor.enter(pixel(x), pixel(y));
}

void SeatInput::onPointerLeave(void* data, wl_pointer*, uint32_t, wl_surface*)
{
    static_cast<SeatInput*>(data)->anchor.leave();
}

void SeatInput::onMotion(void* data, wl_pointer*, uint32_t, wl_fixed_t x, wl_fixed_t y)
{
    auto* self = static_cast<SeatInput*>(data);
    if (self->anchor.movedFarFrom(pixel(x), pixel(y)))
        self->endingInput = true;
}

void SeatInput::onButton(void* data, wl_pointer*, uint32_t, uint32_t, uint32_t, uint32_t state)
{
    if (state == WL_POINTER_BUTTON_STATE_PRESSED)
        static_cast<SeatInput*>(data)->endingInput = true;
}

void SeatInput::onTouchDown(void* data, wl_touch*, uint32_t, uint32_t, wl_surface*, int32_t, wl_fixed_t, wl_fixed_t)
{
    static_cast<SeatInput*>(data)->endingInput = true;
}
