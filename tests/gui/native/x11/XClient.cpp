#include "XClient.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XRes.h>

namespace gui::test {

XClient::XClient(const std::string& display) : display_(XOpenDisplay(display.c_str())) {}

XClient::~XClient() {
    if (display_) XCloseDisplay(display_);
}

unsigned long XClient::createHostWindow(int width, int height) {
    const ::Window w = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0,
                                           static_cast<unsigned>(width), static_cast<unsigned>(height), 0, 0, 0);
    XSelectInput(display_, w, KeyPressMask);
    XMapWindow(display_, w);
    XSync(display_, False);
    return w;
}

Rect XClient::geometry(unsigned long window) {
    XWindowAttributes a;
    if (!XGetWindowAttributes(display_, window, &a)) return {};
    return Rect::ofSize(a.x, a.y, a.width, a.height);
}

void XClient::resize(unsigned long window, int width, int height) {
    XResizeWindow(display_, window, static_cast<unsigned>(width), static_cast<unsigned>(height));
    XSync(display_, False);
}

void XClient::unmap(unsigned long window) {
    XUnmapWindow(display_, window);
    XSync(display_, False);
}

bool XClient::receivedKeyPress() {
    while (XPending(display_)) {
        XEvent event;
        XNextEvent(display_, &event);
        if (event.type == KeyPress) keyPressed_ = true;
    }
    return keyPressed_;
}

void XClient::mapKeysyms(const std::vector<unsigned long>& keysyms) {
    int minCode = 0, maxCode = 0, perCode = 0;
    XDisplayKeycodes(display_, &minCode, &maxCode);
    KeySym* map = XGetKeyboardMapping(display_, static_cast<KeyCode>(minCode), maxCode - minCode + 1, &perCode);
    size_t next = 0;
    for (int code = maxCode; code >= minCode && next < keysyms.size(); --code) {
        bool unused = true;
        for (int i = 0; i < perCode; ++i)
            if (map[(code - minCode) * perCode + i] != NoSymbol) unused = false;
        if (!unused) continue;
        KeySym sym = keysyms[next++];
        XChangeKeyboardMapping(display_, code, 1, &sym, 1);
    }
    XFree(map);
    XSync(display_, False);
}

long XClient::resourcesOfClientOwning(unsigned long window) {
    int eventBase = 0, errorBase = 0;
    if (!XResQueryExtension(display_, &eventBase, &errorBase)) return -1;
    int count = 0;
    XResClient* clients = nullptr;
    if (!XResQueryClients(display_, &count, &clients)) return -1;
    long total = -1;
    for (int i = 0; i < count; ++i) {
        if ((window & ~clients[i].resource_mask) != clients[i].resource_base) continue;
        int types = 0;
        XResType* kinds = nullptr;
        if (XResQueryClientResources(display_, clients[i].resource_base, &types, &kinds)) {
            total = 0;
            for (int t = 0; t < types; ++t) total += kinds[t].count;
            XFree(kinds);
        }
    }
    XFree(clients);
    return total;
}

unsigned long XClient::focusedWindow() {
    ::Window focus = 0;
    int revert = 0;
    XGetInputFocus(display_, &focus, &revert);
    return focus;
}

std::unique_ptr<Bitmap> XClient::grab(unsigned long window, int width, int height) {
    auto b = std::make_unique<Bitmap>();
    XImage* image = XGetImage(display_, window, 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height),
                              AllPlanes, ZPixmap);
    if (!image) return b;
    b->setSize(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            b->setPixel(x, y, static_cast<uint32_t>(XGetPixel(image, x, y)) & 0xffffffu);
    XDestroyImage(image);
    return b;
}

}  // namespace gui::test
