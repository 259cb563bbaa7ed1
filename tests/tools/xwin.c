/* Small X11 helper for the end-to-end tests and the start-up benchmark, over
 * one connection opened before anything else starts (Xvfb may refuse a
 * connection opened at the same moment as another client's):
 *   xwin spawn TITLE TIMEOUT_MS PROGRAM [ARGS...]
 *                                      start PROGRAM, print "PID", then "WINDOW MS"
 *                                      once its viewable window named TITLE is
 *                                      mapped (10 ms polls; MS since exec), then
 *                                      wait for it, print "END MAXRSS_KB", then
 *                                      "EXEC NS" (wall clock of the exec, ns since
 *                                      the epoch) and exit with its status
 *   xwin spawnkey KEYSYM TITLE TIMEOUT_MS PROGRAM [ARGS...]
 *                                      the same, sending the key (press and
 *                                      release) to the window as soon as it is
 *                                      mapped, before printing "WINDOW MS"
 *   xwin wait PID TITLE [TIMEOUT_MS]   print the id of PID's viewable window
 *                                      named TITLE once it is mapped (10 ms polls)
 * Each poll comes early when a window is created, mapped or reparented, so
 * that a window mapped on a bare display is seen at once.
 *   xwin bind TEXT                     bind each character of TEXT outside the keymap
 *                                      to a spare key, print "CHARACTER KEYCODE" for
 *                                      each, then "ready", and hold the binding until
 *                                      killed (the server resets its keymap when its
 *                                      last client leaves)
 *   xwin close WINDOW                  ask the window to close, as its close box does
 *   xwin geometry WINDOW               print x y width height of its outer frame
 */
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

static Display *dpy;
static Atom netWmPid, netWmName, utf8;

static int ignoreErrors(Display *d, XErrorEvent *e) { (void)d; (void)e; return 0; }

static long cardinal(Window w, Atom prop)
{
    Atom type; int format; unsigned long n, after; unsigned char *data = NULL; long v = -1;
    if (XGetWindowProperty(dpy, w, prop, 0, 1, False, XA_CARDINAL, &type, &format, &n, &after, &data) == Success
        && data && n == 1)
        v = (long)*(unsigned long *)data;
    if (data) XFree(data);
    return v;
}

static int named(Window w, const char *title)
{
    Atom type; int format; unsigned long n, after; unsigned char *data = NULL; int same = 0;
    if (XGetWindowProperty(dpy, w, netWmName, 0, 4096, False, utf8, &type, &format, &n, &after, &data) == Success
        && data)
        same = strcmp((const char *)data, title) == 0;
    if (data) XFree(data);
    return same;
}

static Window find(Window w, long pid, const char *title)
{
    XWindowAttributes a;
    if (XGetWindowAttributes(dpy, w, &a) && a.map_state == IsViewable && cardinal(w, netWmPid) == pid && named(w, title))
        return w;
    Window root, parent, *kids = NULL; unsigned int n = 0; Window found = 0;
    if (XQueryTree(dpy, w, &root, &parent, &kids, &n)) {
        for (unsigned int i = 0; i < n && !found; ++i)
            found = find(kids[i], pid, title);
        if (kids) XFree(kids);
    }
    return found;
}

static long nowMs(void)
{
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1000L + t.tv_nsec / 1000000L;
}

static Window waitFor(long pid, const char *title, long timeout)
{
    XSelectInput(dpy, DefaultRootWindow(dpy), SubstructureNotifyMask);
    XFlush(dpy);
    long start = nowMs();
    do {
        Window w = find(DefaultRootWindow(dpy), pid, title);
        if (w) return w;
        struct pollfd fd = {ConnectionNumber(dpy), POLLIN, 0};
        if (!XPending(dpy))
            poll(&fd, 1, 10);
        while (XPending(dpy)) {
            XEvent e;
            XNextEvent(dpy, &e);
        }
    } while (nowMs() - start <= timeout);
    return 0;
}

/* This Xvfb now and then refuses a connection while another client comes or
 * goes; a short wait lets it through. */
static Display *openDisplay(void)
{
    struct timespec pause = {0, 20 * 1000 * 1000};
    for (int attempt = 0; attempt < 50; ++attempt) {
        Display *d = XOpenDisplay(NULL);
        if (d) return d;
        nanosleep(&pause, NULL);
    }
    return NULL;
}

/* Decodes one UTF-8 character at *s (valid input assumed: the tests' own
 * text), advancing *s past it. */
static unsigned long nextCodePoint(const char **s)
{
    const unsigned char *p = (const unsigned char *)*s;
    int extra = p[0] >= 0xF0 ? 3 : p[0] >= 0xE0 ? 2 : p[0] >= 0xC0 ? 1 : 0;
    unsigned long c = extra ? p[0] & (0x3F >> extra) : p[0];
    for (int i = 1; i <= extra && p[i]; ++i) c = (c << 6) | (p[i] & 0x3F);
    *s += 1 + extra;
    return c;
}

/* xdotool types a character the keymap lacks by binding a spare key for an
 * instant; a program that reads the keymap after it was put back loses the
 * character. Bound here for the whole run, each is one key press away. */
