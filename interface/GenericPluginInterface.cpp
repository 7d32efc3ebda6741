#include "interface/GenericPluginInterface.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "framework/AbstractMusicEventReceiver.h"
#include "framework/AbstractPluginParameter.h"
#include "framework/DefaultEventReceiver.h"
#include "framework/MidiVirtualPluginParameter.h"
#include "framework/CompareStates.h"
#include "framework/UndoHistory.h"
#include "gui/Bitmap.h"
#include "gui/Light.h"
#include "gui/MenuItem.h"
#include "gui/OpenSaveDialog.h"
#include "gui/PopupMenu.h"
#include "gui/RootControl.h"
#include "gui/SelectFolderDialog.h"
#include "gui/Timer.h"
#include "gui/ValueControl.h"
#include "interface/EditorHost.h"
#include "interface/HelpHintWindow.h"
#include "interface/ValueDisplay.h"
#include "interface/HelpTexts.h"
#include "interface/MidiLearnController.h"
#include "persistence/PersistenceGlobals.h"
#include "persistence/PresetMenu.h"
#include "streams/Resource.h"

namespace {

// Below this distance from the centre a ratio link would divide by almost nothing and throw the
// linked control to a limit: the linked value holds instead.
constexpr double kSmallestRatioDivisor = 0.01;
// The opacity of the preset name while the preset is modified, and of idle top-bar buttons.
constexpr int kModifiedNameAlpha = 255 * 161 / 256;
constexpr int kIdleButtonOpacity = 90;

double linkRatio(int kind, double moved, double linked) {
    if (kind != GenericPluginInterface::kRatioLink) return 1.0;
    const double divisor = moved - 0.5;
    if (divisor == 0.0) return 1.0;
    if (std::abs(divisor) < kSmallestRatioDivisor) return 0.0;
    return (linked - 0.5) / divisor;
}

bool timeReached(uint32_t now, uint32_t deadline) { return static_cast<int32_t>(now - deadline) >= 0; }

GenericPlugin::SharedSettings* shared() { return GenericPlugin::sharedSettings(); }

std::string fileStem(const std::string& path) { return std::filesystem::path(path).stem().string(); }

}  // namespace

// A menu item that runs an action when chosen.
class GenericPluginInterface::ActionItem : public gui::MenuItem {
public:
    ActionItem(std::string text, std::function<void()> action)
        : gui::MenuItem(std::move(text)), action_(std::move(action)) {
        chosenEvent.setOwnerHandler(this, &ActionItem::chosen);
    }

private:
    void chosen(void*) {
        if (action_) action_();
    }
    std::function<void()> action_;
};

GenericPluginInterface::GenericPluginInterface(GenericPlugin& plugin, gui::UserInterface& ui, EditorHost& host)
    : plugin_(plugin), ui_(ui), host_(host) {
    bindings_.resize(static_cast<std::size_t>(std::max(0, plugin.getParameterCount())));
    ui_.addListener(this);
    if (UndoHistory* undo = plugin.undoHistory()) undo->setInitialState();
    if (CompareStates* compare = plugin.compareStates(); compare && !compare->initialized())
        compare->initializeCompare();
    for (auto* menu : {&presetMenu_, &midiMenu_, &helpMenu_, &optionsMenu_}) {
        *menu = ui.createPopupMenu();
        if (*menu) (*menu)->openingEvent.setOwnerHandler(this, &GenericPluginInterface::menuOpening);
    }
    timer_ = ui.createTimer();
    if (timer_) {
        timer_->interval = kHousekeepingMs;
        timer_->firedEvent.setOwnerHandler(this, &GenericPluginInterface::timerFired);
        timer_->running = true;
    }
    // Last: from here on notifications arrive, and everything they reach exists.
    plugin.setListener(this);
}

GenericPluginInterface::~GenericPluginInterface() {
    plugin_.setListener(nullptr);
    if (midiLearnActive_) setLearnTarget(-1);
    ui_.removeListener(this);
    ui_.closePopupMenus();
    delete timer_;
    // The controls go before the styles and images they draw with, and before this listener.
    if (gui::RootControl* root = ui_.getRootControl(); root && !ui_.isDestroying()) root->deleteAllChildren();
}

// --- notifications ------------------------------------------------------------------------------

void GenericPluginInterface::notify(int code, int value) {
    // On the audio thread a full queue (an editor that stopped draining) drops the notice rather than
    // grow under a lock.
    ui_.postEvent(code, value, code == GenericPlugin::kParameterChanged, !plugin_.onAudioThread());
}

