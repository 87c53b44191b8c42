/* Input and paint watcher for bench/side-by-side, on one X display.
 *
 *   probe key COMBO            press and release a key, e.g. ctrl+t, Return
 *   probe type TEXT            type ASCII text
 *   probe click X Y            click the left button at a screen point
 *   probe shot FILE.png        a screenshot, for finding where things are
 *   probe geometry             "x y w h" of the largest mapped top-level window
 *   probe watch [--key COMBO | --click X,Y] [--rect X,Y,W,H] [--quiet MS] [--min MS] [--timeout MS]
 *               [--wait-change 1]
 *
 * watch reads the whole screen through shared memory every couple of
 * milliseconds. It sends the key or click (if any) once it has the first
 * frame, then runs until the rectangle (the whole screen by default) has not
 * changed for --quiet ms and at least --min ms have passed (with
 * --wait-change, not before it has changed at all). Its last line
 * holds monotonic clock readings in seconds (the clock the driver reads too):
 *   start          when the input was sent (or watching began)
 *   screen_first   the first change anywhere on screen (a window appearing)
 *   rect_first     the first and last change inside the rectangle
 *   rect_last
 *   painted        the first frame that shows the rectangle as it ends up
 *                  (see paintedTime)
 * A change that never happened is printed as 0. */
#define _GNU_SOURCE
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <X11/extensions/XTest.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <time.h>
#include <unistd.h>
#include <zlib.h>

static double now(void) {
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec + ts.tv_nsec / 1e9;
}

static Display* dpy;

static KeyCode keycodeFor(KeySym sym, int* shifted) {
    KeyCode code = XKeysymToKeycode(dpy, sym);
    *shifted = code && XkbKeycodeToKeysym(dpy, code, 0, 0) != sym && XkbKeycodeToKeysym(dpy, code, 0, 1) == sym;
    return code;
}

static void tapKeysym(KeySym sym, int extraShift) {
    int shifted = 0;
    KeyCode code = keycodeFor(sym, &shifted);
    if (!code) {
        fprintf(stderr, "probe: no key for keysym %lu\n", (unsigned long)sym);
        exit(2);
    }
    KeyCode shift = XKeysymToKeycode(dpy, XK_Shift_L);
    if (shifted && !extraShift) XTestFakeKeyEvent(dpy, shift, True, 0);
    XTestFakeKeyEvent(dpy, code, True, 0);
    XTestFakeKeyEvent(dpy, code, False, 0);
    if (shifted && !extraShift) XTestFakeKeyEvent(dpy, shift, False, 0);
}

/* "ctrl+shift+t": modifiers pressed around the last part's keysym. */
static void pressCombo(const char* combo) {
    char buffer[256];
    snprintf(buffer, sizeof buffer, "%s", combo);
    KeyCode held[8];
    int heldCount = 0, shift = 0;
    char* parts[16];
    int count = 0;
    for (char* part = strtok(buffer, "+"); part && count < 16; part = strtok(NULL, "+")) parts[count++] = part;
    for (int i = 0; i + 1 < count; ++i) {
        KeySym mod = !strcmp(parts[i], "ctrl") ? XK_Control_L
                     : !strcmp(parts[i], "shift") ? XK_Shift_L
                     : !strcmp(parts[i], "alt") ? XK_Alt_L
                                                 : NoSymbol;
        if (mod == NoSymbol) {
            fprintf(stderr, "probe: unknown modifier %s\n", parts[i]);
            exit(2);
        }
        shift |= mod == XK_Shift_L;
        held[heldCount] = XKeysymToKeycode(dpy, mod);
        XTestFakeKeyEvent(dpy, held[heldCount++], True, 0);
    }
    KeySym sym = XStringToKeysym(parts[count - 1]);
    if (sym == NoSymbol && strlen(parts[count - 1]) == 1) sym = (unsigned char)parts[count - 1][0];
    tapKeysym(sym, shift);
    while (heldCount > 0) XTestFakeKeyEvent(dpy, held[--heldCount], False, 0);
    XSync(dpy, False);
}

static void typeText(const char* text) {
    for (const char* c = text; *c; ++c) {
        tapKeysym((unsigned char)*c, 0);
        XSync(dpy, False);
    }
}

static void click(int x, int y) {
    XTestFakeMotionEvent(dpy, -1, x, y, 0);
    XTestFakeButtonEvent(dpy, 1, True, 0);
    XTestFakeButtonEvent(dpy, 1, False, 0);
    XSync(dpy, False);
}

/* The largest mapped child of the root: the browser's main window. */
static int largestWindow(int* x, int* y, int* w, int* h) {
    Window root = DefaultRootWindow(dpy), parent, *children = NULL;
    unsigned int count = 0;
    long best = 0;
    if (!XQueryTree(dpy, root, &root, &parent, &children, &count)) return 0;
    for (unsigned int i = 0; i < count; ++i) {
        XWindowAttributes a;
        if (!XGetWindowAttributes(dpy, children[i], &a) || a.map_state != IsViewable) continue;
        if (a.width < 300 || a.height < 300 || (long)a.width * a.height <= best) continue;
        best = (long)a.width * a.height;
        *x = a.x, *y = a.y, *w = a.width, *h = a.height;
    }
    if (children) XFree(children);
    return best > 0;
}

