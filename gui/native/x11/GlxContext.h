#pragma once

#include <memory>

#include "gui/gl/GlContext.h"

struct _XDisplay;

namespace gui {
class WindowInterface;
}

namespace gui::native {

class X11Window;
class X11WindowSystem;

// An OpenGL context drawing into one of our X windows through GLX, on a connection of its own so
// that the render thread never shares the UI thread's.
class GlxContext : public GlContext {
public:
    // Null when GLX offers no double-buffered RGB configuration for the window's visual.
    static std::unique_ptr<GlxContext> create(X11WindowSystem& system, X11Window& window);
    ~GlxContext() override;

    bool makeCurrent() override;
    void release() override;
    void swapBuffers() override;
    bool disableSwapWait() override;
    void* procAddress(const char* name) override;
    int width() const override { return width_; }
    int height() const override { return height_; }

private:
    GlxContext() = default;

    _XDisplay* display_ = nullptr;
    unsigned long window_ = 0;
    void* context_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};

// Switches the window of the user interface (an X11 window) to OpenGL drawing when GLX gives a
// context that passes the renderer's test; answers whether it did. Silent either way.
bool enableGlxAcceleration(WindowInterface& ui, X11WindowSystem& system, int setting = 1);

}  // namespace gui::native
