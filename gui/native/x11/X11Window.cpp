#include "gui/native/x11/X11Window.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>
#include <bit>
#include <cstring>

#include "gui/Bitmap.h"
#include "gui/native/x11/X11WindowSystem.h"

namespace gui::native {

struct X11Window::ShmSegment {
    XShmSegmentInfo info{};
};

namespace {

constexpr long kEventMask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                            StructureNotifyMask | KeyPressMask | KeyReleaseMask | EnterWindowMask |
                            LeaveWindowMask | FocusChangeMask;

// X numbers the buttons 1 left, 2 middle, 3 right; 4 to 7 are the wheels.
int toolkitButton(unsigned int xButton) {
    return xButton == 1 ? LeftButton : xButton == 3 ? RightButton : MiddleButton;
}

// The characters a key symbol types, as UTF-8: Latin-1 symbols and the Unicode range that input
// tools use for characters missing from the keyboard map.
std::string typedText(KeySym keysym) {
    uint32_t code = 0;
    if ((keysym >= 0x20 && keysym <= 0x7e) || (keysym >= 0xa0 && keysym <= 0xff))
        code = static_cast<uint32_t>(keysym);
    else if ((keysym & 0xff000000u) == 0x01000000u)
        code = static_cast<uint32_t>(keysym & 0x00ffffffu);
    std::string out;
    if (code == 0 || code > 0x10ffff) return out;
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xc0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3f));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xe0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3f));
        out += static_cast<char>(0x80 | (code & 0x3f));
    } else {
        out += static_cast<char>(0xf0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3f));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3f));
        out += static_cast<char>(0x80 | (code & 0x3f));
    }
    return out;
}

}  // namespace

X11Window::X11Window(X11WindowSystem& system, XWindowId parent, const Rect& bounds, WindowEvents& events,
                     Kind kind, const std::string& title)
    : system_(system), events_(events), bounds_(bounds) {
    Display* d = system_.display();
    topLevel_ = parent == 0 || kind != Kind::Embedded;
    parent_ = topLevel_ ? RootWindow(d, DefaultScreen(d)) : parent;
    XSetWindowAttributes attributes{};
    attributes.background_pixmap = None;
    attributes.bit_gravity = NorthWestGravity;
    attributes.event_mask = kEventMask;
    attributes.override_redirect = kind == Kind::Popup ? True : False;
    window_ = XCreateWindow(d, parent_, bounds.left, bounds.top, static_cast<unsigned>(std::max(1, bounds.width())),
                            static_cast<unsigned>(std::max(1, bounds.height())), 0, CopyFromParent, InputOutput,
                            CopyFromParent, CWBackPixmap | CWBitGravity | CWEventMask | CWOverrideRedirect,
                            &attributes);
    if (kind == Kind::Dialog && parent) XSetTransientForHint(d, window_, parent);
    if (!title.empty()) XStoreName(d, window_, title.c_str());
    gc_ = XCreateGC(d, window_, 0, nullptr);
    XDefineCursor(d, window_, None);  // the parent's, which is the arrow unless a host changed it
    if (topLevel_ && kind != Kind::Popup) {
        Atom protocols[] = {system_.wmDeleteAtom()};
        XSetWMProtocols(d, window_, protocols, 1);
        XSizeHints hints{};
        hints.flags = PPosition | PSize;
        hints.x = bounds.left;
        hints.y = bounds.top;
        hints.width = bounds.width();
        hints.height = bounds.height();
        XSetWMNormalHints(d, window_, &hints);
    }
    system_.registerWindow(window_, this);
    XMapWindow(d, window_);
    XFlush(d);
}

X11Window::~X11Window() {
    Display* d = system_.display();
    if (captured_) XUngrabPointer(d, CurrentTime);
    releaseImage();
    XFreeGC(d, static_cast<GC>(gc_));
    system_.unregisterWindow(window_);
    XDestroyWindow(d, window_);
    XFlush(d);
}

void X11Window::setBounds(const Rect& bounds) {
    Display* d = system_.display();
    const unsigned w = static_cast<unsigned>(std::max(1, bounds.width()));
    const unsigned h = static_cast<unsigned>(std::max(1, bounds.height()));
    if (topLevel_)
        XResizeWindow(d, window_, w, h);
    else
        XMoveResizeWindow(d, window_, bounds.left, bounds.top, w, h);
    bounds_ = bounds;
    XFlush(d);
}

