#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "gui/UserInterface.h"
#include "gui/native/Window.h"
#include "gui/native/WindowSystem.h"

namespace gui {

class WindowControl;
class WindowMessageHook;
class WindowPopupMenu;
class WindowTimer;

// The user interface of one native window: creates the window through the window system, owns
// its root control, and supplies the factories, the message box and the timing services over
// the window system. UI thread.
class WindowInterface : public UserInterface, private native::WindowEvents {
public:
    // Draws the window in place of the software back buffer (the accelerated renderer): paint
    // requests go to it, and it paints what the root control has pending.
    class Renderer {
    public:
        virtual ~Renderer() = default;
        virtual void paintRequested(const Rect& area) = 0;
    };

    WindowInterface(native::WindowSystem& system, void* parentWindow, const Rect& bounds);
    ~WindowInterface() override;

    std::unique_ptr<Bitmap> createBitmap() override;
    std::unique_ptr<OpenSaveDialog> createOpenDialog() override;
    std::unique_ptr<PopupMenu> createPopupMenu() override;
    std::unique_ptr<OpenSaveDialog> createSaveDialog() override;
    std::unique_ptr<SelectFolderDialog> createSelectFolderDialog() override;
    std::unique_ptr<Text> createText() override;
    TextEditor* createTextEditor() override;
    Timer* createTimer() override;
    int doubleClickDistance() const override { return system_.doubleClickDistance(); }
    int doubleClickTime() const override { return system_.doubleClickTime(); }
    RootControl* getRootControl() const override;
    int showMessage(const std::string& text, int buttons, const std::string& title = std::string()) override;
    void closePopupMenus() override;
    bool openDocument(const std::string& path) override { return system_.openDocument(path); }
    bool openWebAddress(const std::string& address) override { return system_.openWebAddress(address); }
    const MillisecondClock& clock() const override { return system_.clock(); }

    void setMessageHook(WindowMessageHook* hook);
    // Hands the drawing to the renderer and marks the user interface accelerated.
    void setRenderer(std::unique_ptr<Renderer> renderer);
    Renderer* renderer() const { return renderer_.get(); }

    native::WindowSystem& windowSystem() const { return system_; }
    native::Window& window() const { return *window_; }
    WindowControl* windowControl() const { return root_; }

    // Runs a modal platform loop with the root control's lock released completely, taking it
    // back with the saved depth afterwards.
    template <typename F>
    auto runModal(F&& loop) {
        const int depth = beginModal();
        auto result = loop();
        endModal(depth);
        return result;
    }
    int beginModal();
    void endModal(int depth);

    // Platform timer bookkeeping for WindowTimer; ids start at 2 (1 is housekeeping).
    int allocateTimerId() { return nextTimerId_++; }
    void timerStarted(int id, WindowTimer* timer) { runningTimers_[id] = timer; }
    void timerStopped(int id) { runningTimers_.erase(id); }
    size_t runningTimerCount() const { return runningTimers_.size(); }

    // Called by the root control's destructor.
    void rootDestroyed() { root_ = nullptr; }
    // Kept by WindowPopupMenu while it is shown, for closePopupMenus.
    void menuOpened(WindowPopupMenu* menu) { shownMenus_.push_back(menu); }
    void menuClosed(WindowPopupMenu* menu) { std::erase(shownMenus_, menu); }

private:
    void pointerMoved(const native::PointerMessage& message) override;
    void buttonPressed(const native::ButtonMessage& message) override;
    void buttonReleased(const native::ButtonMessage& message) override;
    void wheelTurned(const native::WheelMessage& message) override;
    void mouseInteractionCancelled() override;
    void timerFired(int id) override;
    void paintRequested(const Rect& area) override;
    void boundsChanged(const Rect& bounds) override;
    // Runs a message's handling on the root, holding the root's lock in accelerated mode.
    template <typename F>
    void handleMessage(F&& handler);

    native::WindowSystem& system_;
    std::unique_ptr<native::Window> window_;
    WindowControl* root_ = nullptr;
    int nextTimerId_ = 2;
    std::map<int, WindowTimer*> runningTimers_;
    std::vector<WindowPopupMenu*> shownMenus_;
    std::unique_ptr<Renderer> renderer_;
};

}  // namespace gui
