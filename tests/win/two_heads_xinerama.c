/* A stand-in for libXinerama.so.1 that reports two heads side by side,
 * (0,0 1024x768) and (1024,0 1024x768), on a 2048x768 X screen: Wine (without
 * XRandR) then shows its programs two monitors. Built for the host and put on
 * LD_LIBRARY_PATH by run_on_two_monitors only; it asks the X server nothing.
 * The types are those of Xlib and <X11/extensions/Xinerama.h>. */
#include <stdlib.h>

typedef struct _XDisplay Display;
typedef int Bool;
typedef int Status;

typedef struct {
    int screen_number;
    short x_org;
    short y_org;
    short width;
    short height;
} XineramaScreenInfo;

Bool XineramaQueryExtension(Display *display, int *event_base, int *error_base)
{
    (void)display;
    *event_base = 0;
    *error_base = 0;
    return 1;
}

Status XineramaQueryVersion(Display *display, int *major, int *minor)
{
    (void)display;
    *major = 1;
    *minor = 1;
    return 1;
}

Bool XineramaIsActive(Display *display)
{
    (void)display;
    return 1;
}

/* The caller frees the array with XFree, which is free. */
XineramaScreenInfo *XineramaQueryScreens(Display *display, int *number)
{
    XineramaScreenInfo *heads = malloc(2 * sizeof *heads);
    (void)display;
    if (heads == NULL) {
        *number = 0;
        return NULL;
    }
    heads[0] = (XineramaScreenInfo){0, 0, 0, 1024, 768};
    heads[1] = (XineramaScreenInfo){1, 1024, 0, 1024, 768};
    *number = 2;
    return heads;
}