Point X11Window::screenOrigin() const {
    Display* d = system_.display();
    int x = 0, y = 0;
    ::Window child;
    XTranslateCoordinates(d, window_, DefaultRootWindow(d), 0, 0, &x, &y, &child);
    return {x, y};
}

void X11Window::invalidate(const Rect& area) {
    invalid_ = invalid_.united(area.intersection({0, 0, bounds_.width(), bounds_.height()}));
}

void X11Window::deliverPaint() {
    if (captureLost_) {
        captureLost_ = false;
        events_.mouseInteractionCancelled();
        // The handler may have destroyed this window.
        if (system_.findWindow(window_) != this) return;
    }
    if (invalid_.isEmpty()) return;
    const Rect area = invalid_;
    invalid_ = {};
    events_.paintRequested(area);
}

void X11Window::releaseImage() {
    if (!image_) return;
    Display* d = system_.display();
    if (shm_) {
        XShmDetach(d, &shm_->info);
        XSync(d, False);
        image_->data = nullptr;
        XDestroyImage(image_);
        shmdt(shm_->info.shmaddr);
        delete shm_;
        shm_ = nullptr;
    } else {
        image_->data = nullptr;  // plainPixels_ owns the memory
        XDestroyImage(image_);
        plainPixels_.clear();
    }
    image_ = nullptr;
}

bool X11Window::ensureImage(int width, int height) {
    if (image_ && image_->width == width && image_->height == height) return true;
    releaseImage();
    Display* d = system_.display();
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(d, window_, &attributes)) return false;
    if (system_.hasSharedMemory()) {
        auto* segment = new ShmSegment;
        image_ = XShmCreateImage(d, attributes.visual, static_cast<unsigned>(attributes.depth), ZPixmap, nullptr,
                                 &segment->info, static_cast<unsigned>(width), static_cast<unsigned>(height));
        if (image_) {
            segment->info.shmid =
                shmget(IPC_PRIVATE, static_cast<size_t>(image_->bytes_per_line) * height, IPC_CREAT | 0600);
            if (segment->info.shmid >= 0) {
                segment->info.shmaddr = image_->data = static_cast<char*>(shmat(segment->info.shmid, nullptr, 0));
                segment->info.readOnly = False;
                const bool attached = image_->data != reinterpret_cast<char*>(-1) && XShmAttach(d, &segment->info);
                XSync(d, False);
                // Marked for removal now, so the segment goes with the last detach whatever happens.
                shmctl(segment->info.shmid, IPC_RMID, nullptr);
                if (attached) {
                    shm_ = segment;
                    return true;
                }
                if (image_->data != reinterpret_cast<char*>(-1)) shmdt(image_->data);
            }
            image_->data = nullptr;
            XDestroyImage(image_);
            image_ = nullptr;
        }
        delete segment;
        // The server cannot reach our memory (another machine, a container): use plain images.
        system_.disableSharedMemory();
    }
    image_ = XCreateImage(d, attributes.visual, static_cast<unsigned>(attributes.depth), ZPixmap, 0, nullptr,
                          static_cast<unsigned>(width), static_cast<unsigned>(height), 32, 0);
    if (!image_) return false;
    plainPixels_.assign(static_cast<size_t>(image_->bytes_per_line) / 4 * height + 1, 0);
    image_->data = reinterpret_cast<char*>(plainPixels_.data());
    return true;
}