void GenericPluginInterface::eventReceived(int code, int value) {
    switch (code) {
        case GenericPlugin::kParameterChanged:
            refreshParameter(value);
            break;
        case GenericPlugin::kPresetChanged:
            refreshPresetName();
            break;
        case GenericPlugin::kMidiReceived:
            midiReceived();
            break;
        case Resize:
            resizeEditor();
            break;
        case OpenHelpDocument:
            if (PersistenceGlobals* globals = PersistenceGlobals::instance()) {
                const std::string& help = globals->settingsState().helpFileName;
                if (!help.empty()) ui_.openDocument(help);
            }
            break;
        case OpenWebAddress:
            if (!webAddressToOpen_.empty()) ui_.openWebAddress(webAddressToOpen_);
            break;
        default:
            break;
    }
}

// --- parameters and gestures ---------------------------------------------------------------------

AbstractPluginParameter* GenericPluginInterface::parameter(int index) const {
    if (index < 0 || index >= plugin_.getParameterCount()) return nullptr;
    return plugin_.getParameter(index);
}

void GenericPluginInterface::touch(int index) {
    host_.editBegan(index);
    if (midiLearnActive_) setLearnTarget(index);
}

void GenericPluginInterface::beginEdit(int index) {
    AbstractPluginParameter* p = parameter(index);
    if (!p) return;
    if (gestureDepth_++ == 0) gestureDescription_ = p->name();
    touch(index);
}

void GenericPluginInterface::setNormalized(int index, float normalized) {
    if (AbstractPluginParameter* p = parameter(index))
        p->setValue(p->normalizedToPlain(std::clamp(normalized, 0.0f, 1.0f)), 0);
}

void GenericPluginInterface::endEdit(int index) {
    if (!parameter(index)) return;
    host_.editEnded(index);
    if (gestureDepth_ > 0 && --gestureDepth_ == 0) recordIfChanged(gestureDescription_);
}

void GenericPluginInterface::recordIfChanged(const std::string& description) {
    UndoHistory* undo = plugin_.undoHistory();
    if (undo && !undo->isCurrentState()) {
        undo->record(description);
        if (CompareStates* compare = plugin_.compareStates()) compare->setChanged(true);
    }
    refreshTopBar();
}

void GenericPluginInterface::bindControl(int index, gui::ValueControl* control) {
    AbstractPluginParameter* p = parameter(index);
    if (!p || !control) return;
    std::vector<gui::ValueControl*>& controls = bindings_[std::size_t(index)].controls;
    if (std::find(controls.begin(), controls.end(), control) == controls.end()) controls.push_back(control);
    control->parameterIndex = index;
    control->setListener(this);
    control->hoverChangedEvent.removeHandlers(this);
    control->hoverChangedEvent.addHandler(this, &GenericPluginInterface::boundControlHoverChanged);
    if (control->hint.get().empty()) control->hint = p->helpText();
    showControlValue(control, index);
}

void GenericPluginInterface::unbindControl(int index, gui::ValueControl* control) {
    std::erase(openControls_, control);
    if (control) control->hoverChangedEvent.removeHandlers(this);
    if (control == valueDisplayControl_) hideValueDisplay();
    if (index >= 0 && index < static_cast<int>(bindings_.size())) std::erase(bindings_[std::size_t(index)].controls, control);
    for (Binding& b : bindings_) std::erase_if(b.links, [&](const Link& l) { return l.control == control; });
    if (control && control->listener() == this) control->setListener(nullptr);
}

void GenericPluginInterface::linkControl(int index, gui::ValueControl* control, int kind) {
    if (index < 0 || index >= static_cast<int>(bindings_.size()) || !control) return;
    bindings_[std::size_t(index)].links.push_back({control, kind});
}

const std::vector<gui::ValueControl*>& GenericPluginInterface::boundControls(int index) const {
    static const std::vector<gui::ValueControl*> none;
    return index >= 0 && index < static_cast<int>(bindings_.size()) ? bindings_[std::size_t(index)].controls : none;
}

void GenericPluginInterface::showControlValue(gui::ValueControl* control, int index) {
    AbstractPluginParameter* p = parameter(index);
    if (!p || control->isEditing()) return;
    control->value = control->fromNormalized(p->plainToNormalized(p->value()));
}

void GenericPluginInterface::refreshParameter(int index) {
    if (index == -1) {
        for (std::size_t i = 0; i < bindings_.size(); ++i)
            for (gui::ValueControl* c : bindings_[i].controls) showControlValue(c, static_cast<int>(i));
        return;
    }
    for (gui::ValueControl* c : boundControls(index)) showControlValue(c, index);
    if (valueDisplayControl_ && valueDisplayControl_->parameterIndex == index) showValueDisplay(valueDisplayControl_);
}

