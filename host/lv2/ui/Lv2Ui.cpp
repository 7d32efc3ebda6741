#include "host/lv2/ui/Lv2Ui.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <lv2/instance-access/instance-access.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <exception>

#include "gui/native/WindowInterface.h"
#include "gui/native/x11/GlxContext.h"
#include "gui/native/x11/X11Window.h"
#include "gui/native/x11/X11WindowSystem.h"
#include "host/lv2/Lv2PortLayout.h"
#include "interface/LorimaneEditor.h"
#include "persistence/PersistenceGlobals.h"
#include "platform/AsyncEventQueue.h"

namespace {
// The process-wide graphics mode (a maker-wide override wins over the user's setting).
int graphicsMode() {
    if (PersistenceGlobals* globals = PersistenceGlobals::instance()) return globals->settingsState().graphicsMode;
    GenericPlugin::SharedSettings* shared = GenericPlugin::sharedSettings();
    return shared ? shared->graphicsAcceleration.get() : 1;
}

// Hosts that wrap the window read its size from the hints: the editor's sizes are its own.
void setFixedSize(Display* display, unsigned long window, int width, int height) {
    XSizeHints* size = XAllocSizeHints();
    size->flags = PSize | PMinSize | PMaxSize;
    size->width = size->min_width = size->max_width = width;
    size->height = size->min_height = size->max_height = height;
    XSetWMNormalHints(display, window, size);
    XFree(size);
}

// A mirror never processes audio; the changes its editor queues for the audio thread are taken
// off the queue here so that it does not grow.
void drainQueuedChanges(GenericPlugin& plugin) { plugin.process(nullptr, 0, nullptr, 0, 0); }
}  // namespace

std::unique_ptr<Lv2Ui> Lv2Ui::create(const LV2_Feature* const* features, LV2UI_Write_Function write,
                                     LV2UI_Controller controller, Lv2Plugin::PluginFactory factory,
                                     std::string& error) {
    std::unique_ptr<Lv2Ui> self(new Lv2Ui());
    self->write_ = write;
    self->controller_ = controller;
    void* parent = nullptr;
    for (int i = 0; features && features[i]; ++i) {
        const char* uri = features[i]->URI;
        void* data = features[i]->data;
        if (std::strcmp(uri, LV2_UI__parent) == 0) parent = data;
        if (std::strcmp(uri, LV2_UI__resize) == 0) self->resize_ = static_cast<const LV2UI_Resize*>(data);
        if (std::strcmp(uri, LV2_UI__touch) == 0) self->touch_ = static_cast<const LV2UI_Touch*>(data);
        if (std::strcmp(uri, LV2_INSTANCE_ACCESS_URI) == 0) self->instance_ = static_cast<Lv2Plugin*>(data);
    }
    if (self->instance_) {
        self->plugin_ = &self->instance_->plugin();
    } else {
        if (!factory) {
            error = "the plug-in cannot be created";
            return nullptr;
        }
        try {
            self->mirror_ = factory();
        } catch (const std::exception& e) {
            error = e.what();
            return nullptr;
        }
        // The rate does not matter: the mirror never processes audio.
        self->mirror_->setSampleRate(48000.0f);
        self->plugin_ = self->mirror_.get();
    }

    GenericPlugin& plugin = *self->plugin_;
    const int count = plugin.getParameterCount();
    self->parameterOfSlot_ = Lv2PortLayout(plugin).parameters();
    self->slotOfParameter_.assign(std::size_t(count), -1);
    for (std::size_t slot = 0; slot < self->parameterOfSlot_.size(); ++slot)
        self->slotOfParameter_[std::size_t(self->parameterOfSlot_[slot])] = static_cast<int>(slot);
    for (int i = 0; i < count; ++i) {
        float value = plugin.getParameter(i)->value();
        self->seen_.push_back(value);
        self->hostHolds_.push_back(value);
    }

    // Without a parent the window opens when the host shows it.
    if (parent && !self->open(reinterpret_cast<uintptr_t>(parent), error)) return nullptr;
    return self;
}

Lv2Ui::~Lv2Ui() { close(); }

bool Lv2Ui::open(unsigned long parent, std::string& error) {
    system_ = gui::native::X11WindowSystem::open();
    if (!system_) {
        error = "cannot open the X display";
        return false;
    }
    parent_ = parent;
    closed_ = false;
    // Work posted to this thread's queues (the editor's notices) is delivered in idle.
    queue_ = AsyncEventQueue::create();
    system_->watch(queue_->eventFd(), [] { AsyncEventQueue::dispatchForCurrentThread(); });

    GenericPlugin& plugin = *plugin_;
    int width = plugin.getEditorWidth(), height = plugin.getEditorHeight();
    if (width <= 0 || height <= 0) {
        width = plugin.getDefaultEditorWidth() > 0 ? plugin.getDefaultEditorWidth() : 640;
        height = plugin.getDefaultEditorHeight() > 0 ? plugin.getDefaultEditorHeight() : 320;
    }
    ui_ = std::make_unique<gui::WindowInterface>(*system_, reinterpret_cast<void*>(parent), gui::Rect{0, 0, width, height});
    if (int mode = graphicsMode(); mode != 0) gui::native::enableGlxAcceleration(*ui_, *system_, mode);

    auto& window = static_cast<gui::native::X11Window&>(ui_->window());
    window.closeRequested = [this] { closed_ = true; };
    Display* display = system_->display();
    // The name tools and window managers find the editor by.
    XStoreName(display, window.id(), "Lorimane");
    XClassHint hint{const_cast<char*>("lorimane"), const_cast<char*>("Lorimane")};
    XSetClassHint(display, window.id(), &hint);
    setFixedSize(display, window.id(), width, height);
    system_->sync();

    editor_ = createLorimaneEditor(plugin, *ui_, *this);
    if (resize_ && parent_) resize_->ui_resize(resize_->handle, width, height);
    return true;
}