void X11Window::present(const Bitmap& frame, const Rect& area) {
    const Rect r = area.intersection(frame.bounds());
    if (r.isEmpty() || !ensureImage(frame.width(), frame.height())) return;
    // Our pixels are bytes B, G, R, 255 - alpha: on a little-endian client with the usual 24-bit
    // visual they are the server's pixels as they are (the fourth byte is padding).
    const bool direct = image_->bits_per_pixel == 32 && image_->byte_order == LSBFirst &&
                        image_->red_mask == 0xff0000 && image_->green_mask == 0xff00 && image_->blue_mask == 0xff &&
                        std::endian::native == std::endian::little;
    for (int y = r.top; y < r.bottom; ++y) {
        const uint32_t* src = frame.row(y);
        if (direct) {
            auto* dst = reinterpret_cast<uint32_t*>(image_->data + static_cast<size_t>(y) * image_->bytes_per_line);
            std::memcpy(dst + r.left, src + r.left, static_cast<size_t>(r.width()) * 4);
            continue;
        }
        for (int x = r.left; x < r.right; ++x) {
            const uint32_t p = src[x];
            auto channel = [](uint32_t value, unsigned long mask) -> unsigned long {
                if (!mask) return 0;
                const int shift = std::countr_zero(mask);
                const int bits = std::popcount(mask);
                return ((static_cast<unsigned long>(value) >> (8 - std::min(bits, 8))) << shift) & mask;
            };
            XPutPixel(image_, x, y,
                      channel((p >> 16) & 0xff, image_->red_mask) | channel((p >> 8) & 0xff, image_->green_mask) |
                          channel(p & 0xff, image_->blue_mask));
        }
    }
    Display* d = system_.display();
    if (shm_)
        XShmPutImage(d, window_, static_cast<GC>(gc_), image_, r.left, r.top, r.left, r.top,
                     static_cast<unsigned>(r.width()), static_cast<unsigned>(r.height()), False);
    else
        XPutImage(d, window_, static_cast<GC>(gc_), image_, r.left, r.top, r.left, r.top,
                  static_cast<unsigned>(r.width()), static_cast<unsigned>(r.height()));
    // The next frame rewrites the shared image: wait until the server has read this one.
    XSync(d, False);
    ++presents_;
}

void X11Window::setMouseCapture(bool captured) {
    Display* d = system_.display();
    if (captured == captured_) return;
    if (captured) {
        const int result = XGrabPointer(d, window_, False, ButtonPressMask | ButtonReleaseMask | PointerMotionMask,
                                        GrabModeAsync, GrabModeAsync, None, None, CurrentTime);
        captured_ = true;
        // Someone else holds the pointer: the interaction is cancelled as if the grab was lost,
        // after the toolkit's call has returned.
        if (result != GrabSuccess) loseCapture();
    } else {
        captured_ = false;
        XUngrabPointer(d, CurrentTime);
        XFlush(d);
    }
}

void X11Window::loseCapture() {
    if (!captured_) return;
    captured_ = false;
    captureLost_ = true;
}

void X11Window::takeFocus() {
    focusWanted_ = true;
    if (mapped_) XSetInputFocus(system_.display(), window_, RevertToParent, CurrentTime);
}

bool X11Window::isCursorInside() const {
    Display* d = system_.display();
    ::Window root, child;
    int rx, ry, wx, wy;
    unsigned int mask;
    if (!XQueryPointer(d, window_, &root, &child, &rx, &ry, &wx, &wy, &mask)) return false;
    return Rect{0, 0, bounds_.width(), bounds_.height()}.contains({wx, wy});
}

void X11Window::startTimer(int id, int intervalMs) {
    const int interval = std::max(intervalMs, 1);
    timers_[id] = TimerEntry{interval, system_.clock().nowMs() + static_cast<uint32_t>(interval)};
}

int X11Window::msUntilNextTimer(uint32_t now) const {
    int next = -1;
    for (const auto& [id, entry] : timers_) {
        const auto d = static_cast<int32_t>(entry.due - now);
        const int wait = std::max(0, static_cast<int>(d));
        if (next < 0 || wait < next) next = wait;
    }
    return next;
}

std::vector<int> X11Window::dueTimers(uint32_t now) {
    std::vector<int> due;
    for (auto& [id, entry] : timers_) {
        if (static_cast<int32_t>(entry.due - now) > 0) continue;
        due.push_back(id);
        // A late loop does not fire a timer several times to catch up.
        entry.due += static_cast<uint32_t>(entry.interval);
        if (static_cast<int32_t>(entry.due - now) <= 0) entry.due = now + static_cast<uint32_t>(entry.interval);
    }
    return due;
}

void X11Window::fireTimer(int id) {
    if (timers_.count(id)) events_.timerFired(id);
}

int X11Window::keyState(unsigned int state) const {
    int keys = 0;
    if (state & ShiftMask) keys |= KeyShift;
    if (state & ControlMask) keys |= KeyCtrl;
    if (state & Mod1Mask) keys |= KeyAlt;
    if (state & Mod4Mask) keys |= KeySystem;
    if (state & Button1Mask) keys |= ButtonLeft;
    if (state & Button2Mask) keys |= ButtonMiddle;
    if (state & Button3Mask) keys |= ButtonRight;
    return keys;
}

