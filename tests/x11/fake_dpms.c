/* A preload library that stands in for the display's power control, which
 * neither Xvfb nor Xorg's dummy driver offers: the DPMS extension answers as
 * present and capable, and the display's power level is whatever the file
 * named by FLOWBALL_FAKE_DPMS_FILE says at the moment the program asks.
 *
 * The file holds a level ("on", "standby", "suspend" or "off"), optionally
 * followed by "disabled" for a server whose power saving is turned off. It is
 * read on every query, so a test changes the display's power by rewriting it.
 * A file that cannot be read, or a level it does not know, makes the query
 * fail, as a server that does not answer would.
 */
#include <X11/Xlib.h>
#include <X11/extensions/dpms.h>
#include <fcntl.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

Bool DPMSQueryExtension(Display* display, int* eventBase, int* errorBase)
{
    (void)display;
    *eventBase = 0;
    *errorBase = 0;
    return True;
}

Bool DPMSCapable(Display* display)
{
    (void)display;
    return True;
}

static const struct {
    const char* name;
    CARD16 level;
} levels[] = {
    {"on", DPMSModeOn},
    {"standby", DPMSModeStandby},
    {"suspend", DPMSModeSuspend},
    {"off", DPMSModeOff},
};

Status DPMSInfo(Display* display, CARD16* powerLevel, BOOL* state)
{
    (void)display;
    const char* path = getenv("FLOWBALL_FAKE_DPMS_FILE");
    if (path == NULL)
        return 0;
    int file = open(path, O_RDONLY | O_CLOEXEC);
    if (file < 0)
        return 0;
    char text[64];
    ssize_t length = read(file, text, sizeof text - 1);
    close(file);
    if (length <= 0)
        return 0;
    text[length] = '\0';
    const char* word = strtok(text, " \t\n");
    if (word == NULL)
        return 0;
    for (size_t i = 0; i < sizeof levels / sizeof levels[0]; ++i) {
        if (strcmp(word, levels[i].name) == 0) {
            const char* rest = strtok(NULL, " \t\n");
            *powerLevel = levels[i].level;
            *state = rest != NULL && strcmp(rest, "disabled") == 0 ? False : True;
            return 1;
        }
    }
    return 0;
}
