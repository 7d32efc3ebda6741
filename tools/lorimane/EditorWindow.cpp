#include "tools/lorimane/EditorWindow.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include "gui/native/WindowInterface.h"
#include "gui/native/x11/GlxContext.h"
#include "gui/native/x11/X11Window.h"
#include "gui/native/x11/X11WindowSystem.h"
#include "interface/LorimaneEditor.h"
#include "persistence/PersistenceGlobals.h"
#include "platform/AsyncEventQueue.h"

namespace {
std::function<void()>& displayLostHandler() {
    static std::function<void()> handler;
    return handler;
}

int displayLost(Display*) {
    if (displayLostHandler()) displayLostHandler()();
    return 0;
}

// The process-wide graphics mode (a maker-wide override wins over the user's setting).
int graphicsMode() {
    if (PersistenceGlobals* globals = PersistenceGlobals::instance()) return globals->settingsState().graphicsMode;
    GenericPlugin::SharedSettings* shared = GenericPlugin::sharedSettings();
    return shared ? shared->graphicsAcceleration.get() : 1;
}
}  // namespace

std::unique_ptr<EditorWindow> EditorWindow::open(GenericPlugin& plugin, const std::string& title, std::string& error) {
    std::unique_ptr<EditorWindow> self(new EditorWindow());
    self->system_ = gui::native::X11WindowSystem::open();
    if (!self->system_) {
        error = "cannot open the X display (DISPLAY is not set or no server answers); --no-editor runs without it";
        return nullptr;
    }
    XSetIOErrorHandler(displayLost);
    // Work posted to this thread's queues wakes the loop.
    self->queue_ = AsyncEventQueue::create();
    self->watch(self->queue_->eventFd(), [] { AsyncEventQueue::dispatchForCurrentThread(); });

    int width = plugin.getEditorWidth(), height = plugin.getEditorHeight();
    if (width <= 0 || height <= 0) {
        width = plugin.getDefaultEditorWidth() > 0 ? plugin.getDefaultEditorWidth() : 640;
        height = plugin.getDefaultEditorHeight() > 0 ? plugin.getDefaultEditorHeight() : 320;
    }
    self->ui_ = std::make_unique<gui::WindowInterface>(*self->system_, nullptr, gui::Rect{0, 0, width, height});
    int mode = graphicsMode();
    if (mode != 0) gui::native::enableGlxAcceleration(*self->ui_, *self->system_, mode);

    auto& window = static_cast<gui::native::X11Window&>(self->ui_->window());
    window.closeRequested = [system = self->system_.get()] { system->quit(); };
    // The window's name, which window managers show and tools find it by.
    XStoreName(self->system_->display(), window.id(), title.c_str());
    XClassHint hint{const_cast<char*>("lorimane"), const_cast<char*>("Lorimane")};
    XSetClassHint(self->system_->display(), window.id(), &hint);
    self->system_->sync();

    self->editor_ = createLorimaneEditor(plugin, *self->ui_, *self);
    return self;
}

EditorWindow::~EditorWindow() {
    editor_.reset();  // before the user interface it lives in
    ui_.reset();
    if (system_)
        for (int fd : watched_) system_->unwatch(fd);
}

void EditorWindow::watch(int fd, std::function<void()> ready) {
    system_->watch(fd, std::move(ready));
    watched_.push_back(fd);
}

void EditorWindow::setDisplayLostHandler(std::function<void()> handler) { displayLostHandler() = std::move(handler); }

bool EditorWindow::run() { return system_->runUntil(nullptr); }

void EditorWindow::quit() { system_->quit(); }

bool EditorWindow::resizeRequested(int width, int height) {
    if (width <= 0 || height <= 0) return false;
    gui::native::Window& window = ui_->window();
    gui::Rect b = window.bounds();
    window.setBounds(gui::Rect{b.left, b.top, b.left + width, b.top + height});
    return true;
}
