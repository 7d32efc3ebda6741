#pragma once

#include <string>
#include <vector>

#include "gui/Control.h"
#include "gui/Point.h"
#include "persistence/ComponentPresetHandler.h"

class LorimanePlugin;
class ParameterEditor;
class SectionPresetButton;
class StyleTable;

namespace gui {
class Bitmap;
class Image;
class Knob;
class SelectButton;
class ToggleButton;
class ValueControl;
}  // namespace gui

// One section of the main strip: its slice of the strip's background and its controls, placed in
// editor coordinates of the unscrolled strip and bound to the plug-in's parameters through the
// editor. The background (Left/Right or Mid/Side) is shared by all sections and swapped with the
// channel mode. [ui]
class StripSection : public gui::Control {
public:
    // Where the strip's top lies in the editor.
    static constexpr int kStripTop = 34;

    StripSection(gui::UserInterface* ui, ParameterEditor& editor, LorimanePlugin& plugin, const StyleTable& styles,
                 int left, int width);
    ~StripSection() override;

    // Not owned; the section draws its part of it.
    void setBackground(const gui::Bitmap* background);
    const gui::Bitmap* background() const { return background_; }
    // The section's left edge in the unscrolled strip.
    int left() const { return left_; }
    // Editor coordinates of the unscrolled strip to the section's own.
    gui::Point local(int x, int y) const { return {x - left_, y - kStripTop}; }

    // A parameter changed (-1: all): the section shows what follows from it.
    virtual void parameterChanged(int /*index*/) {}

    void paint(gui::Canvas& canvas) override;

    // Controls of the section, bound to a parameter for as long as the section lives.
    gui::Knob* addKnob(int x, int y, int knobStyle, int parameter);
    gui::ToggleButton* addToggle(int x, int y, int buttonStyle, int parameter, int width = 0);
    gui::SelectButton* addSelect(int x, int y, int buttonStyle, int width, int parameter);
    // The section's preset button for the presets of that kind.
    SectionPresetButton* addPresetButton(int x, int y, int kind, ComponentPresetHandler::MessageFunction showMessage);
    // An embedded picture, not hit by the pointer.
    gui::Image* addImage(int x, int y, const char* name);
    void bind(int parameter, gui::ValueControl* control);
    float value(int parameter) const;

    ParameterEditor& editor() const { return editor_; }
    LorimanePlugin& plugin() const { return plugin_; }
    const StyleTable& styles() const { return styles_; }

protected:
    ParameterEditor& editor_;
    LorimanePlugin& plugin_;
    const StyleTable& styles_;

private:
    int left_;
    const gui::Bitmap* background_ = nullptr;
    std::vector<std::pair<int, gui::ValueControl*>> bindings_;
};