X11Window::XWindowId X11Window::topLevelAncestor() const {
    Display* d = system_.display();
    ::Window w = window_, root = 0, parent = 0, *children = nullptr;
    unsigned int count = 0;
    for (;;) {
        if (!XQueryTree(d, w, &root, &parent, &children, &count)) return w;
        if (children) XFree(children);
        if (parent == root || parent == 0) return w;
        w = parent;
    }
}

void X11Window::forwardKey(XEvent& event) {
    if (topLevel_) return;
    // Keys belong to the host: hand them to the top-level window we are embedded in.
    Display* d = system_.display();
    const ::Window w = topLevelAncestor();
    if (w == window_) return;
    XEvent copy = event;
    copy.xkey.window = w;
    XSendEvent(d, w, False, event.type == KeyPress ? KeyPressMask : KeyReleaseMask, &copy);
}

void X11Window::handleEvent(XEvent& event) {
    const uint32_t now = system_.clock().nowMs();
    switch (event.type) {
        case Expose:
            invalidate(Rect::ofSize(event.xexpose.x, event.xexpose.y, event.xexpose.width, event.xexpose.height));
            break;
        case ConfigureNotify: {
            const XConfigureEvent& c = event.xconfigure;
            // A window manager reports top-level positions in its frame; only the size counts there.
            const Rect b = topLevel_ ? Rect::ofSize(bounds_.left, bounds_.top, c.width, c.height)
                                     : Rect::ofSize(c.x, c.y, c.width, c.height);
            if (b != bounds_) {
                bounds_ = b;
                events_.boundsChanged(b);
            }
            break;
        }
        case MapNotify:
            mapped_ = true;
            if (focusWanted_) XSetInputFocus(system_.display(), window_, RevertToParent, CurrentTime);
            break;
        case UnmapNotify:
            mapped_ = false;
            // An unviewable window loses its grab.
            loseCapture();
            break;
        case MotionNotify:
            events_.pointerMoved(PointerMessage{{event.xmotion.x, event.xmotion.y}, keyState(event.xmotion.state), now});
            break;
        case ButtonPress: {
            const XButtonEvent& b = event.xbutton;
            if (b.button >= 4 && b.button <= 7) {
                WheelMessage m;
                // 4 away from the user (up), 5 towards; 6 left, 7 right.
                m.delta = (b.button == 4 || b.button == 7) ? 120 : -120;
                m.horizontal = b.button >= 6;
                m.screenPoint = {b.x_root, b.y_root};
                m.keyState = keyState(b.state);
                m.timeMs = now;
                events_.wheelTurned(m);
            } else if (b.button <= 3) {
                const int button = toolkitButton(b.button);
                // X reports the state before the press; the toolkit expects the pressed button in it.
                events_.buttonPressed(
                    ButtonMessage{button, {b.x, b.y}, keyState(b.state) | buttonBit(button), now, false});
            }
            break;
        }
        case ButtonRelease: {
            const XButtonEvent& b = event.xbutton;
            if (b.button >= 1 && b.button <= 3) {
                const int button = toolkitButton(b.button);
                events_.buttonReleased(
                    ButtonMessage{button, {b.x, b.y}, keyState(b.state) & ~buttonBit(button), now, false});
            }
            break;
        }
        case KeyPress:
        case KeyRelease:
            if (!keyHandler) {
                forwardKey(event);
            } else if (event.type == KeyPress) {
                KeyInput key;
                char latin[8];
                KeySym keysym = 0;
                XLookupString(&event.xkey, latin, sizeof latin, &keysym, nullptr);
                key.keysym = keysym;
                key.text = typedText(keysym);
                const unsigned state = event.xkey.state;
                key.flags = ((state & ShiftMask) ? 1 : 0) | ((state & Mod1Mask) ? 2 : 0) | ((state & ControlMask) ? 4 : 0);
                // Control combinations type nothing.
                if (key.flags & 4) key.text.clear();
                // The handler may destroy this window (an edit field that a key ends).
                const std::function<void(const KeyInput&)> handler = keyHandler;
                handler(key);
            }
            break;
        case ClientMessage:
            if (static_cast<Atom>(event.xclient.data.l[0]) == system_.wmDeleteAtom() &&
                closeRequested)
                closeRequested();
            break;
        default:
            break;
    }
}

}  // namespace gui::native
