#pragma once

#include <memory>
#include <string>
#include <vector>

#include "gui/Overlay.h"
#include "gui/Text.h"

class GenericPluginInterface;
class MidiControllerMap;

namespace gui {
class Button;
class Label;
class ValueControl;
}  // namespace gui

// The MIDI learn overlay: dims the editor, marks every learnable control with the controller bound
// to its parameter, and makes the control the user clicks the plug-in's learn target, so that the
// next controller that arrives is bound to it. [ui]
class MidiLearnController : public gui::Overlay {
public:
    static constexpr int kLabelHeight = 24;
    // Below this editor width the prompt takes its short form.
    static constexpr int kShortPromptWidth = 700;

    // An invisible target for a parameter without a control of its own; reports the rectangle its
    // label goes in (overlay coordinates) and its parameter number.
    class GhostControl {
    public:
        virtual ~GhostControl() = default;
        virtual gui::Rect labelRect() const = 0;
        virtual int parameterNumber() const = 0;
    };

    MidiLearnController(GenericPluginInterface& editor, MidiControllerMap* map);
    ~MidiLearnController() override;

    // Learnable targets: every bound value control (collected by the editor), and ghost targets
    // (after the controls in the selection's numbering).
    void addTarget(gui::ValueControl* control);
    void addGhost(std::unique_ptr<GhostControl> ghost);

    // Index of the selected target among the controls, then the ghosts; -1 none.
    int selection() const { return selection_; }
    // The parameter number of the selection, -1 none.
    int selectedParameter() const;
    std::string labelText() const;
    // Chooses the target at a point (overlay coordinates): ghosts first, then controls.
    void choose(gui::Point point);
    // Sets the entry bound to the selected target's parameter to -1.
    void clearSelected();
    // Redraws when the selected target's controller changed since it was last shown.
    void refresh();
    // Follows the editor's width (the prompt's two lengths).
    void relayout();

    void mouseDown(int button, gui::Point point, int flags) override;
    void paint(gui::Canvas& canvas) override;
    int highlightState(int index) const override;

private:
    void select(int index);
    void closeClicked(void*);
    void clearClicked(void*);
    int parameterNumberOf(int target) const;
    gui::Rect targetRect(int target) const;
    std::string parameterName(int number) const;

    GenericPluginInterface& editor_;
    MidiControllerMap* map_;
    std::vector<std::unique_ptr<GhostControl>> ghosts_;
    int selection_ = -1;
    int shownController_ = -1;
    gui::Label* label_ = nullptr;
    gui::Button* close_ = nullptr;
    gui::Button* clear_ = nullptr;
    gui::Text number_;
};
