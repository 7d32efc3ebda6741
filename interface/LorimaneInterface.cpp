#include "interface/LorimaneInterface.h"

#include <algorithm>

#include "engine/LorimanePlugin.h"
#include "engine/LorimaneSettings.h"
#include "framework/AbstractPluginParameter.h"
#include "gui/Bitmap.h"
#include "gui/ControlBar.h"
#include "gui/Image.h"
#include "gui/Label.h"
#include "gui/Light.h"
#include "gui/RootControl.h"
#include "gui/ScrollArea.h"
#include "gui/ScrollButton.h"
#include "gui/SelectButton.h"
#include "gui/ToggleButton.h"
#include "interface/HelpTexts.h"
#include "interface/MidiLearnController.h"
#include "interface/controls/ModulationComponentDisplay.h"
#include "interface/delay/AuditionButton.h"
#include "interface/delay/DelaySection.h"
#include "interface/delay/FilterButton.h"
#include "interface/delay/FilterInterface.h"
#include "interface/delay/FilterLinkGhost.h"
#include "interface/delay/FilterSection.h"
#include "interface/delay/OutputSection.h"
#include "interface/delay/StyleTable.h"
#include "interface/filter/FilterController.h"

namespace {

constexpr gui::Rgba kInk{214, 218, 224, 255};
constexpr gui::Rgba kInkDim{150, 156, 164, 255};
constexpr int kTopBarY = 6;
constexpr int kBarButtonHeight = 22;
constexpr int kModifiedAlpha = 161;
constexpr int kStripHeight = 262;
// The audition label's colour per value: output, input, side chain.
constexpr gui::Rgba kAuditionColours[3] = {{214, 218, 224, 255}, {242, 164, 52, 255}, {72, 192, 204, 255}};

// x and width of the eight top-bar controls, Normal then Wide.
struct TopPlace {
    int x, width, wideX, wideWidth;
};
constexpr TopPlace kTopPlaces[8] = {{310, 24, 330, 32}, {334, 24, 362, 32}, {364, 24, 420, 32},
                                    {388, 32, 452, 32}, {426, 20, 518, 32}, {446, 125, 550, 240},
                                    {571, 20, 790, 32}, {597, 40, 858, 60}};

// x of the bottom-bar controls, Normal then Wide (widths are the controls' own).
struct BottomPlace {
    int x, wideX;
};
constexpr BottomPlace kLight{9, 9}, kLearn{24, 24}, kMidiMenu{96, 96}, kChannelLabel{183, 248},
    kChannelMode{264, 329}, kAutoMute{370, 500}, kAudition{532, 727};
constexpr int kLearnWidth = 72, kMidiMenuWidth = 20, kChannelModeWidth = 70, kAutoMuteWidth = 130,
              kAuditionWidth = 84, kResizeWidth = 20;

std::vector<std::string> valueTexts(const AbstractPluginParameter& p) {
    std::vector<std::string> texts;
    for (int v = static_cast<int>(p.minValue()); v <= static_cast<int>(p.maxValue()); ++v)
        texts.push_back(p.plainToText(static_cast<float>(v)));
    return texts;
}

}  // namespace

// Keeps "ExpandedSection" with the strip's open panel.
class LorimaneInterface::StripListener : public ComponentDisplay::Listener {
public:
    explicit StripListener(LorimaneInterface& editor) : editor_(editor) {}
    void componentToggled(ComponentDisplay&, int, bool) override { editor_.expansionChanged(); }

private:
    LorimaneInterface& editor_;
};

