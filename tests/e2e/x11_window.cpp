// A small X11 client for the end-to-end tests: finds the top-level window whose name is the
// given caption, prints "NAME WIDTHxHEIGHT", and with --close asks it to close the way a
// window manager does (a WM_DELETE_WINDOW message). Exit status 1 when no window matches.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstring>

namespace {

Window findNamed(Display* display, Window parent, const char* caption) {
    Window root = 0;
    Window unused = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (XQueryTree(display, parent, &root, &unused, &children, &count) == 0) {
        return 0;
    }
    Window found = 0;
    for (unsigned int i = 0; i < count && found == 0; ++i) {
        char* name = nullptr;
        if (XFetchName(display, children[i], &name) != 0 && name != nullptr) {
            if (std::strcmp(name, caption) == 0) {
                found = children[i];
            }
            XFree(name);
        }
        if (found == 0) {
            found = findNamed(display, children[i], caption);
        }
    }
    if (children != nullptr) {
        XFree(children);
    }
    return found;
}

void requestClose(Display* display, Window window) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XFlush(display);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: x11_window CAPTION [--close]\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        return 2;
    }
    const Window window = findNamed(display, DefaultRootWindow(display), argv[1]);
    if (window == 0) {
        XCloseDisplay(display);
        return 1;
    }
    XWindowAttributes attributes{};
    XGetWindowAttributes(display, window, &attributes);
    std::printf("%s %dx%d\n", argv[1], attributes.width, attributes.height);
    if (argc > 2 && std::strcmp(argv[2], "--close") == 0) {
        requestClose(display, window);
    }
    XCloseDisplay(display);
    return 0;
}
