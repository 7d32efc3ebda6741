#pragma once

#include <string>

#include "gui/Point.h"

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

    // What tools and tests ask of a running editor.
    // The index of the parameter whose value control lies under the point, -1 if none.
    virtual int parameterAt(gui::Point /*point*/) const { return -1; }
    // The text the help hint window shows now; empty while it is hidden.
    virtual std::string hintText() const { return {}; }

private:
    GenericPlugin& plugin_;
    gui::UserInterface& ui_;
    EditorHost& host_;
};
