#pragma once

#include <vector>

#include "gui/Bitmap.h"
#include "interface/controls/ParameterButton.h"

class ComponentDisplay;

namespace gui {
class ToggleButton;
}

// A parameter button that opens and closes a component of a display: a plain click toggles it, a
// click with exactly the reset modifier resets the button's parameters (and the further ones)
// instead. It may carry an enable switch bound to a bool parameter; while that parameter is off
// the face is drawn faded. The face is drawn into a cached image, redrawn only after one of its
// parameters changed or the button was resized. [ui]
class ComponentButton : public ParameterButton {
public:
    static constexpr int kDisabledOpacity = 128;

    ComponentButton(gui::UserInterface* ui, ParameterEditor& editor, ComponentDisplay* display, int component,
                    const gui::Button::Style* style = nullptr);
    ~ComponentButton() override;

    // Creates the enable switch (not owned: it goes with the tree) bound to the bool parameter.
    void setEnableParameter(int parameter, const gui::Button::Style* style = nullptr);
    gui::ToggleButton* enableSwitch() const { return enableSwitch_; }
    void addResetParameter(int parameter) { furtherReset_.push_back(parameter); }
    int component() const { return component_; }
    ComponentDisplay* display() const { return display_; }
    bool isComponentOpen() const;
    // While the enable parameter is 0 (within float precision).
    bool isFaceDisabled() const;
    // Whether the hint shows the alternate pair (the reset modifier was held at the last event).
    bool showsAlternate() const { return dragMode() == Dragging ? alternate() : hoverAlternate_; }
    int faceRenders() const { return faceRenders_; }

    void showParameter(int parameter) override;
    void mouseEntered() override;
    void mouseExited() override;
    void mouseDown(int button, gui::Point point, int flags) override;
    void mouseMove(gui::Point point, int flags) override;
    void mouseUp(int button, gui::Point point, int flags) override;
    void paint(gui::Canvas& canvas) override;
    void resized() override;
    void linkRemoved(gui::Component* component) override;
    void forgetDisplay(const ComponentDisplay* display);

protected:
    void clickAction(int flags) override;
    std::vector<int> furtherResetParameters() const override { return furtherReset_; }
    // Draws the face (over the button's background) into the cache; by default the primary
    // parameter's name and value.
    virtual void paintFace(gui::Canvas& canvas);

private:
    class EnableSwitch;
    void releaseEnableSwitch();
    std::vector<float> faceKey() const;
    void updateHints();

    ComponentDisplay* display_;
    int component_;
    int enableIndex_ = -1;
    gui::ToggleButton* enableSwitch_ = nullptr;
    std::vector<int> furtherReset_;
    gui::Bitmap face_;
    std::vector<float> faceKey_;
    bool faceStale_ = true;
    int faceRenders_ = 0;
    bool hovering_ = false;
    bool hoverAlternate_ = false;
    gui::Text nameText_;
    gui::Text valueText_;
};