LorimaneInterface::LorimaneInterface(GenericPlugin& plugin, gui::UserInterface& ui, EditorHost& host)
    : ModulationMatrixPluginInterface(plugin, ui, host) {
    settings_ = dynamic_cast<LorimaneSettings*>(&plugin.settings());
    gui::RootControl* root = ui.getRootControl();
    auto place = [root](gui::Control* c) {
        c->parent = root;
        return c;
    };

    styles_ = std::make_unique<StyleTable>(&ui);
    if (auto* product = dynamic_cast<LorimanePlugin*>(&plugin)) buildStrip(*product);

    // Top bar.
    top_.undo = topButton("", "IconUndo");
    top_.redo = topButton("", "IconRedo");
    top_.ab = topButton("A/B", "");
    top_.copy = topButton("Copy", "");
    top_.previousPreset = topButton("", "IconPrevious");
    top_.presetName = topButton("", "");
    top_.presetName->text().wrapMode = gui::Text::Ellipsis;
    top_.nextPreset = topButton("", "IconNext");
    top_.help = topButton("Help", "");

    // Bottom bar.
    bottomBar_ = new gui::Image(&ui, image("BottomBarSimple"));
    bottomBar_->stretched = true;
    bottomBar_->interactive = false;
    place(bottomBar_);
    logo_ = new gui::Image(&ui, image("LogoBottom"));
    logo_->interactive = false;
    place(logo_);
    auto& lightStyle = keep(std::make_unique<gui::Light::Style>(&ui));
    lightStyle.off = image("IconMidiOff");
    lightStyle.on = image("IconMidiOn");
    light_ = new gui::Light(&ui, &lightStyle);
    light_->setSize(lightStyle.off->width(), lightStyle.off->height());
    place(light_);
    top_.midiLearn = topButton("MIDI Learn", "");
    top_.midiLearn->setSize(kLearnWidth, kBarButtonHeight);
    top_.midiMenu = topButton("", "IconMenu");
    top_.midiMenu->setSize(kMidiMenuWidth, kBarButtonHeight);

    channelModeLabel_ = new gui::Label(&ui);
    channelModeLabel_->text().text = "Channel Mode:";
    channelModeLabel_->text().colour = kInkDim;
    channelModeLabel_->setSegmentAlignment(0, gui::MultiLabel::AlignRight);
    channelModeLabel_->interactive = false;
    place(channelModeLabel_);

    channelMode_ = new gui::SelectButton(&ui, &barStyle());
    channelMode_->setSize(kChannelModeWidth, kBarButtonHeight);
    channelMode_->textColour = kInk;
    place(channelMode_);
    bindSelect(channelMode_, "Channel Mode", helptext::kChannelMode);
    channelModeIndex_ = parameterIndex("Channel Mode");

    autoMute_ = new gui::ToggleButton(&ui, &barStyle());
    autoMute_->setSize(kAutoMuteWidth, kBarButtonHeight);
    autoMute_->textColour = kInk;
    autoMute_->iconOverride[1] = image("IconCheck");
    autoMute_->iconAlignment = gui::Button::Left;
    autoMute_->iconMargin = 6;
    autoMuteIndex_ = parameterIndex("Auto Mute Self-Osc");
    if (AbstractPluginParameter* p = parameter(autoMuteIndex_)) autoMute_->setText(p->name());
    autoMute_->hint = helptext::kAutoMute;
    place(autoMute_);
    bindControl(autoMuteIndex_, autoMute_);

    audition_ = new AuditionButton(&ui, plugin, &iconStyle());
    audition_->setSize(kAuditionWidth, kBarButtonHeight);
    audition_->textColour = kInk;
    audition_->iconOverride[0] = audition_->iconOverride[1] = image("IconAudition");
    audition_->iconAlignment = gui::Button::Left;
    audition_->iconMargin = 6;
    audition_->textOffsetX = 8;
    place(audition_);
    bindSelect(audition_, "Audition Signal", helptext::kAudition);
    auditionIndex_ = parameterIndex("Audition Signal");

    // The layout settings are the editor's own, not parameters.
    resize_ = new gui::SelectButton(&ui, &iconStyle());
    resize_->setSize(kResizeWidth, kBarButtonHeight);
    resize_->setItems({"Normal", "Wide"});
    resize_->iconOverride[0] = resize_->iconOverride[1] = image("IconResize");
    resize_->textColour = gui::Rgba{0, 0, 0, 0};
    resize_->hint = helptext::kResize;
    resize_->value = settings_ ? settings_->interfaceLayout.get() : 0;
    resize_->setListener(this);
    place(resize_);

    auto& modulationStyle = keep(std::make_unique<gui::Button::Style>(&ui));
    modulationStyle.background[0] = image("ButtonModulationNormal");
    modulationStyle.background[1] = image("ButtonModulationActive");
    modulationStyle.background[2] = image("ButtonModulationDown");
    modulationStyle.icon[0] = image("ButtonModulationOff");
    modulationStyle.icon[1] = image("ButtonModulationOn");
    modulationStyle.width = modulationStyle.background[0]->width();
    modulationStyle.height = modulationStyle.background[0]->height();
    modulation_ = new gui::ToggleButton(&ui, &modulationStyle);
    modulation_->setSize(modulationStyle.width, modulationStyle.height);
    modulation_->hint = helptext::kModulation;
    modulation_->value = settings_ && settings_->showModulation ? 1 : 0;
    modulation_->setListener(this);
    place(modulation_);

    setFeatureFlags(EnableMidiItem | RefreshAllAtOnce | ComponentDisplaysItem);
    finishConstruction(top_, light_);
}

