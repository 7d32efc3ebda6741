#include "tools/toolkit-demo/Gallery.h"

#include <string>

#include "gui/Button.h"
#include "gui/ControlBar.h"
#include "gui/IntValueButton.h"
#include "gui/Knob.h"
#include "gui/LevelButton.h"
#include "gui/RootControl.h"
#include "gui/ScrollArea.h"
#include "gui/ScrollStrip.h"
#include "gui/SelectButton.h"
#include "gui/Switch.h"
#include "gui/Text.h"
#include "gui/ToggleButton.h"
#include "streams/Resource.h"

namespace {

const gui::Rgba kInk{226, 229, 233, 255};
const gui::Rgba kInkDim{150, 156, 164, 255};

// A line of small text naming the control above or beside it.
class Caption : public gui::Control {
public:
    Caption(gui::UserInterface* ui, const std::string& words, gui::Point at)
        : Control(ui), text_(ui->createText()) {
        text_->text = words;
        text_->size = 7;
        text_->colour = kInkDim;
        setBounds(at.x, at.y, text_->getWidth() + 1, text_->getHeight() + 1);
        interactive = false;
    }
    void paint(gui::Canvas& canvas) override { canvas.drawText(*text_, {0, 0}); }

private:
    std::unique_ptr<gui::Text> text_;
};

}  // namespace

Gallery::Gallery(gui::WindowInterface& ui) : ui_(ui), animator_(std::make_unique<gui::Animator>(&ui)) {
    animator_->rate = 30;
    animator_->enabled = true;
    build();
}

Gallery::~Gallery() {
    // The controls animate through the gallery's animator; they go first.
    if (gui::RootControl* root = ui_.getRootControl()) root->deleteAllChildren();
}

const gui::Bitmap* Gallery::image(const std::string& name) {
    for (size_t i = 0; i < names_.size(); ++i)
        if (names_[i] == name) return images_[i].get();
    auto bitmap = std::make_unique<gui::Bitmap>();
    if (const EmbeddedResource* r = findEmbeddedResource(embeddedResources(), name))
        bitmap->load(r->data, r->size);
    names_.push_back(name);
    images_.push_back(std::move(bitmap));
    return images_.back().get();
}