static uint64_t hashRect(XImage* image, int x0, int y0, int x1, int y1) {
    uint64_t hash = 1469598103934665603ull;
    for (int y = y0; y < y1; ++y) {
        const uint64_t* row = (const uint64_t*)(image->data + (size_t)y * image->bytes_per_line + (size_t)x0 * 4);
        for (int x = 0; x < (x1 - x0) / 2; ++x) hash = (hash ^ row[x]) * 1099511628211ull;
    }
    return hash;
}

/* Every distinct picture of the watched rectangle, sampled at every second
 * pixel both ways, with the time it first showed. */
enum { maxFrames = 240 };
typedef struct {
    double time;
    uint32_t* pixels;
} Frame;

static void sample(XImage* image, int x0, int y0, int x1, int y1, uint32_t* out) {
    for (int y = y0; y < y1; y += 2) {
        const uint32_t* row = (const uint32_t*)(image->data + (size_t)y * image->bytes_per_line);
        for (int x = x0; x < x1; x += 2) *out++ = row[x] & 0xffffff;
    }
}

/* The first frame that shows the final picture: of the pixels the final
 * frame changed from the first one, at least 98% already as they end up.
 * A frame that only moved a scroll bar or a caret counts as painted; one
 * that shows the page's background without its content does not. */
static double paintedTime(Frame* frames, int count, size_t samples) {
    const uint32_t* first = frames[0].pixels;
    const uint32_t* last = frames[count - 1].pixels;
    size_t changed = 0;
    for (size_t i = 0; i < samples; ++i) changed += first[i] != last[i];
    if (!changed) return 0;
    for (int f = 1; f < count; ++f) {
        size_t matching = 0;
        for (size_t i = 0; i < samples; ++i) matching += first[i] != last[i] && frames[f].pixels[i] == last[i];
        if (matching * 100 >= changed * 98) return frames[f].time;
    }
    return frames[count - 1].time;
}

static int watch(int argc, char** argv) {
    const char* key = NULL;
    int clickX = -1, clickY = -1, rx = 0, ry = 0, rw = 0, rh = 0;
    double quiet = 0.6, minimum = 0, timeout = 60;
    int waitChange = 0;
    for (int i = 0; i + 1 < argc; i += 2) {
        if (!strcmp(argv[i], "--key")) key = argv[i + 1];
        else if (!strcmp(argv[i], "--click")) sscanf(argv[i + 1], "%d,%d", &clickX, &clickY);
        else if (!strcmp(argv[i], "--rect")) sscanf(argv[i + 1], "%d,%d,%d,%d", &rx, &ry, &rw, &rh);
        else if (!strcmp(argv[i], "--quiet")) quiet = atof(argv[i + 1]) / 1000;
        else if (!strcmp(argv[i], "--min")) minimum = atof(argv[i + 1]) / 1000;
        else if (!strcmp(argv[i], "--timeout")) timeout = atof(argv[i + 1]) / 1000;
        else if (!strcmp(argv[i], "--wait-change")) waitChange = atoi(argv[i + 1]);
    }
    int screen = DefaultScreen(dpy);
    int width = DisplayWidth(dpy, screen), height = DisplayHeight(dpy, screen);
    if (rw <= 0 || rh <= 0 || rx < 0 || ry < 0 || rx + rw > width || ry + rh > height) rx = 0, ry = 0, rw = width, rh = height;
    XShmSegmentInfo shm;
    XImage* image = XShmCreateImage(dpy, DefaultVisual(dpy, screen), DefaultDepth(dpy, screen), ZPixmap, NULL, &shm,
                                    width, height);
    if (!image || image->bits_per_pixel != 32) {
        fprintf(stderr, "probe: needs a 24/32-bit display with MIT-SHM\n");
        return 2;
    }
    shm.shmid = shmget(IPC_PRIVATE, (size_t)image->bytes_per_line * height, IPC_CREAT | 0600);
    shm.shmaddr = image->data = shmat(shm.shmid, NULL, 0);
    shm.readOnly = False;
    XShmAttach(dpy, &shm);
    XSync(dpy, False);
    shmctl(shm.shmid, IPC_RMID, NULL);

    const size_t samples = (size_t)((rw + 1) / 2) * ((rh + 1) / 2);
    Frame* frames = calloc(maxFrames, sizeof(Frame));
    int count = 0;
    XShmGetImage(dpy, DefaultRootWindow(dpy), image, 0, 0, AllPlanes);
    uint64_t screenHash = hashRect(image, 0, 0, width, height);
    uint64_t rectHash = hashRect(image, rx, ry, rx + rw, ry + rh);
    frames[count].pixels = malloc(samples * 4);
    sample(image, rx, ry, rx + rw, ry + rh, frames[count++].pixels);
    if (key) pressCombo(key);
    if (clickX >= 0) click(clickX, clickY);
    const double start = now();
    frames[0].time = start;
    printf("ready\n");
    fflush(stdout);
    double screenFirst = 0, rectFirst = 0, rectLast = 0, lastChange = start;
    long polls = 0;
    int timedOut = 0;
    for (;;) {
        usleep(2000);
        XShmGetImage(dpy, DefaultRootWindow(dpy), image, 0, 0, AllPlanes);
        const double t = now();
        ++polls;
        const uint64_t h = hashRect(image, 0, 0, width, height);
        if (h != screenHash) {
            screenHash = h;
            if (!screenFirst) screenFirst = t;
            const uint64_t r = hashRect(image, rx, ry, rx + rw, ry + rh);
            if (r != rectHash) {
                rectHash = r;
                if (!rectFirst) rectFirst = t;
                rectLast = lastChange = t;
                /* Past the limit the newest picture overwrites the last slot. */
                if (count == maxFrames) --count;
                else frames[count].pixels = malloc(samples * 4);
                sample(image, rx, ry, rx + rw, ry + rh, frames[count].pixels);
                frames[count++].time = t;
            }
        }
        if (t - start >= minimum && t - lastChange >= quiet && (!waitChange || rectFirst)) break;
        if (t - start >= timeout) {
            timedOut = 1;
            break;
        }
    }
    printf("%sstart=%.4f screen_first=%.4f rect_first=%.4f rect_last=%.4f painted=%.4f frames=%d polls=%ld\n",
           timedOut ? "timeout " : "", start, screenFirst, rectFirst, rectLast,
           count > 1 ? paintedTime(frames, count, samples) : 0.0, count, polls);
    for (int f = 0; f < count; ++f) free(frames[f].pixels);
    free(frames);
    XShmDetach(dpy, &shm);
    shmdt(shm.shmaddr);
    return 0;
}

