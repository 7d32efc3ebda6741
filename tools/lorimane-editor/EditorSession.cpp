#include "tools/lorimane-editor/EditorSession.h"

#include <algorithm>
#include <cmath>

#include "engine/LorimanePlugin.h"
#include "engine/LorimaneSettings.h"
#include "gui/Control.h"
#include "gui/native/WindowControl.h"
#include "gui/native/WindowInterface.h"
#include "gui/native/headless/HeadlessWindowSystem.h"
#include "gui/native/x11/X11Window.h"
#include "gui/native/x11/X11WindowSystem.h"
#include "interface/LorimaneEditor.h"
#include "platform/AsyncEventQueue.h"
#include "product/ProductPlugin.h"
#include "tools/lorimane-preset/PresetFile.h"
#include "tools/lorimane-render/RenderCommand.h"
#include "tools/png-writer/PngWriter.h"

using namespace gui::native;

namespace {

constexpr double kTempo = 120.0;

}  // namespace

EditorSession::EditorSession(std::unique_ptr<GenericPlugin> plugin, bool refusesResize)
    : plugin_(std::move(plugin)), refusesResize_(refusesResize) {}

std::unique_ptr<EditorSession> EditorSession::open(const Options& o, std::ostream& out, std::string& error) {
    std::unique_ptr<GenericPlugin> plugin;
    try {
        plugin = makeProductPlugin();
    } catch (const std::exception& e) {
        error = std::string("the plug-in cannot start: ") + e.what();
        return nullptr;
    }
    plugin->setSampleRate(static_cast<float>(o.sampleRate));

    // The editor's size follows the instance's layout settings, so they come before the window.
    auto* layout = dynamic_cast<LorimaneSettings*>(&plugin->settings());
    if (!layout && (o.wide || o.modulation)) {
        error = "this plug-in has no editor layout settings";
        return nullptr;
    }
    if (!o.preset.empty()) {
        auto* product = dynamic_cast<LorimanePlugin*>(plugin.get());
        std::string file;
        int kind = -1;
        if (!product) {
            error = "--preset: this plug-in does not read preset files";
            return nullptr;
        }
        if (!findPresetFile(o.preset, file, error) || !loadAnyPreset(*product, file, kind, error)) {
            error = "--preset: " + error;
            return nullptr;
        }
    }
    for (const std::string& s : o.settings)
        if (!applySetting(*plugin, s, error)) {
            error = "--set: " + error;
            return nullptr;
        }

    std::unique_ptr<EditorSession> session(new EditorSession(std::move(plugin), o.hostRefusesResize));
    EditorSession& s = *session;
    if (o.wide) {
        s.storedLayout_ = layout->interfaceLayout.get();
        layout->interfaceLayout = *o.wide ? 1 : 0;
    }
    if (o.modulation) {
        s.storedModulation_ = layout->showModulation.get();
        layout->showModulation = *o.modulation;
    }
    s.sampleRate_ = o.sampleRate;
    s.blockLength_ = o.blockLength;
    s.silence_.assign(static_cast<size_t>(o.blockLength), 0.0f);
    s.output_.assign(2 * static_cast<size_t>(o.blockLength), 0.0f);
    {
        GenericPlugin::AudioThreadScope audio(*s.plugin_);
        s.plugin_->reset();
    }

    WindowSystem* inner = nullptr;
    if (o.headless) {
        s.headless_ = std::make_unique<HeadlessWindowSystem>();
        inner = s.headless_.get();
    } else {
        s.display_ = X11WindowSystem::open(o.display.empty() ? nullptr : o.display.c_str());
        if (!s.display_) {
            error = "cannot open the display " + (o.display.empty() ? std::string("$DISPLAY") : o.display);
            return nullptr;
        }
        // Work posted to this thread's queues wakes the loop.
        s.queue_ = AsyncEventQueue::create();
        s.display_->watch(s.queue_->eventFd(), [] { AsyncEventQueue::dispatchForCurrentThread(); });
        inner = s.display_.get();
    }
    if (!s.headless_) s.fields_ = std::make_unique<HeadlessWindowSystem>();
    s.scripted_ = std::make_unique<ScriptedWindowSystem>(*inner, s.headless_ ? *s.headless_ : *s.fields_, out);
    const int width = s.plugin_->getEditorWidth(), height = s.plugin_->getEditorHeight();
    const int origin = o.headless ? 0 : 40;
    s.ui_ = std::make_unique<gui::WindowInterface>(*s.scripted_, nullptr,
                                                   gui::Rect{origin, origin, origin + width, origin + height});
    s.ui_->setMessageHook(&s);
    if (s.display_) {
        auto& window = static_cast<X11Window&>(s.ui_->window());
        window.closeRequested = [&s] { s.closed_ = true; };
    }
    s.editor_ = createLorimaneEditor(*s.plugin_, *s.ui_, s);
    s.start_ = s.now();
    s.settle();
    return session;
}

EditorSession::~EditorSession() {
    editor_.reset();
    if (ui_) ui_->setMessageHook(nullptr);
    ui_.reset();
    // The options' layout was for this session; the user's stored choice stays.
    if (auto* layout = dynamic_cast<LorimaneSettings*>(&plugin_->settings())) {
        if (storedLayout_) layout->interfaceLayout = *storedLayout_;
        if (storedModulation_) layout->showModulation = *storedModulation_;
    }
    if (display_ && queue_) display_->unwatch(queue_->eventFd());
}