void Gallery::build() {
    gui::UserInterface* ui = &ui_;
    gui::RootControl* root = ui->getRootControl();
    if (const EmbeddedResource* bg = findEmbeddedResource(embeddedResources(), "Background"))
        ui->setBackgroundImage(bg->data, bg->size);
    auto place = [&](gui::Control* c, int x, int y) {
        c->setPosition({x, y});
        c->parent = root;
        if (auto* a = dynamic_cast<gui::AnimatedControl*>(c)) a->animator = animator_.get();
        return c;
    };
    auto caption = [&](const std::string& words, int x, int y) {
        (new Caption(ui, words, {x, y}))->parent = root;
    };

    // Knobs: the four looks the editor uses, each with its ring radii.
    auto knobStyle = [&](const std::string& back, const std::string& overlay, int inner, int outer) {
        auto* s = new gui::Knob::Style(ui);
        if (!back.empty()) {
            s->images[gui::Knob::Body] = image(back + "BackNormal");
            s->images[gui::Knob::BodyHovered] = image(back + "BackActive");
        }
        s->images[gui::Knob::Pointer] = image(overlay + "OverlayNormal");
        s->images[gui::Knob::PointerHovered] = image(overlay + "OverlayActive");
        s->images[gui::Knob::PointerOnMark] = image(overlay + "OverlayRotate");
        s->images[gui::Knob::PointerDragged] = image(overlay + "OverlayDown");
        s->innerRadius = inner;
        s->outerRadius = outer;
        return s;
    };
    caption("Knob", 24, 44);
    auto* normal = new gui::Knob(ui, knobStyle("KnobNormal", "KnobNormal", 12, 20));
    normal->value = 1000;
    place(normal, 20, 58);

    caption("Ring and knob", 84, 36);
    auto* ring = new gui::Knob(ui, knobStyle("KnobOuter", "KnobOuter", 20, 28));
    ring->value = 2900;
    place(ring, 84, 50);
    auto* inner = new gui::Knob(ui, knobStyle("KnobInner", "KnobNormal", 12, 20));
    inner->value = 3500;
    place(inner, 92, 58);

    caption("Large, hovered", 164, 36);
    auto* large = new gui::Knob(ui, knobStyle("KnobOuter", "KnobLarge", 0, 28));
    large->value = 2048;
    place(large, 168, 50);
    large->highlighted = true;

    caption("Sync arc", 262, 36);
    auto* arcStyle = knobStyle("", "KnobSync", 48, 58);
    arcStyle->images[gui::Knob::PointerOnMark] = nullptr;
    auto* arc = new gui::Knob(ui, arcStyle);
    arc->maximum = 8;
    arc->value = 5;
    arc->sweep = 70;
    arc->rotationOffset = 90;
    place(arc, 200, 46);

    // Sliders and switches. The envelope sliders show their track only when lit.
    auto sliderStyle = [&](const std::string& track) {
        auto* st = new gui::Switch::Style(ui);
        st->trackHovered = image(track);
        st->handle = image("EGDotNormal");
        st->handleHovered = image("EGDotActive");
        return st;
    };
    auto slider = [&](const gui::Switch::Style* st, gui::Rect r, int value, bool highlighted) {
        auto* sl = new gui::Switch(ui);
        sl->autoSize = false;
        sl->setSize(r.width(), r.height());
        sl->setStyle(st);
        sl->maximum = 1000;
        sl->value = value;
        sl->highlighted = highlighted;
        place(sl, r.left, r.top);
    };
    const gui::Switch::Style* horizontalStyle = sliderStyle("EGHorSliderActive");
    caption("Slider (highlighted)", 340, 44);
    slider(horizontalStyle, gui::Rect::ofSize(340, 60, 120, 12), 650, true);
    caption("Slider", 340, 80);
    slider(horizontalStyle, gui::Rect::ofSize(340, 94, 120, 12), 250, false);
    caption("Vertical", 480, 44);
    slider(sliderStyle("EGVerSliderActive"), gui::Rect::ofSize(488, 58, 12, 60), 700, true);

    auto* switchStyle = new gui::Switch::Style(ui);
    switchStyle->track = image("ButtonSlotLevelOff");
    switchStyle->handle = image("ButtonHotspotDown");
    switchStyle->handleHovered = image("ButtonHotspotActive");
    caption("Switches", 540, 44);
    auto* two = new gui::Switch(ui, switchStyle);
    two->value = 1;
    place(two, 540, 60);
    auto* three = new gui::Switch(ui, switchStyle);
    three->maximum = 2;
    three->value = 1;
    place(three, 540, 88);

    // Buttons.
    auto buttonStyle = [&](const std::string& name, int w, int h) {
        auto* s = new gui::Button::Style(ui);
        s->width = w;
        s->height = h;
        s->background[gui::Button::Normal] = image("Button" + name + "Normal");
        s->background[gui::Button::Hovered] = image("Button" + name + "Active");
        s->background[gui::Button::Pressed] = image("Button" + name + "Down");
        s->textColour = kInk;
        return s;
    };
    caption("Button", 20, 140);
    auto* button = new gui::Button(ui, buttonStyle("Generic", 70, 18));
    button->setText("Button");
    button->text().size = 7;
    place(button, 20, 154);

    caption("Toggle", 104, 140);
    auto* barStyle = buttonStyle("Bar", 26, 22);
    barStyle->background[gui::Button::Pressed] = image("ButtonBarDown");
    barStyle->icon[0] = image("IconFreezeOff");
    barStyle->icon[1] = image("IconFreezeOn");
    auto* toggle = new gui::ToggleButton(ui, barStyle);
    toggle->value = 1;
    place(toggle, 104, 152);

    caption("Radio group", 150, 140);
    auto* radioStyle = buttonStyle("Bar", 26, 22);
    auto* leader = new gui::ToggleButton(ui);
    leader->maximum = 2;
    leader->value = 1;
    const char* icons[3] = {"IconInput", "IconSideChain", "IconMidi"};
    for (int i = 0; i < 3; ++i) {
        auto* member = new gui::ToggleButton(ui, radioStyle);
        member->iconOverride[0] = image(std::string(icons[i]) + "Off");
        member->iconOverride[1] = image(std::string(icons[i]) + "On");
        member->joinRadioGroup(leader, i);
        place(member, 150 + 28 * i, 152);
    }

    caption("Select", 250, 140);
    auto* select = new gui::SelectButton(ui, buttonStyle("Generic", 108, 18));
    select->setItems({"Butterworth", "Chebyshev", "Elliptic", "Bessel"});
    select->value = 1;
    select->text().size = 7;
    place(select, 250, 154);
    auto* multiple = new gui::SelectButton(ui, buttonStyle("Generic", 108, 18));
    multiple->shareItems(*select);
    multiple->multiple = true;
    multiple->text().size = 7;
    place(multiple, 250, 178);

    caption("Number", 372, 140);
    auto* number = new gui::IntValueButton(ui, buttonStyle("Generic", 40, 18));
    number->maximum = 16;
    number->value = 8;
    number->text().size = 7;
    place(number, 372, 154);

    caption("Level", 426, 140);
    auto* levelStyle = new gui::Button::Style(ui);
    levelStyle->width = 40;
    levelStyle->height = 14;
    levelStyle->background[gui::Button::Normal] = image("ButtonSlotLevelNormal");
    levelStyle->background[gui::Button::Hovered] = image("ButtonSlotLevelActive");
    levelStyle->icon[0] = image("ButtonSlotLevelOn");
    auto* level = new gui::LevelButton(ui, levelStyle);
    level->value = 2600;
    place(level, 426, 156);

    caption("Menu", 480, 140);
    auto* menuStyle = buttonStyle("Save", 18, 18);
    menuStyle->icon[0] = menuStyle->icon[1] = image("IconMenu");
    place(new gui::Button(ui, menuStyle), 480, 154);

    // A scroll strip holding a row of component buttons, scrolled a little so both arrows show.
    caption("Scroll strip with a row bar", 20, 210);
    auto* left = buttonStyle("ScrollLeft", 12, 24);
    left->background[gui::Button::Pressed] = image("ButtonScrollLeftActive");
    auto* right = buttonStyle("ScrollRight", 12, 24);
    right->background[gui::Button::Pressed] = image("ButtonScrollRightActive");
    auto* strip = new gui::ScrollStrip(ui, left, right);
    strip->setSize(330, 64);
    place(strip, 20, 226);
    auto* bar = new gui::ControlBar(ui);
    bar->spacing = 6;
    bar->autoSize = true;
    bar->parent = &strip->area();
    auto* componentStyle = buttonStyle("Component", 85, 64);
    const char* names[5] = {"Filter 1", "Filter 2", "XLFO 1", "EG 1", "EF 1"};
    for (const char* name : names) {
        auto* b = new gui::Button(ui, componentStyle);
        b->setText(name);
        b->text().size = 8;
        b->parent = bar;
    }
    strip->area().setScrollPosition(60);
}