LorimaneInterface::~LorimaneInterface() {
    if (userInterface().isDestroying()) return;
    if (strip_ && stripListener_) strip_->removeListener(stripListener_.get());
    // The sections release their bindings while their controls still exist; the closed filter
    // panel is in no tree that would delete it.
    for (StripSection* s : sections()) delete s;
}

std::vector<StripSection*> LorimaneInterface::sections() const {
    std::vector<StripSection*> all;
    for (StripSection* s : std::initializer_list<StripSection*>{delays_, filters_, filterPanel_, output_})
        if (s) all.push_back(s);
    return all;
}

void LorimaneInterface::buildStrip(LorimanePlugin& plugin) {
    gui::UserInterface& ui = userInterface();
    strip_ = new ModulationComponentDisplay(&ui, nullptr, nullptr, styles_->button(StyleTable::ScrollLeft),
                                            styles_->button(StyleTable::ScrollRight));
    strip_->parent = ui.getRootControl();
    auto message = [this](const std::string& text) { showMessage(text, ShowAlways | FadeOut); };
    delays_ = new DelaySection(&ui, *this, plugin, *styles_, message);
    filters_ = new FilterSection(&ui, *this, plugin, *styles_, strip_, FilterPanelComponent, nullptr, message);
    filterPanel_ = new FilterInterface(&ui, *this, plugin, *styles_, strip_, FilterPanelComponent);
    output_ = new OutputSection(&ui, *this, plugin, *styles_);
    strip_->addComponent(delays_, DelaySection::kWidth, 0, 10);
    strip_->addComponent(filters_, FilterSection::kWidth, 10, 6);
    strip_->addComponent(filterPanel_, FilterInterface::kWidth, 10, 6);
    strip_->addComponent(output_, OutputSection::kWidth, 78, 5);
    // The sections always show; only the filter panel opens and closes, after the filter section.
    for (gui::Control* section : {static_cast<gui::Control*>(delays_), static_cast<gui::Control*>(filters_),
                                  static_cast<gui::Control*>(output_)})
        section->parent = &strip_->row();
    strip_->row().layoutNow();
    if (settings_ && settings_->interfaceLayout.get() == 1 && settings_->expandedSection.get() == kFiltersExpanded)
        strip_->toggleComponent(FilterPanelComponent);
    stripListener_ = std::make_unique<StripListener>(*this);
    strip_->addListener(stripListener_.get());
}

void LorimaneInterface::expansionChanged() {
    if (!settings_ || !strip_) return;
    const bool open = strip_->isOpen(FilterPanelComponent);
    settings_->expandedSection = open ? kFiltersExpanded : -1;
    if (open) {
        // Scrolled just far enough to show the whole panel.
        strip_->row().layoutNow();
        const int panelRight = strip_->row().bounds.get().left + filterPanel_->bounds.get().right;
        if (panelRight > strip_->area().width())
            strip_->area().scrollBy(float(panelRight - strip_->area().width()));
    }
}