void GenericPluginInterface::showValueDisplay(gui::ValueControl* control) {
    AbstractPluginParameter* p = control ? parameter(control->parameterIndex) : nullptr;
    if (!valueDisplay_ || !p) return;
    valueDisplayControl_ = control;
    valueDisplay_->show(*control, p->name(), p->plainToText(p->value()));
}

void GenericPluginInterface::hideValueDisplay() {
    valueDisplayControl_ = nullptr;
    if (valueDisplay_) valueDisplay_->hide();
}

void GenericPluginInterface::boundControlHoverChanged(void* sender) {
    auto* control = static_cast<gui::ValueControl*>(sender);
    if (control->hoverTarget())
        showValueDisplay(control);
    else if (control == valueDisplayControl_ && !control->isEditing())
        hideValueDisplay();
}

int GenericPluginInterface::maxLinkedChange(gui::ValueControl*, int) { return 0; }

void GenericPluginInterface::valueEdited(gui::ValueControl* control, int phase, int) {
    const int index = control->parameterIndex;
    if (index < 0 || index >= static_cast<int>(bindings_.size())) {
        if (phase == gui::ValueControlListener::End) unboundControlEdited(control);
        return;
    }
    std::vector<Link>& links = bindings_[std::size_t(index)].links;
    const double moved = control->toNormalized();
    const bool open = std::find(openControls_.begin(), openControls_.end(), control) != openControls_.end();
    switch (phase) {
        case gui::ValueControlListener::Begin:
            // A gesture whose end never arrived is finished before the control's next one, so that
            // it still becomes its own undo step.
            if (open) valueEdited(control, gui::ValueControlListener::End, 0);
            openControls_.push_back(control);
            touch(index);
            // The ratio is fixed here, for the whole drag: taken afresh on every step it would drift.
            for (Link& l : links) {
                l.start = l.control->toNormalized();
                l.ratio = linkRatio(l.kind, moved, l.start);
                if (parameter(l.control->parameterIndex)) touch(l.control->parameterIndex);
            }
            linkOrigin_ = moved;
            showValueDisplay(control);
            break;
        case gui::ValueControlListener::Change:
            setNormalized(index, static_cast<float>(moved));
            if (control == valueDisplayControl_) showValueDisplay(control);
            for (Link& l : links) {
                const double target = std::clamp(l.start + l.ratio * (moved - linkOrigin_), 0.0, 1.0);
                l.control->value = l.control->fromNormalized(target);
                setNormalized(l.control->parameterIndex, static_cast<float>(target));
            }
            break;
        case gui::ValueControlListener::End: {
            if (!open) break;
            std::erase(openControls_, control);
            for (Link& l : links)
                if (parameter(l.control->parameterIndex)) host_.editEnded(l.control->parameterIndex);
            host_.editEnded(index);
            if (control == valueDisplayControl_ && !control->hoverTarget()) hideValueDisplay();
            // Each control's gesture is its own step, whatever other gestures are still open.
            recordIfChanged(parameter(index)->name());
            break;
        }
        default:
            break;
    }
}

int GenericPluginInterface::parameterAt(gui::Point point) const {
    int found = -1;
    long smallest = 0;
    for (std::size_t i = 0; i < bindings_.size(); ++i) {
        for (const gui::ValueControl* c : bindings_[i].controls) {
            if (!c->isShowing()) continue;
            const gui::Point at = c->toRoot({0, 0});
            if (!gui::Rect::ofSize(at.x, at.y, c->width(), c->height()).contains(point)) continue;
            // The innermost of nested controls (a knob inside its ring) wins.
            const long area = static_cast<long>(c->width()) * c->height();
            if (found < 0 || area < smallest) {
                found = static_cast<int>(i);
                smallest = area;
            }
        }
    }
    return found;
}

// --- top bar -------------------------------------------------------------------------------------

