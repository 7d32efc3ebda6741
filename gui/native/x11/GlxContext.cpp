#include "gui/native/x11/GlxContext.h"

#include <GL/glx.h>
#include <X11/Xlib.h>

#include <string>

#include "gui/gl/AcceleratedRenderer.h"
#include "gui/gl/GlCapabilities.h"
#include "gui/native/WindowInterface.h"
#include "gui/native/x11/X11Window.h"
#include "gui/native/x11/X11WindowSystem.h"

namespace gui::native {

std::unique_ptr<GlxContext> GlxContext::create(X11WindowSystem& system, X11Window& window) {
    Display* display = XOpenDisplay(DisplayString(system.display()));
    if (!display) return nullptr;
    std::unique_ptr<GlxContext> c(new GlxContext);
    c->display_ = display;
    c->window_ = window.id();
    c->width_ = window.bounds().width();
    c->height_ = window.bounds().height();
    XWindowAttributes attributes;
    int major = 0, minor = 0;
    if (!XGetWindowAttributes(display, window.id(), &attributes) || !glXQueryVersion(display, &major, &minor) ||
        (major == 1 && minor < 3))
        return nullptr;
    const int wanted[] = {GLX_DRAWABLE_TYPE, GLX_WINDOW_BIT, GLX_RENDER_TYPE, GLX_RGBA_BIT, GLX_DOUBLEBUFFER, True,
                          GLX_RED_SIZE, 8, GLX_GREEN_SIZE, 8, GLX_BLUE_SIZE, 8, None};
    int count = 0;
    GLXFBConfig* configs = glXChooseFBConfig(display, DefaultScreen(display), wanted, &count);
    // The window keeps the visual it was created with: the configuration must draw to it.
    GLXFBConfig chosen = nullptr;
    for (int i = 0; i < count && !chosen; ++i) {
        XVisualInfo* info = glXGetVisualFromFBConfig(display, configs[i]);
        if (info && info->visualid == XVisualIDFromVisual(attributes.visual)) chosen = configs[i];
        if (info) XFree(info);
    }
    if (configs) XFree(configs);
    if (!chosen) return nullptr;
    c->context_ = glXCreateNewContext(display, chosen, GLX_RGBA_TYPE, nullptr, True);
    if (!c->context_) return nullptr;
    return c;
}

GlxContext::~GlxContext() {
    if (context_) {
        glXMakeCurrent(display_, None, nullptr);
        glXDestroyContext(display_, static_cast<GLXContext>(context_));
    }
    XCloseDisplay(display_);
}

bool GlxContext::makeCurrent() {
    return glXMakeCurrent(display_, window_, static_cast<GLXContext>(context_));
}

void GlxContext::release() {
    glXMakeCurrent(display_, None, nullptr);
}

void GlxContext::swapBuffers() {
    glXSwapBuffers(display_, window_);
}

bool GlxContext::disableSwapWait() {
    // Software GLX lists the swap control only among the client's extensions.
    std::string extensions;
    if (const char* e = glXQueryExtensionsString(display_, DefaultScreen(display_))) extensions += e;
    if (const char* e = glXGetClientString(display_, GLX_EXTENSIONS)) extensions += std::string(" ") + e;
    auto has = [&](const char* name) { return GlCapabilities::containsWord(extensions, name); };
    if (has("GLX_MESA_swap_control")) {
        using SetIntervalMesa = int (*)(unsigned int);
        auto setInterval = reinterpret_cast<SetIntervalMesa>(procAddress("glXSwapIntervalMESA"));
        if (setInterval && setInterval(0) == 0) return true;
    }
    if (has("GLX_EXT_swap_control")) {
        auto setInterval = reinterpret_cast<PFNGLXSWAPINTERVALEXTPROC>(procAddress("glXSwapIntervalEXT"));
        if (setInterval) {
            setInterval(display_, window_, 0);
            return true;
        }
    }
    return false;
}

void* GlxContext::procAddress(const char* name) {
    return reinterpret_cast<void*>(glXGetProcAddressARB(reinterpret_cast<const GLubyte*>(name)));
}

bool enableGlxAcceleration(WindowInterface& ui, X11WindowSystem& system, int setting) {
    if (setting == 0) return false;
    auto context = GlxContext::create(system, static_cast<X11Window&>(ui.window()));
    return context && enableAcceleration(ui, std::move(context), setting);
}

}  // namespace gui::native
