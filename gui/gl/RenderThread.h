#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "gui/Rect.h"

namespace gui {

class RootControl;
class UserInterface;

// Time for the render thread. The steady clock by default; tests inject one that only moves when
// the thread waits, so that the pacing can be followed frame by frame.
class FrameClock {
public:
    virtual ~FrameClock() = default;
    virtual double nowMs() = 0;
    // Waits; answers early only for the real clock when the thread is told to stop.
    virtual void sleepMs(double ms) = 0;
    // The display's refresh period and its last vertical blank; false without display timing.
    virtual bool displayTiming(double& periodMs, double& lastBlankMs) {
        (void)periodMs;
        (void)lastBlankMs;
        return false;
    }
};

// Draws the user interface's frames at 60, 30 or 20 frames per second on a thread of its own,
// paced to the display where its timing is known. Each frame is drawn under the root control's
// lock, so it never overlaps a window message on the UI thread.
class RenderThread {
public:
    // The context side of a frame. All calls on the render thread.
    class Target {
    public:
        virtual ~Target() = default;
        virtual bool makeCurrent() = 0;
        virtual void release() = 0;
        virtual void swapBuffers() = 0;
        virtual bool isVisible() const { return true; }
        // Paints the root's whole local rectangle; called with the root's lock held.
        virtual void drawFrame(RootControl& root, const Rect& local) = 0;
        // The thread ends: the context is current; textures go now.
        virtual void shutdown() {}
        virtual bool displayTiming(double& periodMs, double& lastBlankMs) {
            (void)periodMs;
            (void)lastBlankMs;
            return false;
        }
    };

    // The low four bits of the "GraphicsAcceleration" setting: 2 is 30 frames per second, 3 is 20,
    // anything else 60.
    static int frameRate(int setting);
    // Iterations skipped between rendered ones: the smallest n with period <= (n + 1.5) x refresh.
    static int skipCount(double periodMs, double refreshMs);

    // clock: null for the steady clock.
    RenderThread(UserInterface& ui, RootControl& root, Target& target, int setting, FrameClock* clock = nullptr);
    ~RenderThread();

    void start();
    // Tells the thread to stop and waits for it; no frame is drawn after this returns.
    void stop();
    bool isRunning() const { return thread_.joinable(); }
    // The window was exposed: the next rendered iteration draws even when nothing was invalidated.
    void requestFrame() { exposed_.store(true); }

    int iterations() const { return iterations_.load(); }
    // Iterations that rendered (whether or not anything needed drawing), and frames drawn.
    int renderedIterations() const { return rendered_.load(); }
    int framesDrawn() const { return drawn_.load(); }

private:
    enum class Frame { Idle, Drawn, NoContext };
    void run();
    Frame renderFrame();
    // Waits the timeout; answers whether the thread must stop.
    bool waitForStop(double ms);
    double now();
    void pause(double ms);

    UserInterface& ui_;
    RootControl& root_;
    Target& target_;
    FrameClock* clock_;
    double periodMs_;
    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
    std::atomic<bool> exposed_{true};
    std::atomic<int> iterations_{0};
    std::atomic<int> rendered_{0};
    std::atomic<int> drawn_{0};
};

}  // namespace gui