void GenericPluginInterface::finishConstruction(const TopBar& topBar, gui::Light* midiLight) {
    topBar_ = topBar;
    midiLight_ = midiLight;
    gui::Button* clickable[] = {topBar.undo, topBar.redo, topBar.ab, topBar.copy, topBar.previousPreset,
                                topBar.nextPreset, topBar.midiLearn};
    for (gui::Button* b : clickable)
        if (b) b->clickEvent.setOwnerHandler(this, &GenericPluginInterface::buttonClicked);
    const std::pair<gui::Button*, gui::PopupMenu*> menus[] = {{topBar.presetName, presetMenu_.get()},
                                                              {topBar.help, helpMenu_.get()},
                                                              {topBar.midiMenu, midiMenu_.get()},
                                                              {topBar.options, optionsMenu_.get()}};
    for (const auto& [button, menu] : menus)
        if (button) button->popupMenu = menu;
    const std::pair<gui::Button*, const char*> hints[] = {
        {topBar.undo, helptext::kUndo},           {topBar.redo, helptext::kRedo},
        {topBar.ab, helptext::kAB},               {topBar.copy, helptext::kCopy},
        {topBar.previousPreset, helptext::kPreviousPreset}, {topBar.presetName, helptext::kPresets},
        {topBar.nextPreset, helptext::kNextPreset}, {topBar.help, helptext::kHelp},
        {topBar.midiLearn, helptext::kMidiLearn}, {topBar.midiMenu, helptext::kMidiLearnMenu},
        {topBar.options, helptext::kOptions}};
    for (const auto& [button, text] : hints)
        if (button && button->hint.get().empty()) button->hint = text;
    if (midiLight_ && midiLight_->hint.get().empty()) midiLight_->hint = helptext::kMidiLight;

    hintWindow_ = createHelpHintWindow();
    if (gui::RootControl* root = ui_.getRootControl(); root && hintWindow_) hintWindow_->parent = root;
    valueDisplay_ = new ValueDisplay(&ui_);
    if (gui::RootControl* root = ui_.getRootControl()) valueDisplay_->parent = root;
    layoutEditor();
    refreshAll();
    if (GenericPlugin::SharedSettings* s = shared()) {
        ui_.setHintsEnabled(s->showInteractiveHelp);
        if (s->showWelcomeHint) {
            s->showWelcomeHint = false;
            showMessage(helptext::kWelcome, ShowAlways | FadeOut);
        }
    }
}

void GenericPluginInterface::buttonClicked(void* sender) {
    if (sender == topBar_.undo) undo();
    else if (sender == topBar_.redo) redo();
    else if (sender == topBar_.ab) switchAB();
    else if (sender == topBar_.copy) copyAB();
    else if (sender == topBar_.previousPreset) stepPreset(PresetManager::Previous);
    else if (sender == topBar_.nextPreset) stepPreset(PresetManager::Next);
    else if (sender == topBar_.midiLearn) setMidiLearnActive(!midiLearnActive_);
}

void GenericPluginInterface::refreshTopBar() {
    UndoHistory* history = plugin_.undoHistory();
    CompareStates* compare = plugin_.compareStates();
    auto enable = [](gui::Button* b, bool on) {
        if (!b) return;
        b->interactive = on;
        b->opacity = on ? 255 : kIdleButtonOpacity;
    };
    enable(topBar_.undo, history && history->canUndo());
    enable(topBar_.redo, history && history->canRedo());
    if (topBar_.copy) topBar_.copy->opacity = compare && compare->changed() ? 255 : kIdleButtonOpacity;
    if (topBar_.ab) topBar_.ab->on = compare && compare->currentIndex() == 1;
    if (topBar_.midiLearn) topBar_.midiLearn->on = midiLearnActive_;
}

void GenericPluginInterface::refreshPresetName() {
    GenericPlugin::PresetState& state = plugin_.presetState();
    shownModified_ = state.modified();
    if (!topBar_.presetName) return;
    topBar_.presetName->setText(state.record().name);
    gui::Rgba colour = topBar_.presetName->textColour;
    colour.alpha = shownModified_ ? kModifiedNameAlpha : 255;
    topBar_.presetName->textColour = colour;
}

void GenericPluginInterface::refreshAll() {
    refreshParameter(-1);
    refreshPresetName();
    refreshTopBar();
}

void GenericPluginInterface::undo() {
    UndoHistory* history = plugin_.undoHistory();
    if (!history || !history->canUndo()) return;
    history->undo();
    refreshAll();
}

void GenericPluginInterface::redo() {
    UndoHistory* history = plugin_.undoHistory();
    if (!history || !history->canRedo()) return;
    history->redo();
    refreshAll();
}

void GenericPluginInterface::switchAB() {
    CompareStates* compare = plugin_.compareStates();
    if (!compare) return;
    compare->switchAB();
    refreshAll();
}

void GenericPluginInterface::copyAB() {
    if (CompareStates* compare = plugin_.compareStates()) compare->copy();
    refreshTopBar();
}

PresetManager* GenericPluginInterface::presets() const {
    PersistenceGlobals* globals = PersistenceGlobals::instance();
    return globals ? &globals->mainPresets() : nullptr;
}

