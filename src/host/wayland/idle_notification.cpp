#include "host/wayland/idle_notification.h"

#include <wayland-client.h>

#include <cerrno>
#include <cstring>

#include "ext-idle-notify-v1-client-protocol.h"
#include "host/wayland/compositor_address.h"
#include "host/wayland/event_read.h"
#include "kde-idle-client-protocol.h"

namespace {

// No event of the seat is needed: it only names whose input counts.
constexpr std::uint32_t seatVersion = 1;

class WaylandIdleSource : public IdleSource {
public:
    ~WaylandIdleSource() override
    {
        if (notification != nullptr)
            ext_idle_notification_v1_destroy(notification);
        if (kdeTimeout != nullptr)
            org_kde_kwin_idle_timeout_release(kdeTimeout);
        if (notifier != nullptr)
            ext_idle_notifier_v1_destroy(notifier);
        if (kdeIdle != nullptr)
            org_kde_kwin_idle_destroy(kdeIdle);
        if (seat != nullptr)
            wl_seat_destroy(seat);
        if (registry != nullptr)
            wl_registry_destroy(registry);
        if (display != nullptr)
            wl_display_disconnect(display);
    }

    WaylandIdleOpening open(std::uint32_t milliseconds, std::string& error)
    {
        if (!compositorNamed()) {
            error = "no Wayland compositor is named (WAYLAND_DISPLAY)";
            return WaylandIdleOpening::noDisplay;
        }
        // The watcher would take the handed-over connection for itself, and
        // every saver it starts needs one of its own.
        if (connectionHandedOver() && !compositorSocketNamed()) {
            error = "a Wayland connection handed over in WAYLAND_SOCKET serves one program, and the saver "
                    "started at each idle needs its own: name the compositor in WAYLAND_DISPLAY";
            return WaylandIdleOpening::failed;
        }
        display = wl_display_connect(nullptr);
        if (display == nullptr) {
            error = cannotConnectMessage(errno);
            return WaylandIdleOpening::failed;
        }
        registry = wl_display_get_registry(display);
        wl_registry_add_listener(registry, &registryListener, this);
        if (wl_display_roundtrip(display) < 0) {
            error = connectionError();
            return WaylandIdleOpening::failed;
        }
        if (notifier == nullptr && kdeIdle == nullptr) {
            error = "the Wayland compositor offers no idle protocol (ext-idle-notify-v1, org_kde_kwin_idle)";
            return WaylandIdleOpening::noIdleProtocol;
        }
        if (seat == nullptr) {
            error = "the Wayland compositor offers no seat, whose input idle is measured by";
            return WaylandIdleOpening::failed;
        }
        if (notifier != nullptr) {
            protocolName = "ext-idle-notify-v1";
            notification = ext_idle_notifier_v1_get_idle_notification(notifier, milliseconds, seat);
            ext_idle_notification_v1_add_listener(notification, &notificationListener, this);
        } else {
            protocolName = "org_kde_kwin_idle";
            kdeTimeout = org_kde_kwin_idle_get_idle_timeout(kdeIdle, seat, milliseconds);
            org_kde_kwin_idle_timeout_add_listener(kdeTimeout, &kdeTimeoutListener, this);
        }
        // A refusal shows as a protocol error now rather than at the first
        // wait.
        if (wl_display_roundtrip(display) < 0) {
            error = connectionError();
            return WaylandIdleOpening::failed;
        }
        return WaylandIdleOpening::opened;
    }

    const char* name() const override { return protocolName; }

    bool prepareWait(pollfd& wait, int& timeoutMilliseconds, std::string& error) override
    {
        wait = {wl_display_get_fd(display), 0, 0};
        if (!beginEventRead(display, wait.events)) {
            error = connectionError();
            return false;
        }
        // Events already queued are handled first, without waiting.
        timeoutMilliseconds = pending.empty() ? -1 : 0;
        return true;
    }

    bool finishWait(short returnedEvents, std::vector<IdleEvent>& heard, std::string& error) override
    {
        if (!endEventRead(display, returnedEvents)) {
            error = connectionError();
            return false;
        }
        heard.insert(heard.end(), pending.begin(), pending.end());
        pending.clear();
        return true;
    }

private:
    std::string connectionError() const { return connectionFault(display); }

    static void onGlobal(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
                         std::uint32_t)
    {
        auto* self = static_cast<WaylandIdleSource*>(data);
        if (std::strcmp(interface, wl_seat_interface.name) == 0 && self->seat == nullptr)
            self->seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, seatVersion));
        else if (std::strcmp(interface, ext_idle_notifier_v1_interface.name) == 0 && self->notifier == nullptr)
            self->notifier = static_cast<ext_idle_notifier_v1*>(
                wl_registry_bind(registry, name, &ext_idle_notifier_v1_interface, 1));
        else if (std::strcmp(interface, org_kde_kwin_idle_interface.name) == 0 && self->kdeIdle == nullptr)
            self->kdeIdle = static_cast<org_kde_kwin_idle*>(
                wl_registry_bind(registry, name, &org_kde_kwin_idle_interface, 1));
    }
    static void onGlobalRemove(void*, wl_registry*, std::uint32_t) {}

    static void onIdle(void* data) { static_cast<WaylandIdleSource*>(data)->pending.push_back(IdleEvent::idle); }
    static void onResumed(void* data)
    {
        static_cast<WaylandIdleSource*>(data)->pending.push_back(IdleEvent::resumed);
    }
    static void onNotificationIdled(void* data, ext_idle_notification_v1*) { onIdle(data); }
    static void onNotificationResumed(void* data, ext_idle_notification_v1*) { onResumed(data); }
    static void onKdeIdle(void* data, org_kde_kwin_idle_timeout*) { onIdle(data); }
    static void onKdeResumed(void* data, org_kde_kwin_idle_timeout*) { onResumed(data); }

    static constexpr wl_registry_listener registryListener = {onGlobal, onGlobalRemove};
    static constexpr ext_idle_notification_v1_listener notificationListener = {onNotificationIdled,
                                                                               onNotificationResumed};
    static constexpr org_kde_kwin_idle_timeout_listener kdeTimeoutListener = {onKdeIdle, onKdeResumed};

    wl_display* display = nullptr;
    wl_registry* registry = nullptr;
    wl_seat* seat = nullptr;
    ext_idle_notifier_v1* notifier = nullptr;
    org_kde_kwin_idle* kdeIdle = nullptr;
    ext_idle_notification_v1* notification = nullptr;
    org_kde_kwin_idle_timeout* kdeTimeout = nullptr;
    const char* protocolName = "";
    std::vector<IdleEvent> pending;
};

}  // namespace

std::unique_ptr<IdleSource> openWaylandIdleSource(std::uint32_t milliseconds, WaylandIdleOpening& outcome,
                                                  std::string& error)
{
    auto source = std::make_unique<WaylandIdleSource>();
    outcome = source->open(milliseconds, error);
    if (outcome != WaylandIdleOpening::opened)
        return nullptr;
    return source;
}
