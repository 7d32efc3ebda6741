#pragma once

#include <lv2/core/lv2.h>
#include <lv2/ui/ui.h>

#include <memory>
#include <string>
#include <vector>

#include "host/lv2/Lv2Plugin.h"
#include "interface/EditorHost.h"

class AsyncEventQueue;
class GenericPlugin;
class GenericPluginInterface;

namespace gui {
class WindowInterface;
namespace native {
class X11WindowSystem;
}
}  // namespace gui

// The editor as an LV2 UI: an X11 window under the host's parent window, or a top-level window of
// its own when the host shows it, driven by the host's idle calls.
//
// With instance access it edits the running plug-in object; without, it edits an instance of its
// own that follows the host's control ports, so presets, undo and A/B work the same. Either way
// every parameter change, whoever made it, reaches the host as a control-port write, so hosts show,
// record and save what the editor did.
//
// [ui]: every call comes from the host's UI thread, which is also the editor's thread.
class Lv2Ui : public EditorHost {
public:
    // Null with a message when the UI cannot run. The factory makes the instance of its own when the
    // host offers no instance access.
    static std::unique_ptr<Lv2Ui> create(const LV2_Feature* const* features, LV2UI_Write_Function write,
                                         LV2UI_Controller controller, Lv2Plugin::PluginFactory factory,
                                         std::string& error);
    ~Lv2Ui() override;

    // The editor's X window; 0 while no window is open.
    unsigned long windowId() const;
    // Whether the editor works on an instance of its own (no instance access).
    bool mirrors() const { return mirror_ != nullptr; }
    GenericPlugin& plugin() const { return *plugin_; }

    // A control port's value as the host holds it (format 0, one float); other ports are ignored.
    void portEvent(uint32_t port, uint32_t size, uint32_t format, const void* buffer);
    // The idle interface: runs the window's events, timers and paints and reports parameter changes
    // to the host. Answers 1 once the window of its own was closed, 0 otherwise.
    int idle();
    // The show interface: a top-level window of its own, for hosts that give no parent.
    int show();
    int hide();

    void editBegan(int parameter) override;
    void editEnded(int parameter) override;
    bool resizeRequested(int width, int height) override;
    bool performsDeferredWork() const override;

    static const LV2UI_Idle_Interface* idleInterface();
    static const LV2UI_Show_Interface* showInterface();

private:
    Lv2Ui() = default;
    bool open(unsigned long parent, std::string& error);
    void close();
    // Writes every parameter that changed since the last call, unless the change came from the host.
    void writeChangedPorts();
    uint32_t portOf(int parameter) const;

    LV2UI_Write_Function write_ = nullptr;
    LV2UI_Controller controller_ = nullptr;
    const LV2UI_Resize* resize_ = nullptr;
    const LV2UI_Touch* touch_ = nullptr;
    Lv2Plugin* instance_ = nullptr;  // the running plug-in, with instance access
    std::unique_ptr<GenericPlugin> mirror_;
    GenericPlugin* plugin_ = nullptr;
    unsigned long parent_ = 0;  // the host's window; 0: a top-level window of its own
    bool closed_ = false;

    std::vector<int> parameterOfSlot_;  // by control port, from Lv2Plugin::kFirstParameter on
    std::vector<int> slotOfParameter_;
    std::vector<float> seen_;      // by parameter: the plain value at the last report
    std::vector<float> hostHolds_;  // by parameter: the plain value the host's port stands for

    std::unique_ptr<gui::native::X11WindowSystem> system_;
    std::unique_ptr<AsyncEventQueue> queue_;
    std::unique_ptr<gui::WindowInterface> ui_;
    std::unique_ptr<GenericPluginInterface> editor_;
};