void GenericPluginInterface::stepPreset(int direction) {
    PresetManager* manager = presets();
    if (!manager) return;
    PresetEntry* entry = manager->neighbour(plugin_.presetState().record().path, direction);
    if (!entry) {
        // The current preset is not in the tree (new, or from elsewhere): start at an end of it.
        const std::vector<PresetEntry*> list = manager->flatten();
        const int count = manager->mainCount();
        if (count <= 0) return;
        entry = direction == PresetManager::Previous ? list[std::size_t(count - 1)] : list.front();
    }
    loadPresetFromEditor(entry->record());
}

bool GenericPluginInterface::loadPresetFromEditor(const GenericPlugin::PresetRecord& preset) {
    if (!plugin_.loadPreset(preset)) {
        // The user asked for this preset: the failure is shown whether hints are on or not.
        showMessage(kPresetLoadFailed, ShowAlways | FadeOut);
        return false;
    }
    if (UndoHistory* history = plugin_.undoHistory()) history->record(preset.name);
    if (CompareStates* compare = plugin_.compareStates()) compare->setChanged(true);
    refreshAll();
    return true;
}

// --- menus ---------------------------------------------------------------------------------------

gui::MenuItem* GenericPluginInterface::addAction(gui::Menu& menu, const std::string& text,
                                                 std::function<void()> action) {
    auto* item = new ActionItem(text, std::move(action));
    menu.addItem(item);
    return item;
}

void GenericPluginInterface::menuOpening(void* sender) {
    auto* menu = static_cast<gui::PopupMenu*>(sender);
    menu->clearItems();
    if (menu == presetMenu_.get()) buildPresetMenu(*menu);
    else if (menu == midiMenu_.get()) buildMidiMenu(*menu);
    else if (menu == helpMenu_.get()) buildHelpMenu(*menu);
    else if (menu == optionsMenu_.get()) buildOptionsMenu(*menu);
}

void GenericPluginInterface::addPresetItems(gui::Menu& menu, const std::vector<PresetMenuItem>& items) {
    for (const PresetMenuItem& source : items) {
        gui::MenuItem* item = nullptr;
        switch (source.kind) {
            case PresetMenuItem::Entry: {
                const GenericPlugin::PresetRecord record{fileStem(source.path), source.path};
                item = addAction(menu, source.text, [this, record] { loadPresetFromEditor(record); });
                break;
            }
            case PresetMenuItem::Submenu:
                item = new gui::MenuItem(source.text);
                menu.addItem(item);
                addPresetItems(*item, source.items);
                break;
            case PresetMenuItem::Separator:
                menu.addSeparator();
                break;
            case PresetMenuItem::Command:
                break;
        }
        if (!item) continue;
        item->checkMark = source.checked;
        item->enabled = source.enabled;
    }
}

void GenericPluginInterface::buildPresetMenu(gui::PopupMenu& menu) {
    if (PresetManager* manager = presets()) {
        addPresetItems(menu, PresetMenu::mainItems(*manager, plugin_.presetState().record().path, false));
    } else {
        auto* none = new gui::MenuItem(PresetMenu::kNoPresets);
        none->enabled = false;
        menu.addItem(none);
    }
    menu.addSeparator();
    GenericPlugin::SharedSettings* settings = shared();
    if (settings && settings->savePresetItemEnabled) addAction(menu, "Save", [this] { savePreset(); });
    addAction(menu, "Save As...", [this] { savePresetAs(); });
    auto* options = new gui::MenuItem("Options");
    menu.addItem(options);
    buildOptionsMenu(*options);
    addAction(menu, "Save As Default", [this] { saveAsDefault(); });
    addAction(menu, "Open Other Preset...", [this] { openPresetFile(); });
    addAction(menu, "Change Preset Folder...", [this] { changePresetFolder(); });
    addAction(menu, "Restore Factory Presets", [this] { restoreFactoryPresets(); });
}

void GenericPluginInterface::buildOptionsMenu(gui::Menu& menu) {
    GenericPlugin::SharedSettings* settings = shared();
    gui::MenuItem* item = addAction(menu, "Enable MIDI Program Changes", [] {
        if (GenericPlugin::SharedSettings* s = shared()) s->enableMidiProgramChanges = !s->enableMidiProgramChanges;
    });
    item->checkMark = settings && settings->enableMidiProgramChanges;
    item->enabled = settings != nullptr;
}

