#include "interface/MidiLearnController.h"

#include "framework/AbstractMusicEventReceiver.h"
#include "framework/AbstractPluginParameter.h"
#include "framework/MidiVirtualPluginParameter.h"
#include "gui/Bitmap.h"
#include "gui/Button.h"
#include "gui/Canvas.h"
#include "gui/Label.h"
#include "gui/RootControl.h"
#include "gui/ValueControl.h"
#include "interface/GenericPluginInterface.h"
#include "persistence/MidiControllerMap.h"

namespace {

constexpr gui::Rgba kOutline{242, 164, 52, 160};
constexpr gui::Rgba kSelected{242, 164, 52, 255};
constexpr gui::Rgba kTag{24, 26, 30, 230};
constexpr int kCloseWidth = 60;

}  // namespace

MidiLearnController::MidiLearnController(GenericPluginInterface& editor, MidiControllerMap* map)
    : gui::Overlay(&editor.userInterface()), editor_(editor), map_(map) {
    gui::UserInterface* ui = &editor.userInterface();
    colour = gui::Rgba{10, 12, 16, 150};
    label_ = new gui::Label(ui);
    label_->backgroundColour = gui::Rgba{24, 26, 30, 240};
    label_->text().colour = gui::Rgba{235, 238, 242, 255};
    label_->text().size = 9;
    label_->text().text = GenericPluginInterface::kLearnPrompt;
    label_->interactive = false;
    label_->parent = this;
    close_ = new gui::Button(ui);
    close_->setText("Close");
    close_->textColour = gui::Rgba{235, 238, 242, 255};
    close_->hint = "The Close button leaves MIDI Learn mode.";
    close_->clickEvent.setOwnerHandler(this, &MidiLearnController::closeClicked);
    close_->parent = this;
    clear_ = new gui::Button(ui);
    clear_->iconOverride[0] = clear_->iconOverride[1] = editor.image("IconCloseSmall");
    clear_->hint = "The clear button removes the MIDI controller assignment of the selected control.";
    clear_->clickEvent.setOwnerHandler(this, &MidiLearnController::clearClicked);
    clear_->visible = false;
    clear_->parent = this;
    number_.size = 7;
    number_.bold = true;
    number_.colour = gui::Rgba{242, 164, 52, 255};
    editor.setLearnTarget(-1);
}

MidiLearnController::~MidiLearnController() = default;

void MidiLearnController::addTarget(gui::ValueControl* control) { addHighlight(control); }

void MidiLearnController::addGhost(std::unique_ptr<GhostControl> ghost) { ghosts_.push_back(std::move(ghost)); }

void MidiLearnController::relayout() {
    if (gui::RootControl* r = root()) bounds = r->localRect();
    label_->setBounds(0, 0, width() - kCloseWidth, kLabelHeight);
    close_->setBounds(width() - kCloseWidth, 0, kCloseWidth, kLabelHeight);
    label_->text().text = labelText();
}

int MidiLearnController::parameterNumberOf(int target) const {
    const int controls = static_cast<int>(highlights().size());
    if (target < 0) return -1;
    if (target < controls) {
        const auto* c = static_cast<const gui::ValueControl*>(highlights()[std::size_t(target)]);
        return c ? c->parameterIndex.get() : -1;
    }
    const int g = target - controls;
    return g < static_cast<int>(ghosts_.size()) ? ghosts_[std::size_t(g)]->parameterNumber() : -1;
}

int MidiLearnController::selectedParameter() const { return parameterNumberOf(selection_); }

gui::Rect MidiLearnController::targetRect(int target) const {
    const int controls = static_cast<int>(highlights().size());
    if (target < controls) {
        const gui::Control* c = highlights()[std::size_t(target)];
        if (!c) return {};
        const gui::Point at = c->toRoot({0, 0}) - toRoot({0, 0});
        return gui::Rect::ofSize(at.x, at.y, c->width(), c->height());
    }
    return ghosts_[std::size_t(target - controls)]->labelRect();
}

