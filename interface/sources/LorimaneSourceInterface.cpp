#include "interface/sources/LorimaneSourceInterface.h"

#include "framework/AbstractPluginParameter.h"
#include "gui/Image.h"
#include "gui/Knob.h"
#include "gui/SelectButton.h"
#include "gui/ToggleButton.h"
#include "gui/UserInterface.h"
#include "interface/ParameterEditor.h"
#include "interface/sources/SourceTitles.h"

LorimaneSourceInterface::LorimaneSourceInterface(gui::UserInterface* ui, ParameterEditor& editor,
                                                 const SourceLayout& layout, int kind)
    : gui::Control(ui), editor_(editor), layout_(layout), art_(std::make_unique<SourceArt>(ui)), kind_(kind) {
    title_ = new gui::Label(ui);
    title_->text().bold = true;
    title_->text().size = 8;
    title_->text().colour = SourceArt::kInk;
    title_->setBounds(4, 1, 120, kTitleHeight - 2);
    title_->interactive = false;
    title_->parent = this;
}

LorimaneSourceInterface::~LorimaneSourceInterface() {
    // The editor frame goes before the user interface; when the interface is torn down there is
    // nobody left to unbind from.
    if (isUiDestroying()) return;
    releaseBindings();
    deleteAllChildren();
}

void LorimaneSourceInterface::setIndex(int set) {
    releaseBindings();
    set_ = set;
    title_->text().text = sourcetitles::title(kind_, set);
    displayName_ = sourcetitles::displayName(kind_, set);
    if (set >= 0 && set < layout_.setCount(kind_)) bindSet(set);
    refresh();
    invalidateAll();
}

void LorimaneSourceInterface::bindParameter(int index, gui::ValueControl* control, const std::string& hint) {
    if (!control || index < 0) return;
    if (!hint.empty())
        control->hint = hint;
    else if (AbstractPluginParameter* p = parameter(index))
        control->hint = p->helpText();
    editor_.bindControl(index, control);
    bindings_.emplace_back(index, control);
}

void LorimaneSourceInterface::releaseBindings() {
    for (auto [index, control] : bindings_) editor_.unbindControl(index, control);
    bindings_.clear();
}

AbstractPluginParameter* LorimaneSourceInterface::parameter(int index) const {
    return editor_.parameter(index);
}

void LorimaneSourceInterface::setParameter(int index, float normalized) {
    if (!parameter(index)) return;
    editor_.beginEdit(index);
    editor_.setNormalized(index, normalized);
    editor_.endEdit(index);
}

gui::Knob* LorimaneSourceInterface::addKnob(int x, int y, bool ring) {
    auto* knob = new gui::Knob(userInterface(), ring ? art_->ring : art_->knob);
    knob->setPosition({x, y});
    knob->parent = this;
    return knob;
}

gui::ToggleButton* LorimaneSourceInterface::addToggle(int x, int y, const char* iconOn, const char* iconOff,
                                                      const std::string& hint) {
    auto* button = new gui::ToggleButton(userInterface(), art_->button);
    button->iconOverride[0] = SourceArt::image(iconOff);
    button->iconOverride[1] = SourceArt::image(iconOn);
    button->setPosition({x, y});
    button->hint = hint;
    button->parent = this;
    return button;
}

gui::SelectButton* LorimaneSourceInterface::addSelector(int x, int y, int width) {
    auto* selector = new gui::SelectButton(userInterface(), art_->button);
    selector->setBounds(x, y, width, art_->button->height);
    selector->text().size = 7;
    selector->text().colour = SourceArt::kInk;
    selector->parent = this;
    return selector;
}

gui::Image* LorimaneSourceInterface::addImage(int x, int y, const char* name) {
    const gui::Bitmap* picture = SourceArt::image(name);
    // The shared pictures are never changed; the image only draws them.
    auto* image = picture ? new gui::Image(userInterface(), const_cast<gui::Bitmap*>(picture))
                          : new gui::Image(userInterface());
    if (picture) image->setBounds(x, y, picture->width(), picture->height());
    image->interactive = false;
    image->parent = this;
    return image;
}

void LorimaneSourceInterface::fillItems(gui::SelectButton& selector, const AbstractPluginParameter* p) {
    if (!p) return;
    std::vector<std::string> names;
    for (int v = int(p->minValue()); v <= int(p->maxValue()); ++v) names.push_back(p->plainToText(float(v)));
    selector.setItems(std::move(names));
}

gui::Label* LorimaneSourceInterface::addCaption(int x, int y, int width, const char* text) {
    auto* label = new gui::Label(userInterface());
    label->text().text = text;
    label->text().size = 7;
    label->text().colour = SourceArt::kInkDim;
    label->setBounds(x, y, width, 14);
    label->interactive = false;
    label->parent = this;
    return label;
}

void LorimaneSourceInterface::paint(gui::Canvas& canvas) {
    const gui::Rect r = localRect();
    canvas.fillRect(r, SourceArt::kPanel);
    canvas.fillRect({0, 0, r.right, kTitleHeight}, SourceArt::kPanelDark);
    canvas.drawHLine(0, kTitleHeight, r.right, SourceArt::kDeep);
    canvas.drawVLine(r.right - 1, 0, r.bottom, SourceArt::kDeep);
}

void LorimaneSourceInterface::resized() {
    gui::Control::resized();
    invalidateAll();
}