AbstractPluginParameter* GenericPluginInterface::midiReceiveParameter() const {
    for (int i = 0; i < plugin_.getParameterCount(); ++i)
        if (AbstractPluginParameter* p = plugin_.getParameter(i); p && p->name() == "Receive Midi") return p;
    return nullptr;
}

void GenericPluginInterface::buildMidiMenu(gui::PopupMenu& menu) {
    PersistenceGlobals* globals = PersistenceGlobals::instance();
    MidiControllerMap* map = globals ? &globals->controllerMap() : nullptr;
    if (featureFlags_ & EnableMidiItem) {
        AbstractPluginParameter* receive = midiReceiveParameter();
        gui::MenuItem* item = addAction(menu, "Enable MIDI", [this, receive] {
            const float enabled = static_cast<float>(GenericPlugin::MidiEnabled);
            receive->setValue(receive->value() == enabled ? static_cast<float>(GenericPlugin::MidiDisabled) : enabled, 0);
            recordIfChanged("Enable MIDI");
            refreshControls();
        });
        item->enabled = receive != nullptr;
        item->checkMark = receive && receive->value() == static_cast<float>(GenericPlugin::MidiEnabled);
    }
    auto* clear = new gui::MenuItem("Clear");
    menu.addItem(clear);
    if (map) {
        auto addClear = [&](int number, const std::string& name) {
            const int controller = map->controllerFor(number);
            if (controller < 0) return;
            addAction(*clear, std::to_string(controller) + ": " + name, [this, map, controller] {
                map->clear(controller);
                midiMapChanged();
            });
        };
        for (int i = 0; i < plugin_.getParameterCount(); ++i)
            if (AbstractPluginParameter* p = plugin_.getParameter(i)) addClear(i, p->name());
        const auto& virtuals = plugin_.virtualParameters();
        for (std::size_t i = 0; i < virtuals.size(); ++i)
            addClear(GenericPlugin::kFirstVirtualParameter + static_cast<int>(i), virtuals[i]->name());
    }
    if (clear->itemCount() > 0) {
        clear->addSeparator();
        addAction(*clear, "Clear All", [this, map] {
            map->clearAll();
            midiMapChanged();
        });
    } else {
        clear->enabled = false;
    }
    gui::MenuItem* revert = addAction(menu, "Revert", [this, globals] {
        // A missing or foreign file leaves the map as it is.
        globals->controllerMap().load(globals->controllerMapPath());
        midiMapChanged();
    });
    gui::MenuItem* save = addAction(menu, "Save", [this, globals] {
        globals->saveControllerMap();
        midiMapChanged();
    });
    revert->enabled = save->enabled = globals != nullptr;
}

void GenericPluginInterface::midiMapChanged() {
    refreshControls();
    if (learnController_) learnController_->invalidateAll();
}

void GenericPluginInterface::buildHelpMenu(gui::PopupMenu& menu) {
    GenericPlugin::SharedSettings* settings = shared();
    addAction(menu, "Help Topics", [this] { ui_.postEvent(OpenHelpDocument, 0); });
    gui::MenuItem* hints = addAction(menu, "Show Interactive Help Hints", [this] {
        if (GenericPlugin::SharedSettings* s = shared()) {
            s->showInteractiveHelp = !s->showInteractiveHelp;
            ui_.setHintsEnabled(s->showInteractiveHelp);
            if (!s->showInteractiveHelp) hideHelpHint();
        }
    });
    hints->checkMark = settings && settings->showInteractiveHelp;
    if (featureFlags_ & ComponentDisplaysItem) {
        gui::MenuItem* displays = addAction(menu, "Show Component Displays", [] {
            if (GenericPlugin::SharedSettings* s = shared()) s->showComponentDisplays = !s->showComponentDisplays;
        });
        displays->checkMark = settings && settings->showComponentDisplays;
    }
    menu.addSeparator();
    addAction(menu, "Brixholde Web Site", [this] {
        webAddressToOpen_ = webAddress(0);
        ui_.postEvent(OpenWebAddress, 0);
    });
    addAction(menu, "Brixholde Support", [this] {
        webAddressToOpen_ = webAddress(1);
        ui_.postEvent(OpenWebAddress, 0);
    });
}

std::string GenericPluginInterface::webAddress(int kind) const {
    return kind == 0 ? "https://www.brixholde.com/" : "https://www.brixholde.com/support/";
}

// --- preset files --------------------------------------------------------------------------------

void GenericPluginInterface::savePreset() {
    const GenericPlugin::PresetRecord current = plugin_.presetState().record();
    // A preset that never came from a file has nowhere to be written back to.
    if (current.path.empty()) {
        savePresetAs();
        return;
    }
    if (!plugin_.savePreset(current)) showMessage(helptext::kSaveFailed, ShowAlways | FadeOut);
}

