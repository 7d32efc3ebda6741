#pragma once

#include <memory>

#include "gui/gl/GlContext.h"
#include "gui/gl/GlRenderer.h"
#include "gui/gl/RenderThread.h"
#include "gui/native/WindowInterface.h"

namespace gui {

// Draws a window's tree through OpenGL on a render thread instead of the software back buffer.
// The thread starts with the window's first paint request and stops when this object goes.
class AcceleratedRenderer : public WindowInterface::Renderer, private RenderThread::Target {
public:
    // Tests the context once (made current here, released afterwards); null when it lacks what the
    // renderer needs, and the caller keeps drawing in software. setting: "GraphicsAcceleration".
    static std::unique_ptr<AcceleratedRenderer> create(WindowInterface& ui, std::unique_ptr<GlContext> context,
                                                       int setting, FrameClock* clock = nullptr);
    ~AcceleratedRenderer() override;

    void paintRequested(const Rect& area) override;

    RenderThread& thread() { return thread_; }
    GlContext& context() { return *context_; }

private:
    AcceleratedRenderer(WindowInterface& ui, std::unique_ptr<GlContext> context, int setting, FrameClock* clock);

    bool makeCurrent() override { return context_->makeCurrent(); }
    void release() override { context_->release(); }
    void swapBuffers() override { context_->swapBuffers(); }
    void drawFrame(RootControl& root, const Rect& local) override;
    void shutdown() override { renderer_.releaseTextures(); }
    bool displayTiming(double& periodMs, double& lastBlankMs) override {
        return context_->displayTiming(periodMs, lastBlankMs);
    }

    WindowInterface& ui_;
    std::unique_ptr<GlContext> context_;
    GlRenderer renderer_;
    bool initialised_ = false;
    RenderThread thread_;
};

// Switches the window to the accelerated renderer when the context passes the test; answers
// whether it did. Nothing is shown to the user either way.
bool enableAcceleration(WindowInterface& ui, std::unique_ptr<GlContext> context, int setting = 1);

}  // namespace gui
