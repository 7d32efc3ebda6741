#pragma once

namespace gui {

// An OpenGL context with a drawable (a window through GLX, a pbuffer through EGL). Created on the
// UI thread; the render thread makes it current for each frame and releases it afterwards.
class GlContext {
public:
    virtual ~GlContext() = default;
    // Makes the context current on the calling thread; false when the platform refused.
    virtual bool makeCurrent() = 0;
    virtual void release() = 0;
    virtual void swapBuffers() = 0;
    // Presents without waiting for the vertical blank; false when the platform offers no swap control.
    virtual bool disableSwapWait() = 0;
    // An entry point of the current context, or null.
    virtual void* procAddress(const char* name) = 0;
    // The drawable's size in pixels.
    virtual int width() const = 0;
    virtual int height() const = 0;
    // The display's refresh period and the time of its last vertical blank (ms on the steady
    // clock); false where the platform tells neither.
    virtual bool displayTiming(double& periodMs, double& lastBlankMs) {
        (void)periodMs;
        (void)lastBlankMs;
        return false;
    }
};

}  // namespace gui
