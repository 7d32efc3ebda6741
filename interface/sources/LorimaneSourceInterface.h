#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "gui/Control.h"
#include "gui/Label.h"
#include "interface/sources/SourceArt.h"
#include "interface/sources/SourceLayout.h"

class ParameterEditor;
class AbstractPluginParameter;

namespace gui {
class ValueControl;
class Knob;
class ToggleButton;
class SelectButton;
class Image;
}

// The panel of one modulation source in the source strip: a title, the controls of the set it
// shows, bound through the editor. setIndex points it at another set of its kind; every binding
// of the old set is released first. [ui]
class LorimaneSourceInterface : public gui::Control {
public:
    static constexpr int kTitleHeight = 18;

    LorimaneSourceInterface(gui::UserInterface* ui, ParameterEditor& editor, const SourceLayout& layout,
                            int kind);
    ~LorimaneSourceInterface() override;

    // Shows the set (from 0): rebinds the controls, sets the title and the display name.
    void setIndex(int set);
    // Re-reads the shown set.
    virtual void refresh() {}

    int kind() const { return kind_; }
    int set() const { return set_; }
    std::string title() { return title_->text().text; }
    // The name on the panel's source-bar button.
    const std::string& displayName() const { return displayName_; }

    // A selector's items are the texts of the parameter's values.
    static void fillItems(gui::SelectButton& selector, const AbstractPluginParameter* p);

    void paint(gui::Canvas& canvas) override;
    void resized() override;

protected:
    // Binds the controls of the set; the bindings are released before the next call.
    virtual void bindSet(int set) = 0;
    void setDisplayName(std::string name) { displayName_ = std::move(name); }

    // Binds a control to a parameter and remembers it for release. Its hint is the given text, or
    // the parameter's help text when none is given.
    void bindParameter(int index, gui::ValueControl* control, const std::string& hint = {});
    void releaseBindings();
    AbstractPluginParameter* parameter(int index) const;
    // An edit of one parameter as one gesture, in normalised units.
    void setParameter(int index, float normalized);

    // Child factories: the control is attached to this panel and deleted with it.
    gui::Knob* addKnob(int x, int y, bool ring = false);
    gui::ToggleButton* addToggle(int x, int y, const char* iconOn, const char* iconOff, const std::string& hint);
    gui::SelectButton* addSelector(int x, int y, int width);
    gui::Image* addImage(int x, int y, const char* name);
    // A small caption in the panel's dim ink.
    gui::Label* addCaption(int x, int y, int width, const char* text);
    void fillItems(gui::SelectButton& selector, int index) { fillItems(selector, parameter(index)); }

    ParameterEditor& editor_;
    const SourceLayout& layout_;
    std::unique_ptr<SourceArt> art_;

private:
    int kind_;
    int set_ = -1;
    gui::Label* title_ = nullptr;
    std::string displayName_;
    std::vector<std::pair<int, gui::ValueControl*>> bindings_;
};