std::string MidiLearnController::parameterName(int number) const {
    GenericPlugin& plugin = editor_.plugin();
    if (number >= GenericPlugin::kFirstVirtualParameter) {
        const auto& virtuals = plugin.virtualParameters();
        const std::size_t i = std::size_t(number - GenericPlugin::kFirstVirtualParameter);
        return i < virtuals.size() ? virtuals[i]->name() : std::string();
    }
    AbstractPluginParameter* p = editor_.parameter(number);
    return p ? p->name() : std::string();
}

std::string MidiLearnController::labelText() const {
    if (selection_ < 0) return GenericPluginInterface::kLearnPrompt;
    const std::string prompt = width() < kShortPromptWidth ? GenericPluginInterface::kLearnTargetShort
                                                           : GenericPluginInterface::kLearnTargetLong;
    return prompt + parameterName(selectedParameter());
}

void MidiLearnController::select(int index) {
    if (index == selection_) return;
    selection_ = index;
    const int number = selectedParameter();
    editor_.setLearnTarget(number);
    shownController_ = map_ && number >= 0 ? map_->controllerFor(number) : -1;
    label_->text().text = labelText();
    if (index >= 0) {
        const gui::Rect r = targetRect(index);
        clear_->setBounds(r.right + 2, r.top, 14, 14);
    }
    clear_->visible = index >= 0;
    invalidateAll();
}

void MidiLearnController::choose(gui::Point point) {
    const int controls = static_cast<int>(highlights().size());
    for (std::size_t g = 0; g < ghosts_.size(); ++g) {
        if (ghosts_[g]->labelRect().contains(point)) {
            select(controls + static_cast<int>(g));
            return;
        }
    }
    select(targetAt(point));
}

void MidiLearnController::clearSelected() {
    const int number = selectedParameter();
    if (!map_ || number < 0) return;
    const int controller = map_->controllerFor(number);
    if (controller >= 0) map_->clear(controller);
    shownController_ = -1;
    invalidateAll();
}

void MidiLearnController::refresh() {
    const int number = selectedParameter();
    if (!map_ || number < 0) return;
    const int now = map_->controllerFor(number);
    if (now == shownController_) return;
    shownController_ = now;
    invalidateAll();
}

void MidiLearnController::mouseDown(int button, gui::Point point, int flags) {
    gui::Overlay::mouseDown(button, point, flags);
    choose(point);
}

int MidiLearnController::highlightState(int index) const { return index == selection_ ? 2 : 1; }

void MidiLearnController::paint(gui::Canvas& canvas) {
    gui::Overlay::paint(canvas);
    const int controls = static_cast<int>(highlights().size());
    const int targets = controls + static_cast<int>(ghosts_.size());
    for (int t = 0; t < targets; ++t) {
        if (selection_ >= 0 && t != selection_) continue;
        if (t < controls && (!highlights()[std::size_t(t)] || !highlights()[std::size_t(t)]->isShowing())) continue;
        const gui::Rect r = targetRect(t);
        canvas.drawFrame(r, t == selection_ ? kSelected : kOutline, t == selection_ ? 2 : 1);
        const int number = parameterNumberOf(t);
        const int controller = map_ && number >= 0 ? map_->controllerFor(number) : -1;
        number_.text = controller >= 0 ? std::to_string(controller) : std::string("-");
        const int w = number_.getWidth() + 6;
        const gui::Rect tag = gui::Rect::ofSize(r.left, r.top - 12 < kLabelHeight ? r.top : r.top - 12, w, 12);
        canvas.fillRect(tag, kTag);
        canvas.drawText(number_, {tag.left + 3, tag.top + (12 - number_.getHeight()) / 2});
    }
}

void MidiLearnController::closeClicked(void*) { editor_.setMidiLearnActive(false); }

void MidiLearnController::clearClicked(void*) { clearSelected(); }
