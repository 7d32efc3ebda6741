#include "gui/native/WindowInterface.h"

#include <bit>

#include "gui/Bitmap.h"
#include "gui/OpenSaveDialog.h"
#include "gui/PopupMenu.h"
#include "gui/SelectFolderDialog.h"
#include "gui/Text.h"
#include "gui/native/WindowControl.h"
#include "gui/native/WindowOpenSaveDialog.h"
#include "gui/native/WindowPopupMenu.h"
#include "gui/native/WindowSelectFolderDialog.h"
#include "gui/native/WindowTextEditor.h"
#include "gui/native/WindowTimer.h"

namespace gui {

WindowInterface::WindowInterface(native::WindowSystem& system, void* parentWindow, const Rect& bounds)
    : system_(system), window_(system.createWindow(parentWindow, bounds, *this)) {
    root_ = new WindowControl(*this, *window_);
    root_->bounds = bounds;
}

WindowInterface::~WindowInterface() {
    // The render thread stops before anything it draws goes.
    renderer_.reset();
    // Components go first, while the window they may still talk to exists.
    destroyComponents();
    window_.reset();
}

template <typename F>
void WindowInterface::handleMessage(F&& handler) {
    WindowControl* root = root_;
    if (!root) return;
    const std::shared_ptr<RootControl::AliveToken> token = root->aliveToken();
    const bool lock = accelerated;
    if (lock) root->enterMessage();
    handler(*root);
    if (lock && token->alive) root->leaveMessage();
}

void WindowInterface::pointerMoved(const native::PointerMessage& m) {
    handleMessage([&](WindowControl& r) { r.pointerMoved(m); });
}
void WindowInterface::buttonPressed(const native::ButtonMessage& m) {
    handleMessage([&](WindowControl& r) { r.buttonPressed(m); });
}
void WindowInterface::buttonReleased(const native::ButtonMessage& m) {
    handleMessage([&](WindowControl& r) { r.buttonReleased(m); });
}
void WindowInterface::wheelTurned(const native::WheelMessage& m) {
    handleMessage([&](WindowControl& r) { r.wheelTurned(m); });
}
void WindowInterface::mouseInteractionCancelled() {
    handleMessage([&](WindowControl& r) { r.cancelMode(); });
}
void WindowInterface::timerFired(int id) {
    if (id == WindowControl::kHousekeepingTimerId) {
        handleMessage([&](WindowControl& r) { r.housekeeping(); });
        return;
    }
    handleMessage([&](WindowControl&) {
        if (auto it = runningTimers_.find(id); it != runningTimers_.end()) it->second->fire();
    });
}
void WindowInterface::paintRequested(const Rect& area) {
    if (renderer_) {
        renderer_->paintRequested(area);
        return;
    }
    handleMessage([&](WindowControl& r) { r.paintWindow(area); });
}

void WindowInterface::setRenderer(std::unique_ptr<Renderer> renderer) {
    renderer_ = std::move(renderer);
    accelerated = renderer_ != nullptr;
}

void WindowInterface::boundsChanged(const Rect& bounds) {
    handleMessage([&](WindowControl& r) { r.bounds = bounds; });
}

int WindowInterface::beginModal() {
    return root_ ? root_->releaseLockCompletely() : 0;
}

void WindowInterface::endModal(int depth) {
    if (root_) root_->restoreLock(depth);
}

void WindowInterface::setMessageHook(WindowMessageHook* hook) {
    if (root_) root_->setMessageHook(hook);
}

RootControl* WindowInterface::getRootControl() const {
    return root_;
}

std::unique_ptr<Bitmap> WindowInterface::createBitmap() {
    return system_.createBitmap();
}

std::unique_ptr<OpenSaveDialog> WindowInterface::createOpenDialog() {
    return std::make_unique<WindowOpenSaveDialog>(*this, false);
}

std::unique_ptr<OpenSaveDialog> WindowInterface::createSaveDialog() {
    return std::make_unique<WindowOpenSaveDialog>(*this, true);
}

std::unique_ptr<PopupMenu> WindowInterface::createPopupMenu() {
    return std::make_unique<WindowPopupMenu>(*this);
}

std::unique_ptr<SelectFolderDialog> WindowInterface::createSelectFolderDialog() {
    return std::make_unique<WindowSelectFolderDialog>(*this);
}

std::unique_ptr<Text> WindowInterface::createText() {
    return system_.createText();
}

TextEditor* WindowInterface::createTextEditor() {
    return new WindowTextEditor(*this);
}

Timer* WindowInterface::createTimer() {
    return new WindowTimer(*this);
}

void WindowInterface::closePopupMenus() {
    // Innermost first; a cancelled menu stays listed until its show returns.
    for (auto it = shownMenus_.rbegin(); it != shownMenus_.rend(); ++it) (*it)->cancel();
}

int WindowInterface::showMessage(const std::string& text, int buttons, const std::string&) {
    if (!isUiThread()) return 1;
    const native::MessageBoxStyle style = (buttons & 2) ? native::OkCancel : native::OkOnly;
    const char* caption =
        std::popcount(static_cast<unsigned>(buttons & 3)) > 1 ? "Confirmation" : "Information";
    const native::MessageBoxResult result =
        runModal([&] { return system_.messageBox(*window_, text, caption, style); });
    return result == native::ResultCancel ? 1 : 0;
}

}  // namespace gui
