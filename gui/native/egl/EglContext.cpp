#include "gui/native/egl/EglContext.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>

#include "gui/gl/GlCapabilities.h"

namespace gui::native {

namespace {

EGLDisplay headlessDisplay() {
    const char* clientExtensions = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
    if (clientExtensions && GlCapabilities::containsWord(clientExtensions, "EGL_MESA_platform_surfaceless")) {
        auto getPlatformDisplay =
            reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
        if (getPlatformDisplay) {
            EGLDisplay d = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
            if (d != EGL_NO_DISPLAY) return d;
        }
    }
    return eglGetDisplay(EGL_DEFAULT_DISPLAY);
}

}  // namespace

std::unique_ptr<EglContext> EglContext::createHeadless(int width, int height) {
    EGLDisplay display = headlessDisplay();
    if (display == EGL_NO_DISPLAY || !eglInitialize(display, nullptr, nullptr)) return nullptr;
    std::unique_ptr<EglContext> c(new EglContext);
    c->display_ = display;
    c->width_ = width;
    c->height_ = height;
    if (!eglBindAPI(EGL_OPENGL_API)) return nullptr;
    const EGLint configAttributes[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
                                       EGL_RED_SIZE, 8, EGL_GREEN_SIZE, 8, EGL_BLUE_SIZE, 8, EGL_ALPHA_SIZE, 8,
                                       EGL_NONE};
    EGLConfig config;
    EGLint count = 0;
    if (!eglChooseConfig(display, configAttributes, &config, 1, &count) || count < 1) return nullptr;
    const EGLint surfaceAttributes[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
    c->surface_ = eglCreatePbufferSurface(display, config, surfaceAttributes);
    if (c->surface_ == EGL_NO_SURFACE) return nullptr;
    c->context_ = eglCreateContext(display, config, EGL_NO_CONTEXT, nullptr);
    if (c->context_ == EGL_NO_CONTEXT) return nullptr;
    return c;
}

EglContext::~EglContext() {
    if (!display_) return;
    eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (context_ && context_ != EGL_NO_CONTEXT) eglDestroyContext(display_, context_);
    if (surface_ && surface_ != EGL_NO_SURFACE) eglDestroySurface(display_, surface_);
    // The display stays initialised: other contexts of the process may share it.
}

bool EglContext::makeCurrent() {
    return eglMakeCurrent(display_, surface_, surface_, context_) == EGL_TRUE;
}

void EglContext::release() {
    eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
}

void EglContext::swapBuffers() {
    eglSwapBuffers(display_, surface_);
}

bool EglContext::disableSwapWait() {
    // Swap control is part of EGL itself.
    return eglSwapInterval(display_, 0) == EGL_TRUE;
}

void* EglContext::procAddress(const char* name) {
    return reinterpret_cast<void*>(eglGetProcAddress(name));
}

}  // namespace gui::native