static void putChunk(FILE* out, const char* type, const unsigned char* data, uint32_t length) {
    unsigned char head[8] = {length >> 24, length >> 16, length >> 8, length, type[0], type[1], type[2], type[3]};
    fwrite(head, 1, 8, out);
    fwrite(data, 1, length, out);
    uint32_t crc = crc32(crc32(0, head + 4, 4), data, length);
    unsigned char tail[4] = {crc >> 24, crc >> 16, crc >> 8, crc};
    fwrite(tail, 1, 4, out);
}

static int shot(const char* path) {
    int screen = DefaultScreen(dpy);
    int width = DisplayWidth(dpy, screen), height = DisplayHeight(dpy, screen);
    XImage* image = XGetImage(dpy, DefaultRootWindow(dpy), 0, 0, width, height, AllPlanes, ZPixmap);
    size_t rawSize = (size_t)(width * 3 + 1) * height;
    unsigned char* raw = malloc(rawSize);
    for (int y = 0; y < height; ++y) {
        unsigned char* row = raw + (size_t)y * (width * 3 + 1);
        row[0] = 0;
        for (int x = 0; x < width; ++x) {
            unsigned long pixel = XGetPixel(image, x, y);
            row[1 + x * 3] = pixel >> 16, row[2 + x * 3] = pixel >> 8, row[3 + x * 3] = pixel;
        }
    }
    uLongf packedSize = compressBound(rawSize);
    unsigned char* packed = malloc(packedSize);
    compress(packed, &packedSize, raw, rawSize);
    FILE* out = fopen(path, "wb");
    if (!out) return 2;
    fwrite("\x89PNG\r\n\x1a\n", 1, 8, out);
    unsigned char header[13] = {width >> 24, width >> 16, width >> 8, width, height >> 24, height >> 16, height >> 8,
                                height, 8, 2, 0, 0, 0};
    putChunk(out, "IHDR", header, 13);
    putChunk(out, "IDAT", packed, packedSize);
    putChunk(out, "IEND", NULL, 0);
    fclose(out);
    free(raw), free(packed);
    XDestroyImage(image);
    return 0;
}

int main(int argc, char** argv) {
    if (argc < 2) {
        fprintf(stderr, "usage: probe key|type|click|geometry|watch ...\n");
        return 2;
    }
    dpy = XOpenDisplay(NULL);
    if (!dpy) {
        fprintf(stderr, "probe: cannot open the display\n");
        return 2;
    }
    int status = 0;
    if (!strcmp(argv[1], "key") && argc > 2) pressCombo(argv[2]);
    else if (!strcmp(argv[1], "type") && argc > 2) typeText(argv[2]);
    else if (!strcmp(argv[1], "click") && argc > 3) click(atoi(argv[2]), atoi(argv[3]));
    else if (!strcmp(argv[1], "shot") && argc > 2) status = shot(argv[2]);
    else if (!strcmp(argv[1], "geometry")) {
        int x = 0, y = 0, w = 0, h = 0;
        if (largestWindow(&x, &y, &w, &h)) printf("%d %d %d %d\n", x, y, w, h);
        else printf("none\n");
    } else if (!strcmp(argv[1], "watch")) status = watch(argc - 2, argv + 2);
    else {
        fprintf(stderr, "probe: unknown command %s\n", argv[1]);
        status = 2;
    }
    XCloseDisplay(dpy);
    return status;
}
