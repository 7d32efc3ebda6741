#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/Property.h"
#include "platform/LockFreeFifo.h"
#include "gui/Point.h"
#include "platform/IntervalTimer.h"

namespace gui {

class Bitmap;
class Component;
class OpenSaveDialog;
class PopupMenu;
class RootControl;
class SelectFolderDialog;
class Text;
class TextEditor;
class Timer;

// Owns one editor's toolkit world: every component, the background image, the cross-thread event
// queue with its deferred calls, and the hint timing. The platform layer derives from it and
// supplies the factories, the root control and the message box. [ui] (the constructing thread)
// except where an operation says otherwise.
class UserInterface : public PropertyOwner {
public:
    class Listener {
    public:
        virtual ~Listener() = default;
        virtual void eventReceived(int code, int value) = 0;
        virtual void showHint(const std::string& text) = 0;
    };

    // Sees every press first (window coordinates); answering false swallows it.
    class MouseHook {
    public:
        virtual ~MouseHook() = default;
        virtual bool mousePressed(int button, Point windowPoint, int flags) = 0;
    };

    // The general-FIFO code that runs the pending deferred calls.
    static constexpr int32_t kDeferredCallCode = static_cast<int32_t>(0xFFFF0000u);
    static constexpr int kQueueNodes = 4096;
    static constexpr int kHintDelayMs = 1500;

    UserInterface();
    ~UserInterface() override;
    UserInterface(const UserInterface&) = delete;
    UserInterface& operator=(const UserInterface&) = delete;

    // Set by the platform layer when the accelerated renderer is in use.
    Property<bool> accelerated{this, false};

    void propertyChanged(AbstractProperty*) override {}

    // Factories and platform services. Components (timers, text editors) are registered with this
    // user interface and belong to the caller, but whatever is still alive when the user interface
    // goes is deleted with it.
    virtual std::unique_ptr<Bitmap> createBitmap() = 0;
    virtual std::unique_ptr<OpenSaveDialog> createOpenDialog() = 0;
    virtual std::unique_ptr<PopupMenu> createPopupMenu() = 0;
    virtual std::unique_ptr<OpenSaveDialog> createSaveDialog() = 0;
    virtual std::unique_ptr<SelectFolderDialog> createSelectFolderDialog() = 0;
    virtual std::unique_ptr<Text> createText() = 0;
    virtual TextEditor* createTextEditor() = 0;
    virtual Timer* createTimer() = 0;
    virtual int doubleClickDistance() const = 0;
    virtual int doubleClickTime() const = 0;
    virtual RootControl* getRootControl() const = 0;
    // Buttons: bit 0 OK, bit 1 Cancel. Answers the index of the chosen button.
    virtual int showMessage(const std::string& text, int buttons,
                            const std::string& title = std::string()) = 0;
    virtual std::string modifierName(int flag) const;
    // Closes every pop-up menu of this user interface that is shown, choosing nothing; the host's
    // window does so before it is torn down.
    virtual void closePopupMenus() {}
    // The desktop's handler for a document, the browser for a web address (http or https); false
    // when refused or when nothing could be started.
    virtual bool openDocument(const std::string&) { return false; }
    virtual bool openWebAddress(const std::string&) { return false; }
    // The clock behind double-click, wheel and animation timing.
    virtual const MillisecondClock& clock() const { return MillisecondClock::monotonic(); }

    // [any] Lock-free while the FIFO has room; a full FIFO grows under a lock. An [audio] caller (the
    // plug-in's listener on the audio thread) passes mayGrow false: a full FIFO then drops the
    // event instead (the editor has stopped draining). Answers whether it was queued.
    // Parameter-change notifications go to the parameter FIFO, all others to the general.
    bool postEvent(int32_t code, int32_t value, bool parameterFifo = false, bool mayGrow = true);
    // [ui] (or the render thread under the root's lock). Drains the parameter FIFO, then the
    // general FIFO. A listener may destroy the user interface; processing then stops.
    void processEvents();
    // [ui] [worker], never [audio] (it locks and allocates). Calls the component's deferredCall (code,
    // value) later on the UI thread; the call is discarded if the component is destroyed first.
    void postDeferred(Component* component, int code, int value);

    void setHint(const std::string& text);
    void clearHint() { setHint(std::string()); }
    const std::string& hintText() const { return hintText_; }
    bool hintsEnabled() const { return hintsEnabled_; }
    void setHintsEnabled(bool enabled) { hintsEnabled_ = enabled; }

    std::string modifiersText(int flags) const;

    // Decodes the image into the background bitmap, fitted to the root control's width by repeating
    // its rightmost columns. False (and the background unchanged) when the data is not an image.
    bool setBackgroundImage(const uint8_t* data, size_t size);
    Bitmap* backgroundBitmap() const { return background_.get(); }

    void addListener(Listener* listener);
    void removeListener(Listener* listener);
    void setMouseHook(MouseHook* hook) { mouseHook_ = hook; }
    MouseHook* mouseHook() const { return mouseHook_; }

    bool isDestroying() const { return destroying_; }
    bool isUiThread() const { return std::this_thread::get_id() == uiThread_; }
    const std::vector<Component*>& components() const { return components_; }
    size_t pendingDeferredCalls() const;

    // Frame-synchronized timers of the accelerated renderer; ticked once per rendered frame.
    void addFrameTimer(Timer* timer);
    void removeFrameTimer(Timer* timer);
    void tickFrameTimers();

    // Component bookkeeping, called by Component.
    void registerComponent(Component* component);
    void unregisterComponent(Component* component);

protected:
    // Sets the destroying flag and deletes every component still alive, in creation order. The
    // platform layer calls it first in its destructor, while its window still exists.
    void destroyComponents();

private:
    struct Event {
        int32_t code;
        int32_t value;
    };
    // Shared between the user interface and a running processEvents, which keeps it alive after
    // the user interface is gone.
    struct EventQueue {
        EventQueue() : general(kQueueNodes), parameter(kQueueNodes) {}
        LockFreeFifo<Event> general;
        LockFreeFifo<Event> parameter;
        std::vector<Listener*> listeners;
        std::atomic<int> referenceCount{1};
        std::atomic<UserInterface*> owner{nullptr};
    };
    struct DeferredCall {
        Component* component;
        int code;
        int value;
    };

    static void runDeferredCalls(EventQueue* queue);
    static void drain(EventQueue* queue, LockFreeFifo<Event>& fifo);
    void hintTimerFired(void*);

    std::unique_ptr<Bitmap> background_;
    std::vector<Component*> components_;
    std::string hintText_;
    bool destroying_ = false;
    EventQueue* queue_;
    bool hintsEnabled_ = true;
    Timer* hintTimer_ = nullptr;
    MouseHook* mouseHook_ = nullptr;
    std::vector<Timer*> frameTimers_;
    mutable std::mutex deferredMutex_;
    std::deque<DeferredCall> deferred_;
    std::thread::id uiThread_;
};

}  // namespace gui