MidiLearnController* LorimaneInterface::createMidiLearnOverlay() {
    MidiLearnController* overlay = ModulationMatrixPluginInterface::createMidiLearnOverlay();
    // The parameters that move both filters have their targets at the filter display's link point.
    if (overlay && filterPanel_ && filterPanel_->isShowing()) {
        const auto& virtuals = plugin().virtualParameters();
        for (std::size_t i = 0; i < virtuals.size() && i < 2; ++i)
            overlay->addGhost(std::make_unique<FilterLinkGhost>(*filterPanel_->display(),
                                                                GenericPlugin::kFirstVirtualParameter + int(i),
                                                                i == 0 ? -1 : 1));
    }
    return overlay;
}

gui::Button::Style& LorimaneInterface::barStyle() {
    if (!barStyle_) {
        barStyle_ = &keep(std::make_unique<gui::Button::Style>(&userInterface()));
        barStyle_->background[0] = image("ButtonBarNormal");
        barStyle_->background[1] = image("ButtonBarActive");
        barStyle_->background[2] = image("ButtonBarDown");
        barStyle_->icon[1] = image("ButtonBarOn");
        barStyle_->iconStretch = true;
        barStyle_->width = barStyle_->background[0]->width();
        barStyle_->height = barStyle_->background[0]->height();
        barStyle_->textColour = kInk;
    }
    return *barStyle_;
}

gui::Button::Style& LorimaneInterface::iconStyle() {
    // The bar's look for buttons that show an icon: the icon stays at its own size.
    if (!iconStyle_) {
        iconStyle_ = &keep(std::make_unique<gui::Button::Style>(&userInterface()));
        const gui::Button::Style& bar = barStyle();
        for (int i = 0; i < 3; ++i) iconStyle_->background[i] = bar.background[i];
        iconStyle_->width = bar.width;
        iconStyle_->height = bar.height;
        iconStyle_->textColour = kInk;
    }
    return *iconStyle_;
}

gui::Button* LorimaneInterface::topButton(const std::string& text, const std::string& icon) {
    auto* b = new gui::Button(&userInterface(), icon.empty() ? &barStyle() : &iconStyle());
    if (!text.empty()) b->setText(text);
    b->textColour = kInk;
    b->textMargin = 2;
    if (!icon.empty()) b->iconOverride[0] = b->iconOverride[1] = image(icon);
    b->parent = userInterface().getRootControl();
    return b;
}

int LorimaneInterface::parameterIndex(const std::string& name) const {
    for (int i = 0; i < plugin().getParameterCount(); ++i)
        if (AbstractPluginParameter* p = plugin().getParameter(i); p && p->name() == name) return i;
    return -1;
}

void LorimaneInterface::bindSelect(gui::SelectButton* button, const std::string& parameterName, const char* help) {
    const int index = parameterIndex(parameterName);
    AbstractPluginParameter* p = parameter(index);
    if (!p) return;
    button->setItems(valueTexts(*p));
    button->hint = help;
    bindControl(index, button);
}

bool LorimaneInterface::wide() const {
    const gui::RootControl* root = userInterface().getRootControl();
    return root && root->width() >= kWideWidth;
}

