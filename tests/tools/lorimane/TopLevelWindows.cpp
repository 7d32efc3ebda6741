#include "TopLevelWindows.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

TopLevelWindows::TopLevelWindows(const std::string& display) : display_(XOpenDisplay(display.c_str())) {}

TopLevelWindows::~TopLevelWindows() {
    if (display_) XCloseDisplay(display_);
}

unsigned long TopLevelWindows::find(const std::string& name) const {
    Window root = DefaultRootWindow(display_), parent = 0, *children = nullptr, found = 0;
    unsigned count = 0;
    if (!XQueryTree(display_, root, &root, &parent, &children, &count)) return 0;
    for (unsigned i = 0; i < count && !found; ++i) {
        char* title = nullptr;
        if (XFetchName(display_, children[i], &title) && title) {
            if (name == title) found = children[i];
            XFree(title);
        }
    }
    if (children) XFree(children);
    return found;
}

void TopLevelWindows::askToClose(unsigned long window) const {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display_, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display_, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display_, window, False, NoEventMask, &event);
    XFlush(display_);
}