void GenericPluginInterface::savePresetAs() {
    std::unique_ptr<gui::OpenSaveDialog> dialog = ui_.createSaveDialog();
    if (!dialog) return;
    PresetManager* manager = presets();
    if (manager) dialog->initialFolder = manager->path();
    dialog->path = plugin_.presetState().record().name;
    dialog->filter = "Brixholde Preset (*.bxp)|*.bxp|Any File (*.*)|*.*";
    dialog->defaultExtension = "bxp";
    if (!dialog->run()) return;
    const std::string path = dialog->path;
    if (!plugin_.savePreset({fileStem(path), path})) {
        showMessage(helptext::kSaveFailed, ShowAlways | FadeOut);
        return;
    }
    if (manager) manager->setFolder(manager->path());
    refreshPresetName();
}

void GenericPluginInterface::saveAsDefault() {
    PresetManager* manager = presets();
    if (!manager) return;
    const std::string name = plugin_.getDefaultPresetName();
    if (!plugin_.savePresetFile({name, manager->path() + name + plugin_.getPresetExtension()})) {
        showMessage(helptext::kSaveFailed, ShowAlways | FadeOut);
        return;
    }
    manager->setFolder(manager->path());
}

void GenericPluginInterface::openPresetFile() {
    std::unique_ptr<gui::OpenSaveDialog> dialog = ui_.createOpenDialog();
    if (!dialog) return;
    if (PresetManager* manager = presets()) dialog->initialFolder = manager->path();
    dialog->filter = "Brixholde Presets (*.bxp)|*.bxp|All Files (*.*)|*.*";
    dialog->defaultExtension = "bxp";
    if (!dialog->run()) return;
    const std::string path = dialog->path;
    const GenericPlugin::PresetRecord record{fileStem(path), path};
    // A file that cannot be loaded leaves the instance as it was, quietly.
    if (!plugin_.loadPreset(record)) return;
    if (UndoHistory* history = plugin_.undoHistory()) history->record(record.name);
    if (CompareStates* compare = plugin_.compareStates()) compare->setChanged(true);
    refreshAll();
}

void GenericPluginInterface::changePresetFolder() {
    PersistenceGlobals* globals = PersistenceGlobals::instance();
    std::unique_ptr<gui::SelectFolderDialog> dialog = ui_.createSelectFolderDialog();
    if (!globals || !dialog || !shared()) return;
    dialog->title = "Select a folder to store your presets";
    dialog->path = globals->mainPresets().path();
    if (!dialog->run()) return;
    globals->changePresetFolder(dialog->path, *shared(), &plugin_.settings());
}

void GenericPluginInterface::restoreFactoryPresets() {
    PersistenceGlobals* globals = PersistenceGlobals::instance();
    if (!globals) return;
    if (ui_.showMessage(kRestoreQuestion, 3) != 0) return;
    if (!globals->restoreFactoryPresets()) ui_.showMessage(kRestoreFailed, 1);
}

// --- hints, messages, MIDI, resizing --------------------------------------------------------------

HelpHintWindow* GenericPluginInterface::createHelpHintWindow() { return new HelpHintWindow(&ui_); }

void GenericPluginInterface::layoutEditor() {
    gui::RootControl* root = ui_.getRootControl();
    if (!root || !hintWindow_) return;
    // Under the top bar, at the right edge, over everything else.
    hintWindow_->setPosition({root->width() - hintWindow_->width() - 8, kTopBarHeight + 4});
    root->bringToFront(hintWindow_);
    if (learnController_) learnController_->relayout();
}

bool GenericPluginInterface::hintsOn() const {
    GenericPlugin::SharedSettings* settings = shared();
    return !settings || settings->showInteractiveHelp;
}

void GenericPluginInterface::showHint(const std::string& text) {
    if (!text.empty() && !hintsOn()) return;
    setHintWindowText(text, false);
}

void GenericPluginInterface::showMessage(const std::string& text, int flags) {
    if (!(flags & ShowAlways) && !hintsOn()) return;
    setHintWindowText(text, flags & FadeOut);
}

void GenericPluginInterface::setHintWindowText(const std::string& text, bool fade) {
    if (!hintWindow_) return;
    hintWindow_->setText(text);
    hintWindow_->opacity = 255;
    if (gui::RootControl* root = ui_.getRootControl(); root && !text.empty()) root->bringToFront(hintWindow_);
    messageFading_ = fade && !text.empty();
    messageFadeAt_ = ui_.clock().nowMs() + kMessageFadeMs;
}

