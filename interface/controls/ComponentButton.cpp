#include "interface/controls/ComponentButton.h"

#include <cmath>

#include "core/FloatEpsilon.h"
#include "framework/AbstractPluginParameter.h"
#include "gui/ModifierMap.h"
#include "gui/ToggleButton.h"
#include "interface/ParameterEditor.h"
#include "interface/controls/ComponentDisplay.h"

namespace {

constexpr int kSwitchSize = 14;
constexpr int kSwitchMargin = 4;

}  // namespace

ComponentButton::ComponentButton(gui::UserInterface* ui, ParameterEditor& editor, ComponentDisplay* display,
                                 int component, const gui::Button::Style* style)
    : ParameterButton(ui, editor, style), display_(display), component_(component) {
    if (display_) display_->addButton(this);
    nameText_.size = 7;
    nameText_.colour = gui::Rgba{170, 178, 188, 255};
    nameText_.wrapMode = gui::Text::Ellipsis;
    valueText_.size = 9;
    valueText_.bold = true;
    valueText_.colour = gui::Rgba{232, 236, 240, 255};
    valueText_.wrapMode = gui::Text::Ellipsis;
}

// The enable switch releases its binding while it is still whole: by the time the button hears
// of its removal, the switch's own parts are gone.
class ComponentButton::EnableSwitch : public gui::ToggleButton {
public:
    EnableSwitch(gui::UserInterface* ui, const gui::Button::Style* style, ComponentButton& owner)
        : gui::ToggleButton(ui, style), owner_(&owner) {}
    ~EnableSwitch() override {
        if (owner_ && !isUiDestroying()) owner_->releaseEnableSwitch();
    }
    void forgetOwner() { owner_ = nullptr; }

private:
    ComponentButton* owner_;
};

void ComponentButton::releaseEnableSwitch() {
    if (enableSwitch_ && enableIndex_ >= 0) editor().unbindControl(enableIndex_, enableSwitch_);
    enableIndex_ = -1;
}

ComponentButton::~ComponentButton() {
    if (display_) display_->removeButton(this);
    releaseEnableSwitch();
    if (enableSwitch_) static_cast<EnableSwitch*>(enableSwitch_)->forgetOwner();
}

void ComponentButton::forgetDisplay(const ComponentDisplay* display) {
    if (display_ == display) display_ = nullptr;
}

void ComponentButton::linkRemoved(gui::Component* component) {
    if (component == enableSwitch_) enableSwitch_ = nullptr;
    ParameterButton::linkRemoved(component);
}

void ComponentButton::setEnableParameter(int parameter, const gui::Button::Style* style) {
    if (enableSwitch_ && enableIndex_ >= 0) editor().unbindControl(enableIndex_, enableSwitch_);
    if (!enableSwitch_) {
        enableSwitch_ = new EnableSwitch(userInterface(), style, *this);
        enableSwitch_->parent = this;
        link(enableSwitch_);
    }
    enableIndex_ = parameter;
    // The frame binds it like any switch: its clicks are begin, set and end gestures.
    editor().bindControl(parameter, enableSwitch_);
    resized();
    faceStale_ = true;
    invalidateAll();
}

bool ComponentButton::isComponentOpen() const {
    return display_ && component_ >= 0 && component_ < display_->componentCount() && display_->isOpen(component_);
}

bool ComponentButton::isFaceDisabled() const {
    const AbstractPluginParameter* p = enableIndex_ >= 0 ? editor().parameter(enableIndex_) : nullptr;
    return p && std::fabs(p->value()) <= kFloatEpsilon;
}

void ComponentButton::clickAction(int flags) {
    // Only a click without any modifier action opens or closes the component.
    if (gui::ModifierMap::lookupModifierAction(flags) != 0) return;
    if (display_ && component_ >= 0) display_->toggleComponent(component_);
}

void ComponentButton::showParameter(int parameter) {
    ParameterButton::showParameter(parameter);
    if (display_ && display_->hintOwner() == this) updateHints();
}

void ComponentButton::updateHints() {
    if (!display_) return;
    if (display_->showHintLabels && !editor().midiLearnActive() && (hovering_ || dragMode() == Dragging))
        display_->showHints(*this);
    else
        display_->hideHints(this);
}

void ComponentButton::mouseEntered() {
    ParameterButton::mouseEntered();
    hovering_ = true;
    updateHints();
}

void ComponentButton::mouseExited() {
    ParameterButton::mouseExited();
    hovering_ = false;
    updateHints();
}

void ComponentButton::mouseDown(int button, gui::Point point, int flags) {
    hoverAlternate_ = (gui::ModifierMap::lookupModifierAction(flags) & gui::ModifierMap::Reset) != 0;
    ParameterButton::mouseDown(button, point, flags);
    updateHints();
}

void ComponentButton::mouseMove(gui::Point point, int flags) {
    hoverAlternate_ = (gui::ModifierMap::lookupModifierAction(flags) & gui::ModifierMap::Reset) != 0;
    ParameterButton::mouseMove(point, flags);
    updateHints();
}

void ComponentButton::mouseUp(int button, gui::Point point, int flags) {
    ParameterButton::mouseUp(button, point, flags);
    hovering_ = isOver(point);
    updateHints();
}

void ComponentButton::resized() {
    ParameterButton::resized();
    if (enableSwitch_)
        enableSwitch_->setBounds(width() - kSwitchSize - kSwitchMargin, kSwitchMargin, kSwitchSize, kSwitchSize);
    faceStale_ = true;
}

std::vector<float> ComponentButton::faceKey() const {
    std::vector<float> key;
    for (int place = 0; place < 4; ++place) {
        const AbstractPluginParameter* p = parameterOf(place);
        key.push_back(p ? p->value() : NAN);
    }
    key.push_back(isFaceDisabled() ? 0.0f : 1.0f);
    return key;
}

void ComponentButton::paintFace(gui::Canvas& canvas) {
    const AbstractPluginParameter* p = parameterOf(Horizontal);
    nameText_.maximumWidth = width() - 12;
    valueText_.maximumWidth = width() - 12;
    nameText_.text = p ? p->name() : std::string(ComponentDisplay::kUnassigned);
    valueText_.text = p ? p->plainToText(p->value()) : std::string(ComponentDisplay::kNoValue);
    canvas.drawText(nameText_, {6, height() - 30});
    canvas.drawText(valueText_, {6, height() - 18});
}

void ComponentButton::paint(gui::Canvas& canvas) {
    ParameterButton::paint(canvas);
    std::vector<float> key = faceKey();
    auto same = [](const std::vector<float>& a, const std::vector<float>& b) {
        if (a.size() != b.size()) return false;
        for (size_t i = 0; i < a.size(); ++i)
            if (!(a[i] == b[i] || (std::isnan(a[i]) && std::isnan(b[i])))) return false;
        return true;
    };
    if (faceStale_ || face_.width() != width() || face_.height() != height() || !same(key, faceKey_)) {
        face_.setSize(width(), height());
        face_.clear();
        paintFace(face_.canvas());
        faceKey_ = std::move(key);
        faceStale_ = false;
        ++faceRenders_;
    }
    canvas.drawBitmap(face_, localRect(), {0, 0}, isFaceDisabled() ? kDisabledOpacity : 255);
}
