#include "host/gnome/mutter_idle_monitor.h"

#include <systemd/sd-bus.h>

#include <cstring>

#include "host/posix/monotonic_clock.h"

namespace {

constexpr const char* monitorName = "org.gnome.Mutter.IdleMonitor";
constexpr const char* monitorPath = "/org/gnome/Mutter/IdleMonitor/Core";
constexpr const char* monitorInterface = "org.gnome.Mutter.IdleMonitor";

std::string busError(const char* what, int negativeErrno, const sd_bus_error* reply = nullptr)
{
    std::string message = what;
    if (reply != nullptr && sd_bus_error_is_set(reply))
        return message + ": " + (reply->message != nullptr ? reply->message : reply->name);
    return message + ": " + std::strerror(-negativeErrno);
}

class MutterIdleMonitor : public IdleSource {
public:
    ~MutterIdleMonitor() override
    {
        sd_bus_slot_unref(ownerSlot);
        sd_bus_slot_unref(firedSlot);
        sd_bus_slot_unref(disconnectedSlot);
        sd_bus_flush_close_unref(bus);
    }

    bool open(std::uint32_t milliseconds, std::string& error)
    {
        int result = sd_bus_open_user(&bus);
        if (result < 0) {
            error = busError("cannot connect to the session bus", result);
            return false;
        }
        // Matches first, so that nothing said after the watch is missed.
        // Only the monitor's name: the bus tells every other name's changes
        // to those who ask, and they would wake the watcher for nothing.
        result = sd_bus_add_match(bus, &ownerSlot,
                                  "type='signal',sender='org.freedesktop.DBus',path='/org/freedesktop/DBus',"
                                  "interface='org.freedesktop.DBus',member='NameOwnerChanged',"
                                  "arg0='org.gnome.Mutter.IdleMonitor'",
                                  onOwnerChanged, this);
        if (result >= 0)
            result = sd_bus_match_signal(bus, &firedSlot, nullptr, monitorPath, monitorInterface, "WatchFired",
                                         onWatchFired, this);
        if (result >= 0)
            result = sd_bus_match_signal(bus, &disconnectedSlot, nullptr, "/org/freedesktop/DBus/Local",
                                         "org.freedesktop.DBus.Local", "Disconnected", onDisconnected, this);
        if (result < 0) {
            error = busError("cannot listen on the session bus", result);
            return false;
        }

        sd_bus_error reply = SD_BUS_ERROR_NULL;
        sd_bus_message* answer = nullptr;
        result = sd_bus_call_method(bus, monitorName, monitorPath, monitorInterface, "AddIdleWatch", &reply,
                                    &answer, "t", std::uint64_t(milliseconds));
        if (result >= 0)
            result = sd_bus_message_read(answer, "u", &watchId);
        sd_bus_message_unref(answer);
        if (result < 0) {
            if (sd_bus_error_has_name(&reply, SD_BUS_ERROR_SERVICE_UNKNOWN) ||
                sd_bus_error_has_name(&reply, SD_BUS_ERROR_NAME_HAS_NO_OWNER))
                error = std::string("no idle monitor (") + monitorName + ") on the session bus";
            else
                error = busError("the session bus's idle monitor refused the idle watch", result, &reply);
            sd_bus_error_free(&reply);
            return false;
        }
        return true;
    }

    const char* name() const override { return "org.gnome.Mutter.IdleMonitor"; }

    bool prepareWait(pollfd& wait, int& timeoutMilliseconds, std::string& error) override
    {
        if (!processAll(error))
            return false;
        const int events = sd_bus_get_events(bus);
        if (events < 0) {
            error = busError("the session bus went away", events);
            return false;
        }
        wait = {sd_bus_get_fd(bus), short(events), 0};
        timeoutMilliseconds = -1;
        std::uint64_t until = 0;
        if (sd_bus_get_timeout(bus, &until) >= 0 && until != UINT64_MAX) {
            const std::uint64_t nowMicroseconds = std::uint64_t(monotonicMicroseconds());
            timeoutMilliseconds = until <= nowMicroseconds ? 0 : int((until - nowMicroseconds + 999) / 1000);
        }
        if (!pending.empty())
            timeoutMilliseconds = 0;
        return true;
    }

    bool finishWait(short, std::vector<IdleEvent>& heard, std::string& error) override
    {
        if (!processAll(error))
            return false;
        heard.insert(heard.end(), pending.begin(), pending.end());
        pending.clear();
        return true;
    }

private:
    // Reads and dispatches until nothing is left, as sd-bus asks.
    bool processAll(std::string& error)
    {
        for (;;) {
            const int result = sd_bus_process(bus, nullptr);
            if (!lost.empty()) {
                error = lost;
                return false;
            }
            if (result < 0) {
                error = busError("the session bus went away", result);
                return false;
            }
            if (result == 0)
                return true;
        }
    }

    static int onWatchFired(sd_bus_message* message, void* data, sd_bus_error*)
    {
        auto* self = static_cast<MutterIdleMonitor*>(data);
        std::uint32_t id = 0;
        if (sd_bus_message_read(message, "u", &id) >= 0 && id == self->watchId)
            self->pending.push_back(IdleEvent::idle);
        return 0;
    }

    static int onOwnerChanged(sd_bus_message* message, void* data, sd_bus_error*)
    {
        auto* self = static_cast<MutterIdleMonitor*>(data);
        const char* name = nullptr;
        const char* oldOwner = nullptr;
        const char* newOwner = nullptr;
        // A new owner holds none of this watcher's watches either.
        if (sd_bus_message_read(message, "sss", &name, &oldOwner, &newOwner) >= 0 &&
            std::strcmp(name, monitorName) == 0)
            self->lost = std::string("the idle monitor (") + monitorName + ") left the session bus";
        return 0;
    }

    static int onDisconnected(sd_bus_message*, void* data, sd_bus_error*)
    {
        static_cast<MutterIdleMonitor*>(data)->lost = "the session bus went away";
        return 0;
    }

    sd_bus* bus = nullptr;
    sd_bus_slot* ownerSlot = nullptr;
    sd_bus_slot* firedSlot = nullptr;
    sd_bus_slot* disconnectedSlot = nullptr;
    std::uint32_t watchId = 0;
    std::vector<IdleEvent> pending;
    std::string lost;
};

}  // namespace

std::unique_ptr<IdleSource> openMutterIdleMonitor(std::uint32_t milliseconds, std::string& error)
{
    auto monitor = std::make_unique<MutterIdleMonitor>();
    if (!monitor->open(milliseconds, error))
        return nullptr;
    return monitor;
}
