#include "gui/gl/RenderThread.h"

#include <algorithm>
#include <chrono>

#include "gui/RootControl.h"
#include "gui/UserInterface.h"

namespace gui {

int RenderThread::frameRate(int setting) {
    switch (setting & 0xf) {
        case 2:
            return 30;
        case 3:
            return 20;
        default:
            return 60;
    }
}

int RenderThread::skipCount(double periodMs, double refreshMs) {
    if (refreshMs <= 0) return 0;
    int n = 0;
    while (periodMs > (n + 1.5) * refreshMs && n < 100) ++n;
    return n;
}

RenderThread::RenderThread(UserInterface& ui, RootControl& root, Target& target, int setting, FrameClock* clock)
    : ui_(ui), root_(root), target_(target), clock_(clock), periodMs_(1000.0 / frameRate(setting)) {}

RenderThread::~RenderThread() {
    stop();
}

void RenderThread::start() {
    if (thread_.joinable()) return;
    stopping_ = false;
    // Raising the priority needs privileges a plug-in does not have here: an ordinary thread.
    thread_ = std::thread([this] { run(); });
}

void RenderThread::stop() {
    if (!thread_.joinable()) return;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

double RenderThread::now() {
    if (clock_) return clock_->nowMs();
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

bool RenderThread::waitForStop(double ms) {
    if (clock_) {
        if (ms > 0) clock_->sleepMs(ms);
        std::lock_guard<std::mutex> lock(mutex_);
        return stopping_;
    }
    std::unique_lock<std::mutex> lock(mutex_);
    wake_.wait_for(lock, std::chrono::duration<double, std::milli>(ms), [this] { return stopping_; });
    return stopping_;
}

void RenderThread::pause(double ms) {
    if (clock_)
        clock_->sleepMs(ms);
    else
        std::this_thread::sleep_for(std::chrono::duration<double, std::milli>(ms));
}

RenderThread::Frame RenderThread::renderFrame() {
    Frame frame = Frame::Idle;
    root_.enter();
    ui_.processEvents();
    ui_.tickFrameTimers();
    const bool exposed = exposed_.exchange(false);
    // The context is only made current for a frame that draws: an idle editor costs no context
    // switches.
    if ((exposed || !root_.pendingWindowRect().isEmpty()) && target_.isVisible()) {
        if (target_.makeCurrent()) {
            target_.drawFrame(root_, root_.localRect());
            root_.takePendingWindowRect();
            frame = Frame::Drawn;
        } else {
            if (exposed) exposed_.store(true);
            frame = Frame::NoContext;
        }
    }
    root_.leave();
    return frame;
}

void RenderThread::run() {
    double refresh = periodMs_, lastBlank = 0;
    auto timing = [&](double& period, double& blank) {
        return clock_ ? clock_->displayTiming(period, blank) : target_.displayTiming(period, blank);
    };
    const bool displayTiming = timing(refresh, lastBlank);
    const int skip = displayTiming ? skipCount(periodMs_, refresh) : 0;
    double timeout = 0;
    for (int iteration = 0; !waitForStop(timeout); ++iteration) {
        const double start = now();
        bool drew = false;
        if (iteration % (skip + 1) == 0) {
            const Frame frame = renderFrame();
            if (frame == Frame::NoContext) {
                timeout = 100;
                continue;
            }
            drew = frame == Frame::Drawn;
            rendered_.fetch_add(1);
        }
        const double renderTime = now() - start;
        double late = 0;
        if (displayTiming) {
            // Present a little after a new vertical blank, not just before the next one.
            double blank = lastBlank;
            for (int i = 0; i < 50; ++i) {
                double p = refresh, b = blank;
                if (!timing(p, b)) break;
                if (b != lastBlank) {
                    blank = b;
                    break;
                }
                pause(1);
            }
            lastBlank = blank;
            const double since = now() - blank;
            if (since > 6.5)
                late = since - 6.0;
            else
                while (now() - blank < 6.0) pause(1);
        }
        if (drew) {
            target_.swapBuffers();
            target_.release();
            drawn_.fetch_add(1);
        }
        iterations_.fetch_add(1);
        timeout = std::clamp(refresh - renderTime - late, 5.0, 100.0);
    }
    if (target_.makeCurrent()) {
        target_.shutdown();
        target_.release();
    }
}

}  // namespace gui
