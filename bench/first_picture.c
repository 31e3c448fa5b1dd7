// Times a program's start as a player sees it: launches it on the X display in $DISPLAY and
// reports, in milliseconds from the launch, when its first window was mapped and when that
// window first held a picture (more than a few colours, so a cleared or blank window does
// not count). The program is left running; its process id is printed, so that a script can
// go on measuring it. Every top-level window is watched through the DAMAGE extension from
// its creation, so no drawing falls between two looks.
//
//     first_picture [-t SECONDS] PROGRAM [ARGUMENT...]
//
// Prints one line: "pid P window W picture F" (W and F in milliseconds, with three decimals).
// Exit status 0 when a picture showed, 1 when the time-out (default 10 s) passed first or the
// program ended, 2 for a bad call or no display.
#define _POSIX_C_SOURCE 200809L
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xdamage.h>
#include <poll.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

enum { kMostWindows = 64, kFewestColours = 16, kSmallestSide = 64 };

typedef struct {
  Window window;
  Damage damage;
} Watched;

static Watched watched[kMostWindows];
static int watchedCount;

static double now(void) {
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return (double)t.tv_sec * 1e3 + (double)t.tv_nsec / 1e6;
}

// Windows come and go while we look at them: errors about them are expected.
static int ignoreErrors(Display* display, XErrorEvent* error) {
  (void)display;
  (void)error;
  return 0;
}

static void watch(Display* display, Window window) {
  if (watchedCount == kMostWindows) return;
  XWindowAttributes attributes;
  if (!XGetWindowAttributes(display, window, &attributes) || attributes.class != InputOutput) return;
  XSelectInput(display, window, StructureNotifyMask);
  watched[watchedCount].window = window;
  watched[watchedCount].damage = XDamageCreate(display, window, XDamageReportNonEmpty);
  ++watchedCount;
}

static int isViewable(Display* display, Window window) {
  XWindowAttributes attributes;
  return XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable;
}

// More than a handful of colours among every 4th pixel of every 4th row.
static int holdsPicture(Display* display, Window window) {
  XWindowAttributes attributes;
  if (!XGetWindowAttributes(display, window, &attributes) || attributes.map_state != IsViewable) return 0;
  if (attributes.width < kSmallestSide || attributes.height < kSmallestSide) return 0;
  XImage* image = XGetImage(display, window, 0, 0, (unsigned)attributes.width, (unsigned)attributes.height, AllPlanes,
                            ZPixmap);
  if (image == NULL) return 0;
  unsigned long seen[kFewestColours];
  int colours = 0;
  for (int y = 0; y < attributes.height && colours < kFewestColours; y += 4) {
    for (int x = 0; x < attributes.width && colours < kFewestColours; x += 4) {
      const unsigned long pixel = XGetPixel(image, x, y);
      int known = 0;
      for (int i = 0; i < colours && !known; ++i) known = seen[i] == pixel;
      if (!known) seen[colours++] = pixel;
    }
  }
  XDestroyImage(image);
  return colours == kFewestColours;
}

int main(int argc, char** argv) {
  double timeout = 10.0;
  int first = 1;
  if (argc > 2 && strcmp(argv[1], "-t") == 0) {
    timeout = atof(argv[2]);
    first = 3;
  }
  if (first >= argc) {
    fprintf(stderr, "usage: first_picture [-t SECONDS] PROGRAM [ARGUMENT...]\n");
    return 2;
  }
  Display* display = XOpenDisplay(NULL);
  int damageEvent = 0;
  int damageError = 0;
  int major = 1;
  int minor = 1;
  if (display == NULL || !XDamageQueryExtension(display, &damageEvent, &damageError) ||
      !XDamageQueryVersion(display, &major, &minor)) {
    fprintf(stderr, "first_picture: no X display with the DAMAGE extension\n");
    return 2;
  }
  XSetErrorHandler(ignoreErrors);
  const Window root = DefaultRootWindow(display);
  XSelectInput(display, root, SubstructureNotifyMask);
  XSync(display, False);

  const double launched = now();
  const pid_t child = fork();
  if (child == 0) {
    close(ConnectionNumber(display));
    execvp(argv[first], argv + first);
    _exit(127);
  }
  if (child < 0) return 2;

  double mapped = -1.0;
  double pictured = -1.0;
  struct pollfd connection = {ConnectionNumber(display), POLLIN, 0};
  while (pictured < 0) {
    if (now() - launched > timeout * 1e3 || waitpid(child, NULL, WNOHANG) == child) break;
    if (XPending(display) == 0) {
      poll(&connection, 1, 5);
      continue;
    }
    XEvent event;
    XNextEvent(display, &event);
    const double at = now();
    Window window = None;
    if (event.type == CreateNotify && event.xcreatewindow.parent == root && !event.xcreatewindow.override_redirect) {
      watch(display, event.xcreatewindow.window);
      // Mapped and drawn before we looked: seen now, and counted now.
      window = event.xcreatewindow.window;
      if (mapped < 0 && isViewable(display, window)) mapped = at;
    } else if (event.type == MapNotify) {
      window = event.xmap.window;
      for (int i = 0; i < watchedCount && mapped < 0; ++i) {
        if (watched[i].window == window) mapped = at;
      }
    } else if (event.type == damageEvent + XDamageNotify) {
      const XDamageNotifyEvent* damage = (const XDamageNotifyEvent*)&event;
      XDamageSubtract(display, damage->damage, None, None);
      window = damage->drawable;
    }
    for (int i = 0; i < watchedCount && window != None; ++i) {
      if (watched[i].window == window && holdsPicture(display, window)) {
        pictured = at;
        if (mapped < 0) mapped = at;
      }
    }
  }
  printf("pid %d window %.3f picture %.3f\n", (int)child, mapped < 0 ? -1.0 : mapped - launched,
         pictured < 0 ? -1.0 : pictured - launched);
  fflush(stdout);
  XCloseDisplay(display);
  return pictured < 0 ? 1 : 0;
}
