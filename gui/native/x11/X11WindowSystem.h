#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "gui/native/WindowSystem.h"

struct _XDisplay;
union _XEvent;

namespace gui::native {

class X11Window;

// The window system over one Xlib connection, owned by the UI thread that opened it. Everything
// that thread waits for - X events, the windows' periodic timers and any descriptor handed to
// watch() (the toolkit's wake-up descriptor, an async event queue) - is served from one poll in
// processEvents. Menus, message boxes, choosers and edit fields are windows drawn by the toolkit.
class X11WindowSystem : public WindowSystem {
public:
    using XWindowId = unsigned long;

    // Connects to the display (null: $DISPLAY); null when no server answers.
    static std::unique_ptr<X11WindowSystem> open(const char* displayName = nullptr);
    ~X11WindowSystem() override;

    // parent is an X window id (cast to a pointer) or null for a top-level window.
    std::unique_ptr<Window> createWindow(void* parent, const Rect& bounds, WindowEvents& events) override;
    int trackPopupMenu(Window& window, const std::vector<MenuEntry>& entries, Point at) override;
    // Ends the drawn menu that trackPopupMenu is showing, which then answers 0.
    void cancelPopupMenu(Window& window) override;
    MessageBoxResult messageBox(Window& window, const std::string& text, const std::string& caption,
                                MessageBoxStyle style) override;
    bool chooseFile(Window& window, const FileChooserRequest& request, std::string& path) override;
    bool chooseFolder(Window& window, const FolderChooserRequest& request, std::string& path) override;
    std::unique_ptr<EditField> createEditField(Window& window, const EditFieldSetup& setup,
                                               EditFieldEvents& events) override;
    std::unique_ptr<Bitmap> createBitmap() override;
    std::unique_ptr<Text> createText() override;
    const MillisecondClock& clock() const override { return MillisecondClock::monotonic(); }
    int doubleClickTime() const override { return 500; }
    int doubleClickDistance() const override { return 4; }

    // Waits at most timeoutMs (-1: until something happens) for X events, due timers and watched
    // descriptors, handles all that is ready and delivers the repaints it caused. Answers false
    // once the connection to the server is gone.
    bool processEvents(int timeoutMs);
    // Runs processEvents until quit() or until the predicate (checked after each round) holds, or
    // until timeoutMs passed (-1: no limit). Answers whether it stopped for the predicate or quit.
    bool runUntil(const std::function<bool()>& done, int timeoutMs = -1);
    void quit() { quit_ = true; }

    // The callback runs on this thread whenever the descriptor is readable.
    void watch(int fd, std::function<void()> ready);
    void unwatch(int fd);

    _XDisplay* display() const { return display_; }
    // Sends the queued requests and waits until the server has handled them.
    void sync();
    bool hasSharedMemory() const { return shm_; }
    // Turns MIT-SHM presentation off (tests of the plain path, servers that refuse it).
    void disableSharedMemory() { shm_ = false; }

    // Window bookkeeping for X11Window and the drawn pop-ups.
    void registerWindow(XWindowId id, X11Window* window);
    void unregisterWindow(XWindowId id);
    X11Window* findWindow(XWindowId id) const;
    // While modal windows are registered, input meant for any other window is dropped.
    void addModalWindow(XWindowId id) { modalWindows_.push_back(id); }
    void removeModalWindow(XWindowId id) { std::erase(modalWindows_, id); }
    unsigned long wmDeleteAtom() const { return wmDelete_; }

private:
    explicit X11WindowSystem(_XDisplay* display);
    void dispatch(_XEvent& event);
    void fireDueTimers();
    int msUntilNextTimer() const;
    void deliverPaints();

    _XDisplay* display_;
    bool shm_ = false;
    bool quit_ = false;
    unsigned long wmDelete_ = 0;
    std::map<XWindowId, X11Window*> windows_;
    std::map<int, std::function<void()>> watched_;
    std::vector<XWindowId> modalWindows_;
    // Set while trackPopupMenu shows a menu.
    std::function<void()> cancelMenu_;
};

}  // namespace gui::native
