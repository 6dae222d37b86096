// Starts a command on the X display and tells how long after the start its notification-area icon was shown.
//
//   quorvel-bench-icon-watch [--timeout SECONDS] -- COMMAND [ARG...]
//
// "Shown" means: a window of the started process (its _NET_WM_PID), at most 64x64 pixels, has been taken in by
// the tray host (its parent is no longer the root window), is viewable, and its pixels are not all one colour, so
// the artwork has been drawn. The clock starts just before the fork. Prints, and leaves the command running:
//   icon pid=<pid> icon_ms=<ms> start_ns=<monotonic> window=<id>
// or "icon pid=<pid> none" (exit status 1) when the command ended or the time ran out first.

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <poll.h>
#include <set>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

long long MonotonicNs() {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

// X errors for windows that went away between an event and a question about them are expected.
int IgnoreErrors(Display*, XErrorEvent*) {
    return 0;
}

long WindowPid(Display* display, Window window) {
    static const Atom kPid = XInternAtom(display, "_NET_WM_PID", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    long pid = -1;
    if (XGetWindowProperty(display, window, kPid, 0, 1, False, XA_CARDINAL, &type, &format, &count, &after, &data) ==
            Success &&
        data != nullptr) {
        if (format == 32 && count == 1) {
            pid = static_cast<long>(*reinterpret_cast<unsigned long*>(data));
        }
        XFree(data);
    }
    return pid;
}

bool Embedded(Display* display, Window window, Window root) {
    Window rootReturn = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (XQueryTree(display, window, &rootReturn, &parent, &children, &count) == 0) {
        return false;
    }
    if (children != nullptr) {
        XFree(children);
    }
    return parent != 0 && parent != root;
}

bool Drawn(Display* display, Window window, int width, int height) {
    XImage* image = XGetImage(display, window, 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height),
                              AllPlanes, ZPixmap);
    if (image == nullptr) {
        return false;
    }
    const unsigned long first = XGetPixel(image, 0, 0);
    bool varied = false;
    for (int y = 0; y < height && !varied; ++y) {
        for (int x = 0; x < width && !varied; ++x) {
            varied = XGetPixel(image, x, y) != first;
        }
    }
    XDestroyImage(image);
    return varied;
}

bool Shown(Display* display, Window window, Window root, pid_t pid) {
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(display, window, &attributes) == 0 || attributes.map_state != IsViewable) {
        return false;
    }
    if (attributes.width > 64 || attributes.height > 64 || WindowPid(display, window) != pid) {
        return false;
    }
    return Embedded(display, window, root) && Drawn(display, window, attributes.width, attributes.height);
}

} // namespace

int main(int argc, char* argv[]) {
    double timeout = 20.0;
    int first = 1;
    for (; first < argc; ++first) {
        if (std::strcmp(argv[first], "--timeout") == 0 && first + 1 < argc) {
            timeout = std::atof(argv[++first]);
        } else if (std::strcmp(argv[first], "--") == 0) {
            ++first;
            break;
        } else {
            std::fprintf(stderr, "usage: %s [--timeout SECONDS] -- COMMAND [ARG...]\n", argv[0]);
            return 2;
        }
    }
    if (first >= argc) {
        std::fprintf(stderr, "usage: %s [--timeout SECONDS] -- COMMAND [ARG...]\n", argv[0]);
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "quorvel-bench-icon-watch: cannot open the display\n");
        return 2;
    }
    XSetErrorHandler(IgnoreErrors);
    const Window root = DefaultRootWindow(display);
    // Every new top-level window is announced; each is then followed by itself wherever the tray host puts it.
    XSelectInput(display, root, SubstructureNotifyMask);
    XSync(display, False);

    const long long start = MonotonicNs();
    const pid_t child = fork();
    if (child == 0) {
        close(ConnectionNumber(display));
        execvp(argv[first], argv + first);
        std::perror("exec");
        _exit(127);
    }
    if (child < 0) {
        std::perror("fork");
        return 2;
    }

    std::set<Window> candidates;
    const long long deadline = start + static_cast<long long>(timeout * 1e9);
    for (;;) {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == CreateNotify && event.xcreatewindow.parent == root) {
                const Window window = event.xcreatewindow.window;
                XSelectInput(display, window, StructureNotifyMask | ExposureMask);
                candidates.insert(window);
            } else if (event.type == DestroyNotify) {
                candidates.erase(event.xdestroywindow.window);
            }
        }
        for (Window window : candidates) {
            if (Shown(display, window, root, child)) {
                const double ms = static_cast<double>(MonotonicNs() - start) / 1e6;
                std::printf("icon pid=%d icon_ms=%.1f start_ns=%lld window=0x%lx\n", static_cast<int>(child), ms, start,
                            window);
                return 0;
            }
        }
        int status = 0;
        if (waitpid(child, &status, WNOHANG) == child || MonotonicNs() > deadline) {
            break;
        }
        // Events wake the wait at once; the short limit catches the drawing, which sends no event here.
        pollfd connection{ConnectionNumber(display), POLLIN, 0};
        poll(&connection, 1, 2);
    }
    std::printf("icon pid=%d none\n", static_cast<int>(child));
    return 1;
}
