/* An application that keeps a GNOME session from idling, as a video player
 * does there: GNOME's compositor reads the session manager's inhibitors
 * (org.gnome.SessionManager, property InhibitedActions, bit 8 for idle) and
 * holds its idle watches while idle is inhibited. A test's session bus has
 * no session manager, so this stands in for one: it owns the name, answers
 * InhibitedActions with idle inhibited, prints "ready", and on a line
 * "uninhibit" clears the bit and says so (PropertiesChanged). It ends at
 * the end of its input.
 *
 *   session-inhibitor < commands
 */
#include <poll.h>
#include <stdint.h>
#include <stdio.h>
#include <string.h>
#include <unistd.h>

#include <systemd/sd-bus.h>

#define MANAGER_NAME "org.gnome.SessionManager"
#define MANAGER_PATH "/org/gnome/SessionManager"
/* GSM_INHIBITOR_FLAG_IDLE of the session manager's interface. */
#define INHIBIT_IDLE 8u

static uint32_t inhibited_actions = INHIBIT_IDLE;

static int get_inhibited_actions(sd_bus *bus, const char *path, const char *interface, const char *property,
                                 sd_bus_message *reply, void *data, sd_bus_error *error)
{
    (void)bus;
    (void)path;
    (void)interface;
    (void)property;
    (void)data;
    (void)error;
    return sd_bus_message_append(reply, "u", inhibited_actions);
}

static const sd_bus_vtable manager_vtable[] = {
    SD_BUS_VTABLE_START(0),
    SD_BUS_PROPERTY("InhibitedActions", "u", get_inhibited_actions, 0, SD_BUS_VTABLE_PROPERTY_EMITS_CHANGE),
    SD_BUS_VTABLE_END,
};

static int process_all(sd_bus *bus)
{
    int result;
    while ((result = sd_bus_process(bus, NULL)) > 0) {
    }
    return result;
}

int main(void)
{
    sd_bus *bus = NULL;
    if (sd_bus_open_user(&bus) < 0) {
        fprintf(stderr, "session-inhibitor: no session bus\n");
        return 1;
    }
    if (sd_bus_add_object_vtable(bus, NULL, MANAGER_PATH, MANAGER_NAME, manager_vtable, NULL) < 0 ||
        sd_bus_request_name(bus, MANAGER_NAME, 0) < 0) {
        fprintf(stderr, "session-inhibitor: cannot stand in for " MANAGER_NAME "\n");
        return 1;
    }
    printf("ready\n");
    fflush(stdout);

    char line[256];
    size_t filled = 0;
    for (;;) {
        if (process_all(bus) < 0)
            return 1;
        struct pollfd waits[2] = {{sd_bus_get_fd(bus), (short)sd_bus_get_events(bus), 0}, {STDIN_FILENO, POLLIN, 0}};
        if (poll(waits, 2, -1) < 0)
            continue;
        if (waits[1].revents == 0)
            continue;
        const ssize_t count = read(STDIN_FILENO, line + filled, sizeof line - 1 - filled);
        if (count <= 0)
            break;
        filled += (size_t)count;
        line[filled] = '\0';
        if (strchr(line, '\n') == NULL)
            continue;
        if (strncmp(line, "uninhibit\n", 10) == 0) {
            inhibited_actions &= ~INHIBIT_IDLE;
            sd_bus_emit_properties_changed(bus, MANAGER_PATH, MANAGER_NAME, "InhibitedActions", NULL);
            sd_bus_flush(bus);
            printf("ok\n");
            fflush(stdout);
        }
        filled = 0;
    }
    sd_bus_flush_close_unref(bus);
    return 0;
}
