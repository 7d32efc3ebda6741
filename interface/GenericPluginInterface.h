#pragma once

class EditorHost;
class GenericPlugin;

namespace gui {
class UserInterface;
}

// The host-neutral editor frame over one plug-in instance, in one user interface. [ui]
// (A first stand-in: the frame itself is being built.)
class GenericPluginInterface {
public:
    GenericPluginInterface(GenericPlugin& plugin, gui::UserInterface& ui, EditorHost& host)
        : plugin_(plugin), ui_(ui), host_(host) {}
    virtual ~GenericPluginInterface() = default;
    GenericPluginInterface(const GenericPluginInterface&) = delete;
    GenericPluginInterface& operator=(const GenericPluginInterface&) = delete;

    GenericPlugin& plugin() const { return plugin_; }
    gui::UserInterface& userInterface() const { return ui_; }
    EditorHost& host() const { return host_; }

private:
    GenericPlugin& plugin_;
    gui::UserInterface& ui_;
    EditorHost& host_;
};