void LorimaneInterface::layoutEditor() {
    gui::RootControl* root = userInterface().getRootControl();
    if (!root) return;
    const int width = root->width();
    const int height = root->height();
    const bool isWide = wide();
    const bool modulationShown = settings_ && settings_->showModulation;

    if (strip_) {
        // The scroll buttons lie just outside the editor, so that the sections stand at their
        // places; an open filter panel that does not fit is scrolled into view (and by the wheel).
        const int left = strip_->leftButton().width(), right = strip_->rightButton().width();
        strip_->setBounds(-left, kStripTop, width + left + right, kStripHeight);
    }
    gui::Button* topControls[8] = {top_.undo,          top_.redo,       top_.ab,         top_.copy,
                                   top_.previousPreset, top_.presetName, top_.nextPreset, top_.help};
    for (int i = 0; i < 8; ++i) {
        const TopPlace& p = kTopPlaces[i];
        topControls[i]->setBounds(isWide ? p.wideX : p.x, kTopBarY, isWide ? p.wideWidth : p.width, kBarButtonHeight);
    }

    modulation_->setPosition({(width - modulation_->width()) / 2, kModulationButtonY});

    const int barTop = height - kBottomBarHeight;
    const int buttonY = barTop + (kBottomBarHeight - kBarButtonHeight) / 2;
    auto x = [isWide](BottomPlace p) { return isWide ? p.wideX : p.x; };
    bottomBar_->setBounds(0, barTop, width, kBottomBarHeight);
    bottomBar_->visible = !modulationShown;
    light_->setPosition({x(kLight), barTop + (kBottomBarHeight - light_->height()) / 2});
    top_.midiLearn->setPosition({x(kLearn), buttonY});
    top_.midiMenu->setPosition({x(kMidiMenu), buttonY});
    channelModeLabel_->setBounds(x(kChannelLabel), buttonY, x(kChannelMode) - x(kChannelLabel) - 4, kBarButtonHeight);
    channelMode_->setPosition({x(kChannelMode), buttonY});
    autoMute_->setPosition({x(kAutoMute), buttonY});
    audition_->setPosition({x(kAudition), buttonY});
    resize_->setPosition({width - kResizeWidth, buttonY});
    // The logo sits in the top bar's empty left part, clear of the product name on the background.
    logo_->setPosition({120, (kTopBarHeight - logo_->height()) / 2});

    // The modulation section fills the space between the strip (where the bottom bar lies while the
    // section is hidden) and the bottom bar's controls.
    constexpr int kSectionTop = 321 - kBottomBarHeight;
    placeModulationSection(gui::Rect::ofSize(0, kSectionTop, width, std::max(0, barTop - kSectionTop)),
                           modulationShown, modulation_);

    ModulationMatrixPluginInterface::layoutEditor();
}

void LorimaneInterface::refreshParameter(int index) {
    ModulationMatrixPluginInterface::refreshParameter(index);
    if (index == -1 || index == channelModeIndex_) {
        AbstractPluginParameter* p = parameter(channelModeIndex_);
        const bool midSide = p && p->value() >= 1.0f;
        const gui::Bitmap* background = image(midSide ? "StripBackgroundMidSide" : "StripBackgroundLeftRight");
        for (StripSection* s : sections()) s->setBackground(background);
    }
    if (index == -1 || index == autoMuteIndex_) {
        AbstractPluginParameter* p = parameter(autoMuteIndex_);
        gui::Rgba colour = autoMute_->textColour;
        colour.alpha = p && p->value() >= 1.0f ? 255 : kModifiedAlpha;
        autoMute_->textColour = colour;
    }
    if (index == -1 || index == auditionIndex_) {
        AbstractPluginParameter* p = parameter(auditionIndex_);
        audition_->textColour = kAuditionColours[p ? std::clamp(int(p->value()), 0, 2) : 0];
    }
    if (index == -1) {
        // The curves are the filters' responses at the rate the plug-in runs.
        const float rate = plugin().environment().sampleRate();
        if (filters_ && rate > 0.0f && rate != sampleRate_) {
            sampleRate_ = rate;
            filterPanel_->display()->setSampleRate(rate);
            for (int f = 0; f < 2; ++f) filters_->filterButton(f)->curve()->setSampleRate(rate);
        }
    }
    for (StripSection* s : sections()) s->parameterChanged(index);
    // The filter buttons' drag hints follow the help menu's "Show Component Displays".
    if (strip_ && GenericPlugin::sharedSettings())
        strip_->showHintLabels = GenericPlugin::sharedSettings()->showComponentDisplays;
}

void LorimaneInterface::unboundControlEdited(gui::ValueControl* control) {
    if (!settings_) return;
    if (control == resize_) {
        settings_->interfaceLayout = resize_->value.get();
    } else if (control == modulation_) {
        settings_->showModulation = modulation_->value.get() != 0;
    } else {
        return;
    }
    resizeEditor();
    layoutEditor();
}
