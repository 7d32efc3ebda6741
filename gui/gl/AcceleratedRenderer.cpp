#include "gui/gl/AcceleratedRenderer.h"

#include "gui/Canvas.h"
#include "gui/RootControl.h"
#include "gui/gl/GlCapabilities.h"

namespace gui {

std::unique_ptr<AcceleratedRenderer> AcceleratedRenderer::create(WindowInterface& ui,
                                                                  std::unique_ptr<GlContext> context, int setting,
                                                                  FrameClock* clock) {
    if (!context || !context->makeCurrent()) return nullptr;
    const bool capable = GlCapabilities::query(*context).sufficient(setting);
    context->release();
    if (!capable) return nullptr;
    return std::unique_ptr<AcceleratedRenderer>(new AcceleratedRenderer(ui, std::move(context), setting, clock));
}

AcceleratedRenderer::AcceleratedRenderer(WindowInterface& ui, std::unique_ptr<GlContext> context, int setting,
                                         FrameClock* clock)
    : ui_(ui), context_(std::move(context)), thread_(ui, *ui.getRootControl(), *this, setting, clock) {}

AcceleratedRenderer::~AcceleratedRenderer() {
    // A frame may be waiting for the root's lock: give it up while the thread winds down.
    RootControl* root = ui_.getRootControl();
    const int depth = root ? root->releaseLockCompletely() : 0;
    thread_.stop();
    if (root) root->restoreLock(depth);
}

void AcceleratedRenderer::paintRequested(const Rect&) {
    thread_.requestFrame();
    thread_.start();
}

void AcceleratedRenderer::drawFrame(RootControl& root, const Rect& local) {
    if (!initialised_) initialised_ = renderer_.initialise(*context_);
    renderer_.beginFrame(local.width(), local.height());
    Canvas canvas(&renderer_);
    canvas.setOrigin({0, 0});
    canvas.setClip(local);
    root.paintTree(canvas);
    renderer_.endFrame();
}

bool enableAcceleration(WindowInterface& ui, std::unique_ptr<GlContext> context, int setting) {
    if (setting == 0) return false;
    auto renderer = AcceleratedRenderer::create(ui, std::move(context), setting);
    if (!renderer) return false;
    ui.setRenderer(std::move(renderer));
    return true;
}

}  // namespace gui