uint32_t EditorSession::now() const { return scripted_->clock().nowMs(); }

void EditorSession::advance(uint32_t ms) {
    // Steps of at most one block, so the plug-in and the editor's timers take turns as they
    // would on their own threads.
    const uint32_t step = std::max<uint32_t>(1, static_cast<uint32_t>(blockLength_ * 1000.0 / sampleRate_));
    const uint32_t until = now() + ms;
    for (;;) {
        const uint32_t remaining = until - now();
        if (remaining == 0 || remaining > ms) break;  // reached (the clock may pass it on a display)
        if (headless_) {
            headless_->advance(std::min(step, remaining));
            AsyncEventQueue::dispatchForCurrentThread();
        } else {
            if (!display_->processEvents(static_cast<int>(std::min(step, remaining)))) {
                closed_ = true;  // the display went away
                break;
            }
        }
        runAudio();
    }
    settle();
}

void EditorSession::runUntilClosed() {
    scripted_->letUserAnswer();
    while (display_ && !closed_) advance(10);
}

void EditorSession::settle() {
    if (headless_) {
        AsyncEventQueue::dispatchForCurrentThread();
        headless_->pump();
    } else {
        if (!display_->processEvents(0)) closed_ = true;
    }
}

void EditorSession::runAudio() {
    const uint64_t due = static_cast<uint64_t>(static_cast<uint32_t>(now() - start_) * sampleRate_ / 1000.0);
    bool processed = false;
    while (samples_ + static_cast<uint64_t>(blockLength_) <= due) {
        const float* ins[4] = {silence_.data(), silence_.data(), silence_.data(), silence_.data()};
        float* outs[2] = {output_.data(), output_.data() + blockLength_};
        const double quarters = samples_ / sampleRate_ * kTempo / 60.0;
        {
            GenericPlugin::AudioThreadScope audio(*plugin_);
            plugin_->setTransport(kTempo, static_cast<float>(std::fmod(quarters, 256.0)));
        }
        plugin_->process(ins, 4, outs, 2, blockLength_);
        samples_ += static_cast<uint64_t>(blockLength_);
        ++blocks_;
        processed = true;
    }
    if (processed) hostIdle();
}

// What a host's idle or worker call does after the blocks: the reports of changes made on the
// audio thread, and the work it handed off (a program change's preset load).
void EditorSession::hostIdle() {
    plugin_->deliverParameterReports();
    if (plugin_->deferredWorkPending()) plugin_->performDeferredWork();
}

void EditorSession::sendMidi(uint8_t status, uint8_t data1, uint8_t data2) {
    GenericPlugin::AudioThreadScope audio(*plugin_);
    plugin_->receiveMidi(MidiMessage{status, data1, data2, 0, 0});
}

void EditorSession::adjustModifiers(int& flags) {
    if (hostModifier_) flags |= gui::Control::HostModifier;
}

void EditorSession::movePointer(gui::Point point, int keyState) {
    if (headless_) {
        static_cast<HeadlessWindow&>(ui_->window()).moveMouse(point.x, point.y, keyState);
    } else if (WindowEvents* events = scripted_->editorEvents()) {
        events->pointerMoved(PointerMessage{point, keyState | buttons_, now()});
    }
    settle();
}

void EditorSession::pressButton(gui::Point point, int keyState) {
    if (headless_) {
        static_cast<HeadlessWindow&>(ui_->window()).pressButton(LeftButton, point.x, point.y, keyState);
    } else if (WindowEvents* events = scripted_->editorEvents()) {
        buttons_ |= ButtonLeft;
        events->buttonPressed(ButtonMessage{LeftButton, point, keyState | buttons_, now(), false});
    }
    settle();
}

void EditorSession::releaseButton(gui::Point point, int keyState) {
    if (headless_) {
        static_cast<HeadlessWindow&>(ui_->window()).releaseButton(LeftButton, point.x, point.y, keyState);
    } else if (WindowEvents* events = scripted_->editorEvents()) {
        buttons_ &= ~ButtonLeft;
        events->buttonReleased(ButtonMessage{LeftButton, point, keyState | buttons_, now(), false});
    }
    settle();
}

void EditorSession::turnWheel(int notches, gui::Point point, int keyState, bool horizontal) {
    if (headless_) {
        static_cast<HeadlessWindow&>(ui_->window()).turnWheel(static_cast<float>(notches), point.x, point.y, keyState,
                                                              horizontal);
    } else if (WindowEvents* events = scripted_->editorEvents()) {
        WheelMessage m;
        m.delta = notches * 120;
        m.horizontal = horizontal;
        m.screenPoint = ui_->window().screenOrigin() + point;
        m.keyState = keyState | buttons_;
        m.timeMs = now();
        events->wheelTurned(m);
    }
    settle();
}

bool EditorSession::writeShot(const std::string& path) {
    settle();
    const gui::Bitmap* frame = ui_->windowControl() ? ui_->windowControl()->backBuffer() : nullptr;
    return frame && !frame->isEmpty() && writePng(*frame, path);
}
