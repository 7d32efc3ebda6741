#pragma once

#include <cstdint>
#include <map>
#include <memory>

#include "gui/UserInterface.h"
#include "host/aax/sdk/AAX_CEffectGUI.h"
#include "interface/EditorHost.h"

class AaxWindowsMessageHook;
class GenericPlugin;
class GenericPluginInterface;

namespace gui {
class WindowInterface;
namespace native {
class WindowSystem;
class X11WindowSystem;
}  // namespace native
}  // namespace gui

// The editor of one instance inside the host's view container: a toolkit window as a child of the
// container's native window, the product's editor on it, and the relay between the two. Edits go
// to the host as touch, values (through the parameters object) and release; the editor's size
// comes from the plug-in; a press on a parameter's control is offered to the host first; the host's
// modifier keys are merged into the toolkit's. Everything is [ui], on the host's UI thread.
class AaxWindowsEditor : public AAX_CEffectGUI, public gui::UserInterface::MouseHook, public EditorHost {
public:
    // The GUI procedure of the effect description.
    static AAX_CEffectGUI* create();

    // The window system editors open their windows in, owned by the caller and pumped by it (an
    // in-process host, a test). None: each editor connects to the X display itself and handles
    // its events from TimerWakeup.
    static void setWindowSystem(gui::native::WindowSystem* system);

    AaxWindowsEditor();
    ~AaxWindowsEditor() override;

    // (vertical, horizontal) = the plug-in's editor height and width.
    AAX_Result GetViewSize(AAX_Point& size) const override;
    AAX_Result TimerWakeup() override;

    // gui::UserInterface::MouseHook: true lets the toolkit handle the press.
    bool mousePressed(int button, gui::Point windowPoint, int flags) override;

    // EditorHost.
    void editBegan(int parameter) override;
    void editEnded(int parameter) override;
    bool resizeRequested(int width, int height) override;
    // The parameters object runs the plug-in's deferred work on its own thread.
    bool performsDeferredWork() const override { return true; }

    // The host's modifier bits for the toolkit's flags of a press.
    static uint32_t hostModifiers(int flags);

    GenericPlugin* plugin() const { return plugin_; }
    gui::WindowInterface* window() const { return window_.get(); }
    GenericPluginInterface* editor() const { return interface_.get(); }

protected:
    void CreateViewContents() override;
    void CreateViewContainer() override;
    void DeleteViewContainer() override;

private:
    // Ends a press the user still holds, as the platform does when the window loses the mouse.
    void cancelHeldPress();

    GenericPlugin* plugin_ = nullptr;
    std::unique_ptr<gui::native::X11WindowSystem> ownSystem_;
    std::unique_ptr<gui::WindowInterface> window_;
    std::unique_ptr<AaxWindowsMessageHook> messageHook_;
    std::unique_ptr<GenericPluginInterface> interface_;
    // Touched parameters not yet released, with the number of open touches each.
    std::map<int, int> openEdits_;
};