void GenericPluginInterface::hideHelpHint() { setHintWindowText(std::string(), false); }

std::string GenericPluginInterface::hintText() const {
    return hintWindow_ && hintWindow_->visible ? hintWindow_->text() : std::string();
}

void GenericPluginInterface::midiReceived() {
    if (learnController_) learnController_->refresh();
    if (!midiLight_) return;
    midiLight_->level = 255;
    midiLightOn_ = true;
    midiLightOffAt_ = ui_.clock().nowMs() + kMidiLightMs;
}

MidiLearnController* GenericPluginInterface::createMidiLearnOverlay() {
    PersistenceGlobals* globals = PersistenceGlobals::instance();
    auto* overlay = new MidiLearnController(*this, globals ? &globals->controllerMap() : nullptr);
    overlay->show();
    for (const Binding& b : bindings_)
        for (gui::ValueControl* c : b.controls) overlay->addTarget(c);
    return overlay;
}

AbstractChannelEventReceiver* GenericPluginInterface::channelReceiver() const {
    auto* receiver = dynamic_cast<DefaultEventReceiver*>(&plugin_.eventReceiver());
    return receiver ? &receiver->channelReceiver() : nullptr;
}

void GenericPluginInterface::setLearnTarget(int parameterNumber) {
    if (AbstractChannelEventReceiver* receiver = channelReceiver()) receiver->setLearnTarget(parameterNumber);
}

int GenericPluginInterface::learnTarget() const {
    AbstractChannelEventReceiver* receiver = channelReceiver();
    return receiver ? receiver->learnTarget() : -1;
}

void GenericPluginInterface::setMidiLearnActive(bool active) {
    if (active == midiLearnActive_) return;
    midiLearnActive_ = active;
    if (active) {
        learnController_ = createMidiLearnOverlay();
        layoutEditor();
    } else {
        setLearnTarget(-1);
        if (learnController_) learnController_->hide();
        learnController_ = nullptr;
    }
    refreshTopBar();
}

void GenericPluginInterface::resizeEditor() {
    if (!ui_.isUiThread()) {
        ui_.postEvent(Resize, 0);
        return;
    }
    gui::RootControl* root = ui_.getRootControl();
    const int width = plugin_.getEditorWidth();
    const int height = plugin_.getEditorHeight();
    if (!root || (root->width() == width && root->height() == height)) return;
    if (!host_.resizeRequested(width, height)) {
        showMessage(kResizeRefused, ShowAlways | FadeOut);
        return;
    }
    root->setSize(width, height);
    if (!backgroundName_.empty()) loadBackground(backgroundName_);
    layoutEditor();
}

void GenericPluginInterface::loadBackground(const std::string& name) {
    backgroundName_ = name;
    if (const EmbeddedResource* r = findEmbeddedResource(embeddedResources(), name))
        ui_.setBackgroundImage(r->data, r->size);
    if (gui::RootControl* root = ui_.getRootControl()) root->invalidateAll();
}

gui::Bitmap* GenericPluginInterface::image(const std::string& name) {
    std::unique_ptr<gui::Bitmap>& slot = images_[name];
    if (!slot) {
        slot = std::make_unique<gui::Bitmap>();
        if (const EmbeddedResource* r = findEmbeddedResource(embeddedResources(), name)) slot->load(r->data, r->size);
    }
    return slot.get();
}

// --- housekeeping --------------------------------------------------------------------------------

void GenericPluginInterface::timerFired(void*) { housekeeping(); }

void GenericPluginInterface::housekeeping() {
    // A program change the audio thread handed over, where the host runs no thread of its own.
    if (!host_.performsDeferredWork() && plugin_.deferredWorkPending()) plugin_.performDeferredWork();
    const uint32_t now = ui_.clock().nowMs();
    if (midiLightOn_ && timeReached(now, midiLightOffAt_)) {
        midiLightOn_ = false;
        if (midiLight_) midiLight_->level = 0;
    }
    if (messageFading_ && hintWindow_) {
        const int32_t left = static_cast<int32_t>(messageFadeAt_ - now);
        if (left <= 0) {
            hideHelpHint();
        } else if (left < kFadeTailMs) {
            hintWindow_->opacity = 255 * left / kFadeTailMs;
        }
    }
    if (learnController_) learnController_->refresh();
    if (plugin_.presetState().modified() != shownModified_) refreshPresetName();
    ui_.setHintsEnabled(hintsOn());
    refreshTopBar();
}
