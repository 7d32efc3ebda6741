#pragma once

#include "interface/GenericPluginInterface.h"

// The maker's common look over the frame: the background, the help hint window's picture and text
// style, and the MIDI learn overlay's colours. [ui]
class BrixholdePluginInterface : public GenericPluginInterface {
public:
    static constexpr const char* kBackground = "Background";
    static constexpr const char* kHintBackground = "HelpHintBackground";

    BrixholdePluginInterface(GenericPlugin& plugin, gui::UserInterface& ui, EditorHost& host);

protected:
    HelpHintWindow* createHelpHintWindow() override;
    virtual void styleHelpHint(gui::Text& label);
};