static int bindCharacters(const char *text)
{
    int min, max, per;
    XDisplayKeycodes(dpy, &min, &max);
    KeySym *map = XGetKeyboardMapping(dpy, min, max - min + 1, &per);
    while (*text) {
        const char *start = text;
        unsigned long c = nextCodePoint(&text);
        if (c < 0x80) continue;
        KeySym sym = c <= 0xFF ? c : 0x1000000 | c;
        KeyCode code = XKeysymToKeycode(dpy, sym);
        for (int k = max; !code && k >= min; --k) {
            int empty = 1;
            for (int j = 0; j < per; ++j) empty &= map[(k - min) * per + j] == NoSymbol;
            if (!empty) continue;
            KeySym both[2] = {sym, sym};
            XChangeKeyboardMapping(dpy, k, 2, both, 1);
            map[(k - min) * per] = sym;
            code = k;
        }
        if (!code) return 1;
        printf("%.*s %d\n", (int)(text - start), start, code);
    }
    XFree(map);
    XSync(dpy, False);
    printf("ready\n");
    fflush(stdout);
    for (;;) pause();
}

int main(int argc, char **argv)
{
    if (argc < 3 || !(dpy = openDisplay())) {
        fprintf(stderr, "usage: xwin wait PID TITLE [TIMEOUT_MS] | close WINDOW | geometry WINDOW\n");
        return 2;
    }
    XSetErrorHandler(ignoreErrors);
    netWmPid = XInternAtom(dpy, "_NET_WM_PID", False);
    netWmName = XInternAtom(dpy, "_NET_WM_NAME", False);
    utf8 = XInternAtom(dpy, "UTF8_STRING", False);
    KeySym keyAtMap = NoSymbol;
    if (!strcmp(argv[1], "spawnkey") && argc >= 6) {
        keyAtMap = XStringToKeysym(argv[2]);
        if (keyAtMap == NoSymbol) return 2;
        argv[2] = (char *)"spawn";
        ++argv; --argc;
    }
    if (!strcmp(argv[1], "spawn") && argc >= 5) {
        XSync(dpy, False);
        long started = nowMs();
        struct timespec wall;
        clock_gettime(CLOCK_REALTIME, &wall);
        pid_t child = fork();
        if (child == 0) {
            close(ConnectionNumber(dpy));
            execvp(argv[4], argv + 4);
            _exit(127);
        }
        printf("%ld\n", (long)child);
        fflush(stdout);
        Window w = waitFor(child, argv[2], atol(argv[3]));
        long mapped = nowMs() - started;
        if (w && keyAtMap != NoSymbol) {
            XEvent e; memset(&e, 0, sizeof e);
            e.xkey.type = KeyPress;
            e.xkey.display = dpy;
            e.xkey.window = w;
            e.xkey.root = DefaultRootWindow(dpy);
            e.xkey.time = CurrentTime;
            e.xkey.same_screen = True;
            e.xkey.keycode = XKeysymToKeycode(dpy, keyAtMap);
            XSendEvent(dpy, w, True, KeyPressMask, &e);
            e.xkey.type = KeyRelease;
            XSendEvent(dpy, w, True, KeyReleaseMask, &e);
            XFlush(dpy);
        }
        if (w) printf("%lu %ld\n", w, mapped);
        else printf("0 -1\n");
        fflush(stdout);
        int status = 0;
        struct rusage usage;
        memset(&usage, 0, sizeof usage);
        wait4(child, &status, 0, &usage);
        printf("END %ld\n", usage.ru_maxrss);
        printf("EXEC %lld\n", (long long)wall.tv_sec * 1000000000LL + wall.tv_nsec);
        fflush(stdout);
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    if (!strcmp(argv[1], "wait") && argc >= 4) {
        Window w = waitFor(atol(argv[2]), argv[3], argc > 4 ? atol(argv[4]) : 10000);
        if (w) { printf("%lu\n", w); return 0; }
        return 1;
    }
    if (!strcmp(argv[1], "bind")) return bindCharacters(argv[2]);
    Window w = (Window)strtoul(argv[2], NULL, 0);
    if (!strcmp(argv[1], "close")) {
        XEvent e; memset(&e, 0, sizeof e);
        e.xclient.type = ClientMessage;
        e.xclient.window = w;
        e.xclient.message_type = XInternAtom(dpy, "WM_PROTOCOLS", False);
        e.xclient.format = 32;
        e.xclient.data.l[0] = (long)XInternAtom(dpy, "WM_DELETE_WINDOW", False);
        e.xclient.data.l[1] = CurrentTime;
        XSendEvent(dpy, w, False, NoEventMask, &e);
        XSync(dpy, False);
        return 0;
    }
    if (!strcmp(argv[1], "geometry")) {
        Window child; int x, y; XWindowAttributes a;
        if (!XGetWindowAttributes(dpy, w, &a)) return 1;
        XTranslateCoordinates(dpy, w, a.root, 0, 0, &x, &y, &child);
        printf("%d %d %d %d\n", x, y, a.width, a.height);
        return 0;
    }
    return 2;
}
