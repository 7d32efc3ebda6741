#include "interface/delay/StripSection.h"

#include "framework/AbstractPluginParameter.h"
#include "gui/Bitmap.h"
#include "gui/Canvas.h"
#include "gui/Image.h"
#include "gui/Knob.h"
#include "gui/SelectButton.h"
#include "gui/ToggleButton.h"
#include "gui/UserInterface.h"
#include "interface/ParameterEditor.h"
#include "engine/LorimanePlugin.h"
#include "interface/delay/SectionPresetButton.h"
#include "interface/delay/StyleTable.h"
#include "interface/sources/LorimaneSourceInterface.h"
#include "interface/sources/SourceArt.h"

StripSection::StripSection(gui::UserInterface* ui, ParameterEditor& editor, LorimanePlugin& plugin,
                           const StyleTable& styles, int left, int width)
    : gui::Control(ui), editor_(editor), plugin_(plugin), styles_(styles), left_(left) {
    setSize(width, 262);
    opaque = true;
}

StripSection::~StripSection() {
    // The editor deletes its sections before it goes; when the user interface is torn down there is
    // nobody left to unbind from.
    if (isUiDestroying()) return;
    for (auto& [index, control] : bindings_) editor_.unbindControl(index, control);
    deleteAllChildren();
}

void StripSection::setBackground(const gui::Bitmap* background) {
    background_ = background;
    invalidateAll();
}

void StripSection::paint(gui::Canvas& canvas) {
    if (background_)
        canvas.drawBitmap(*background_, localRect(), {left_, 0});
    else
        canvas.fillRect(localRect(), SourceArt::kPanel);
}

void StripSection::bind(int parameter, gui::ValueControl* control) {
    editor_.bindControl(parameter, control);
    bindings_.emplace_back(parameter, control);
}

float StripSection::value(int parameter) const {
    const AbstractPluginParameter* p = editor_.parameter(parameter);
    return p ? p->value() : 0.0f;
}

gui::Knob* StripSection::addKnob(int x, int y, int knobStyle, int parameter) {
    auto* knob = new gui::Knob(userInterface(), styles_.knob(knobStyle));
    knob->setPosition(local(x, y));
    knob->parent = this;
    bind(parameter, knob);
    return knob;
}

gui::ToggleButton* StripSection::addToggle(int x, int y, int buttonStyle, int parameter, int width) {
    const gui::Button::Style* style = styles_.button(buttonStyle);
    auto* button = new gui::ToggleButton(userInterface(), style);
    const gui::Point at = local(x, y);
    button->setBounds(at.x, at.y, width > 0 ? width : style->width, style->height);
    button->parent = this;
    bind(parameter, button);
    return button;
}

gui::SelectButton* StripSection::addSelect(int x, int y, int buttonStyle, int width, int parameter) {
    const gui::Button::Style* style = styles_.button(buttonStyle);
    auto* select = new gui::SelectButton(userInterface(), style);
    const gui::Point at = local(x, y);
    select->setBounds(at.x, at.y, width, style->height);
    select->text().size = 7;
    select->textAlignment = gui::Button::Left;
    select->iconAlignment = gui::Button::Right;
    select->iconMargin = 3;
    select->parent = this;
    LorimaneSourceInterface::fillItems(*select, editor_.parameter(parameter));
    bind(parameter, select);
    return select;
}

SectionPresetButton* StripSection::addPresetButton(int x, int y, int kind,
                                                  ComponentPresetHandler::MessageFunction showMessage) {
    constexpr int kSize = 18;
    auto handler =
        std::make_unique<ComponentPresetHandler>(plugin_, plugin_.presets(), kind, 0, std::move(showMessage));
    auto* button = new SectionPresetButton(userInterface(), std::move(handler), styles_.button(StyleTable::Save));
    const gui::Point at = local(x, y);
    button->setBounds(at.x, at.y, kSize, kSize);
    button->parent = this;
    return button;
}

gui::Image* StripSection::addImage(int x, int y, const char* name) {
    const gui::Bitmap* picture = SourceArt::image(name);
    // The shared pictures are never changed; the image only draws them.
    auto* image = picture ? new gui::Image(userInterface(), const_cast<gui::Bitmap*>(picture))
                          : new gui::Image(userInterface());
    const gui::Point at = local(x, y);
    if (picture) image->setBounds(at.x, at.y, picture->width(), picture->height());
    image->interactive = false;
    image->parent = this;
    return image;
}