void Lv2Ui::close() {
    editor_.reset();  // before the user interface it lives in
    ui_.reset();
    if (system_ && queue_) system_->unwatch(queue_->eventFd());
    queue_.reset();
    system_.reset();
}

unsigned long Lv2Ui::windowId() const {
    return ui_ ? static_cast<gui::native::X11Window&>(ui_->window()).id() : 0;
}

uint32_t Lv2Ui::portOf(int parameter) const {
    return Lv2Plugin::kFirstParameter + static_cast<uint32_t>(slotOfParameter_[std::size_t(parameter)]);
}

void Lv2Ui::portEvent(uint32_t port, uint32_t size, uint32_t format, const void* buffer) {
    if (format != 0 || size != sizeof(float) || !buffer || port < Lv2Plugin::kFirstParameter) return;
    const std::size_t slot = port - Lv2Plugin::kFirstParameter;
    if (slot >= parameterOfSlot_.size()) return;
    const int index = parameterOfSlot_[slot];
    float value;
    std::memcpy(&value, buffer, sizeof value);
    if (!std::isfinite(value)) return;
    AbstractPluginParameter* p = plugin_->getParameter(index);
    const float plain = Lv2Plugin::plainValue(*p, value);
    hostHolds_[std::size_t(index)] = plain;
    // The running instance takes the port's value in its next block; the mirror takes it here.
    if (mirror_ && p->value() != plain) p->setValue(plain, FromHost);
}

void Lv2Ui::writeChangedPorts() {
    if (!write_) return;
    for (std::size_t i = 0; i < seen_.size(); ++i) {
        AbstractPluginParameter* p = plugin_->getParameter(static_cast<int>(i));
        const float value = p->value();
        if (value == seen_[i]) continue;
        seen_[i] = value;
        // A change the host made (its port moved, the instance took it) goes back to nobody.
        if (value == hostHolds_[i] || slotOfParameter_[i] < 0) continue;
        hostHolds_[i] = value;
        const float port = Lv2Plugin::portValue(*p, value);
        write_(controller_, portOf(static_cast<int>(i)), sizeof port, 0, &port);
    }
}

int Lv2Ui::idle() {
    if (system_ && !system_->processEvents(0)) closed_ = true;  // the display went away
    if (mirror_) drainQueuedChanges(*mirror_);
    writeChangedPorts();
    return closed_ ? 1 : 0;
}

int Lv2Ui::show() {
    if (ui_) return 0;
    std::string error;
    if (!open(0, error)) {
        close();
        return 1;
    }
    return 0;
}

int Lv2Ui::hide() {
    // Only a window of its own goes; the host's parent window keeps an embedded editor.
    if (!parent_) close();
    return 0;
}

void Lv2Ui::editBegan(int parameter) {
    writeChangedPorts();  // what came before the gesture reaches the host before its touch
    if (touch_ && parameter >= 0 && parameter < static_cast<int>(slotOfParameter_.size()) &&
        slotOfParameter_[std::size_t(parameter)] >= 0)
        touch_->touch(touch_->handle, portOf(parameter), true);
}

void Lv2Ui::editEnded(int parameter) {
    writeChangedPorts();  // the gesture's last value before its release
    if (touch_ && parameter >= 0 && parameter < static_cast<int>(slotOfParameter_.size()) &&
        slotOfParameter_[std::size_t(parameter)] >= 0)
        touch_->touch(touch_->handle, portOf(parameter), false);
}

bool Lv2Ui::resizeRequested(int width, int height) {
    if (width <= 0 || height <= 0 || !ui_) return false;
    // An embedded window grows only when the host can make room for it.
    if (parent_ && !resize_) return false;
    gui::native::Window& window = ui_->window();
    const gui::Rect b = window.bounds();
    window.setBounds(gui::Rect{b.left, b.top, b.left + width, b.top + height});
    setFixedSize(system_->display(), windowId(), width, height);
    system_->sync();
    if (resize_ && parent_) resize_->ui_resize(resize_->handle, width, height);
    return true;
}

bool Lv2Ui::performsDeferredWork() const {
    // The running instance hands its deferred work to the host's worker when it has one; the
    // editor's timer does it otherwise. A mirror receives no MIDI, so it has none.
    return instance_ ? instance_->hasWorker() : true;
}

const LV2UI_Idle_Interface* Lv2Ui::idleInterface() {
    static const LV2UI_Idle_Interface interface = {[](LV2UI_Handle h) { return static_cast<Lv2Ui*>(h)->idle(); }};
    return &interface;
}

const LV2UI_Show_Interface* Lv2Ui::showInterface() {
    static const LV2UI_Show_Interface interface = {[](LV2UI_Handle h) { return static_cast<Lv2Ui*>(h)->show(); },
                                                   [](LV2UI_Handle h) { return static_cast<Lv2Ui*>(h)->hide(); }};
    return &interface;
}
