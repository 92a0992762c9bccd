/* The yardstick for flowball on X11: a GLX window of the same size that
 * clears and draws one triangle per frame, and sleeps until the next frame
 * is due on a fixed period.
 *
 *   minimal-glx PERIOD_MICROSECONDS
 *
 * Runs until a signal ends it. Draws only while the window is mapped.
 */
#define _GNU_SOURCE
#include <GL/gl.h>
#include <GL/glx.h>
#include <X11/Xlib.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>

static void addMicroseconds(struct timespec* time, long microseconds)
{
    time->tv_nsec += microseconds * 1000;
    while (time->tv_nsec >= 1000000000) {
        time->tv_nsec -= 1000000000;
        ++time->tv_sec;
    }
}

int main(int argc, char** argv)
{
    const long period = argc > 1 ? atol(argv[1]) : 5000;
    Display* display = XOpenDisplay(NULL);
    if (display == NULL || period <= 0) {
        fprintf(stderr, "minimal-glx: no display, or a bad period\n");
        return 1;
    }
    int attributes[] = {GLX_RGBA, GLX_DOUBLEBUFFER, GLX_RED_SIZE, 8, GLX_GREEN_SIZE, 8, GLX_BLUE_SIZE, 8,
                        GLX_DEPTH_SIZE, 16, None};
    const int screen = DefaultScreen(display);
    XVisualInfo* visual = glXChooseVisual(display, screen, attributes);
    if (visual == NULL)
        return 1;
    const Window root = RootWindow(display, screen);
    XSetWindowAttributes windowAttributes = {0};
    windowAttributes.colormap = XCreateColormap(display, root, visual->visual, AllocNone);
    const int width = DisplayWidth(display, screen);
    const int height = DisplayHeight(display, screen);
    const Window window = XCreateWindow(display, root, 0, 0, width, height, 0, visual->depth, InputOutput,
                                        visual->visual, CWColormap, &windowAttributes);
    XMapWindow(display, window);
    GLXContext context = glXCreateContext(display, visual, NULL, True);
    glXMakeCurrent(display, window, context);
    glViewport(0, 0, width, height);

    struct timespec due;
    clock_gettime(CLOCK_MONOTONIC, &due);
    for (float angle = 0.0f;; angle += 1.0f) {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
        }
        glClearColor(0.0f, 0.0f, 0.2f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glLoadIdentity();
        glRotatef(angle, 0.0f, 0.0f, 1.0f);
        glBegin(GL_TRIANGLES);
        glColor3f(1.0f, 0.5f, 0.0f);
        glVertex2f(-0.5f, -0.5f);
        glVertex2f(0.5f, -0.5f);
        glVertex2f(0.0f, 0.5f);
        glEnd();
        glXSwapBuffers(display, window);
        addMicroseconds(&due, period);
        struct timespec now;
        clock_gettime(CLOCK_MONOTONIC, &now);
        if (now.tv_sec > due.tv_sec + 1)
            due = now;
        clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &due, NULL);
    }
}
