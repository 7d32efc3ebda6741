#pragma once

#include <memory>

#include "gui/gl/GlContext.h"

namespace gui::native {

// An OpenGL context drawing into a pbuffer on a display without a window system (Mesa's
// surfaceless platform where offered, the default EGL display otherwise): the accelerated renderer
// without a screen, for tests and off-screen pictures.
class EglContext : public GlContext {
public:
    // Null when EGL offers no desktop OpenGL pbuffer of the size.
    static std::unique_ptr<EglContext> createHeadless(int width, int height);
    ~EglContext() override;

    bool makeCurrent() override;
    void release() override;
    void swapBuffers() override;
    bool disableSwapWait() override;
    void* procAddress(const char* name) override;
    int width() const override { return width_; }
    int height() const override { return height_; }

private:
    EglContext() = default;

    void* display_ = nullptr;
    void* surface_ = nullptr;
    void* context_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};

}  // namespace gui::native
