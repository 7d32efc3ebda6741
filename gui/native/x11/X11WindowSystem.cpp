#include "gui/native/x11/X11WindowSystem.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <poll.h>

#include <algorithm>
#include <atomic>
#include <mutex>

#include "gui/Bitmap.h"
#include "gui/Text.h"
#include "gui/native/x11/X11Window.h"

namespace gui::native {

namespace {

std::atomic<int> errorCount{0};

// Requests on windows that a host destroyed under us, focus on an unmapped window and the like
// fail asynchronously; Xlib's default handler would end the process.
int ignoreError(Display*, XErrorEvent*) {
    errorCount.fetch_add(1, std::memory_order_relaxed);
    return 0;
}

void initialiseXlib() {
    static std::once_flag once;
    std::call_once(once, [] {
        XInitThreads();
        XSetErrorHandler(ignoreError);
    });
}

}  // namespace

std::unique_ptr<X11WindowSystem> X11WindowSystem::open(const char* displayName) {
    initialiseXlib();
    Display* display = XOpenDisplay(displayName);
    if (!display) return nullptr;
    return std::unique_ptr<X11WindowSystem>(new X11WindowSystem(display));
}

X11WindowSystem::X11WindowSystem(Display* display) : display_(display) {
    int major = 0, minor = 0;
    Bool pixmaps = False;
    // A remote server cannot share our memory even when it offers the extension.
    const char* name = DisplayString(display_);
    const bool local = name && (name[0] == ':' || std::string(name).rfind("unix:", 0) == 0);
    shm_ = local && XShmQueryVersion(display_, &major, &minor, &pixmaps);
    wmDelete_ = XInternAtom(display_, "WM_DELETE_WINDOW", False);
}

X11WindowSystem::~X11WindowSystem() {
    XCloseDisplay(display_);
}

std::unique_ptr<Window> X11WindowSystem::createWindow(void* parent, const Rect& bounds, WindowEvents& events) {
    const auto parentId = static_cast<XWindowId>(reinterpret_cast<uintptr_t>(parent));
    return std::make_unique<X11Window>(*this, parentId, bounds, events);
}

std::unique_ptr<Bitmap> X11WindowSystem::createBitmap() {
    return std::make_unique<Bitmap>();
}

std::unique_ptr<Text> X11WindowSystem::createText() {
    return std::make_unique<Text>();
}

void X11WindowSystem::registerWindow(XWindowId id, X11Window* window) {
    windows_[id] = window;
}

void X11WindowSystem::unregisterWindow(XWindowId id) {
    windows_.erase(id);
}

X11Window* X11WindowSystem::findWindow(XWindowId id) const {
    auto it = windows_.find(id);
    return it == windows_.end() ? nullptr : it->second;
}

void X11WindowSystem::watch(int fd, std::function<void()> ready) {
    watched_[fd] = std::move(ready);
}

void X11WindowSystem::unwatch(int fd) {
    watched_.erase(fd);
}

void X11WindowSystem::sync() {
    XSync(display_, False);
}

int X11WindowSystem::msUntilNextTimer() const {
    const uint32_t now = clock().nowMs();
    int next = -1;
    for (const auto& [id, window] : windows_) {
        const int d = window->msUntilNextTimer(now);
        if (d >= 0 && (next < 0 || d < next)) next = d;
    }
    return next;
}

void X11WindowSystem::fireDueTimers() {
    const uint32_t now = clock().nowMs();
    // Timer handlers may create and destroy windows: collect first, then fire what still exists.
    std::vector<std::pair<XWindowId, int>> due;
    for (const auto& [id, window] : windows_)
        for (int timer : window->dueTimers(now)) due.emplace_back(id, timer);
    for (const auto& [id, timer] : due)
        if (X11Window* w = findWindow(id)) w->fireTimer(timer);
}

void X11WindowSystem::deliverPaints() {
    std::vector<XWindowId> ids;
    for (const auto& [id, window] : windows_) ids.push_back(id);
    for (XWindowId id : ids) {
        if (X11Window* w = findWindow(id)) w->deliverPaint();
    }
}

void X11WindowSystem::dispatch(XEvent& event) {
    if (event.type == MappingNotify) {
        // Input tools remap keys on the fly to type characters the keyboard lacks.
        XRefreshKeyboardMapping(&event.xmapping);
        return;
    }
    if (!modalWindows_.empty()) {
        const int t = event.type;
        const bool input = t == ButtonPress || t == ButtonRelease || t == MotionNotify || t == KeyPress ||
                           t == KeyRelease || t == EnterNotify || t == LeaveNotify;
        if (input && std::find(modalWindows_.begin(), modalWindows_.end(), event.xany.window) == modalWindows_.end())
            return;
    }
    if (X11Window* w = findWindow(event.xany.window)) w->handleEvent(event);
}

bool X11WindowSystem::processEvents(int timeoutMs) {
    XFlush(display_);
    if (!XPending(display_)) {
        int timeout = msUntilNextTimer();
        if (timeoutMs >= 0 && (timeout < 0 || timeoutMs < timeout)) timeout = timeoutMs;
        std::vector<pollfd> fds;
        fds.push_back({ConnectionNumber(display_), POLLIN, 0});
        for (const auto& [fd, callback] : watched_) fds.push_back({fd, POLLIN, 0});
        if (poll(fds.data(), fds.size(), timeout) < 0 && errno != EINTR) return false;
        if (fds[0].revents & (POLLHUP | POLLERR)) return false;
        std::vector<int> ready;
        for (size_t i = 1; i < fds.size(); ++i)
            if (fds[i].revents & POLLIN) ready.push_back(fds[i].fd);
        for (int fd : ready)
            if (auto it = watched_.find(fd); it != watched_.end()) {
                const std::function<void()> callback = it->second;
                callback();
            }
    }
    while (XPending(display_)) {
        XEvent event;
        XNextEvent(display_, &event);
        dispatch(event);
    }
    fireDueTimers();
    deliverPaints();
    XFlush(display_);
    return true;
}

bool X11WindowSystem::runUntil(const std::function<bool()>& done, int timeoutMs) {
    quit_ = false;
    const uint32_t start = clock().nowMs();
    for (;;) {
        if (done && done()) return true;
        if (quit_) return true;
        int left = -1;
        if (timeoutMs >= 0) {
            const int elapsed = static_cast<int>(clock().nowMs() - start);
            if (elapsed >= timeoutMs) return false;
            left = timeoutMs - elapsed;
        }
        // Wake at least every 20 ms so that a predicate on outside state is seen.
        if (!processEvents(left < 0 ? 20 : std::min(left, 20))) return false;
    }
}

}  // namespace gui::native
