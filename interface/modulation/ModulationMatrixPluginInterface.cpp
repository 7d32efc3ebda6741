#include "interface/modulation/ModulationMatrixPluginInterface.h"

#include <algorithm>

#include "framework/AbstractParameterSetList.h"
#include "gui/RootControl.h"
#include "gui/ValueControl.h"
#include "interface/modulation/LorimaneSourceFactory.h"
#include "interface/modulation/ModulationDragStage.h"
#include "interface/modulation/ModulationIndicatorManager.h"
#include "interface/modulation/SourceController.h"
#include "interface/modulation/SourceSlotController.h"
#include "modulation/ModMatrixParamController.h"
#include "modulation/ModulationMatrixOwner.h"
#include "modulation/ModulationSlotParameterSetList.h"
#include "modulation/ModulationTargetParameter.h"

ModulationMatrixPluginInterface::ModulationMatrixPluginInterface(GenericPlugin& plugin, gui::UserInterface& ui,
                                                                 EditorHost& host)
    : BrixholdePluginInterface(plugin, ui, host),
      owner_(dynamic_cast<ModulationMatrixOwner*>(&plugin)),
      targetControls_(std::size_t(std::max(0, plugin.getParameterCount()))),
      targetOwners_(kTargetCount) {
    dragManager_.setListener(this);
    if (ModulationSlotParameterSetList* slots = slotList())
        for (int i = 0; i < slots->maximumCount() && kFirstSlotLevelTarget + i < kTargetCount; ++i)
            setTargetOwner(kFirstSlotLevelTarget + i, slots, i);
}

ModulationMatrixPluginInterface::~ModulationMatrixPluginInterface() {
    destroySection();
    dragManager_.setListener(nullptr);
}

void ModulationMatrixPluginInterface::destroySection() {
    if (!section_) return;
    SourceController* section = section_;
    section_ = nullptr;
    // The section's panels unbind while this editor still exists.
    if (!userInterface().isDestroying()) {
        section->deleteAllChildren();
        delete section;
    }
    listeners_.clear();
}

// --- target controls -----------------------------------------------------------------------------

int ModulationMatrixPluginInterface::targetOfParameter(int index) const {
    auto* target = dynamic_cast<ModulationTargetParameter*>(parameter(index));
    return target ? target->target() : -1;
}

void ModulationMatrixPluginInterface::bindControl(int index, gui::ValueControl* control) {
    const int target = targetOfParameter(index);
    // Invisible helpers and second views of a parameter (a value label beside its knob) stay
    // ordinary bindings: the first interactive control is the one a source is dropped on.
    const bool candidate = control && target >= 0 && control->interactive.get() && control->visible.get();
    const bool free = index >= 0 && index < int(targetControls_.size()) &&
                      (!targetControls_[std::size_t(index)].control || targetControls_[std::size_t(index)].control == control);
    if (candidate && free)
        bindControl(index, control, target);
    else
        BrixholdePluginInterface::bindControl(index, control);
}

void ModulationMatrixPluginInterface::bindControl(int index, gui::ValueControl* control, int target) {
    if (index < 0 || index >= int(targetControls_.size())) {
        BrixholdePluginInterface::bindControl(index, control);
        return;
    }
    TargetEntry& entry = targetControls_[std::size_t(index)];
    if (entry.control && (entry.control != control || target < 0)) {
        gui::ValueControl* old = entry.control;
        const int oldTarget = entry.target;
        dragManager_.removeDragItem(old);
        entry = {};
        tellListeners(index, old, oldTarget, TargetListener::Replaced);
    }
    if (!control || target < 0) {
        BrixholdePluginInterface::bindControl(index, control);
        return;
    }
    if (entry.control == control) {
        BrixholdePluginInterface::bindControl(index, control);
        return;
    }
    int movedFrom = -1;
    const int bound = control->parameterIndex.get();
    if (bound >= 0 && bound < int(targetControls_.size()) && bound != index &&
        targetControls_[std::size_t(bound)].control == control) {
        targetControls_[std::size_t(bound)] = {};
        movedFrom = bound;
    } else {
        dragManager_.addDragItem(control, false, false);
    }
    entry = {control, target};
    BrixholdePluginInterface::bindControl(index, control);
    if (movedFrom >= 0)
        tellListeners(movedFrom, control, target, TargetListener::Moved);
    else
        tellListeners(index, control, target, TargetListener::Added);
}

void ModulationMatrixPluginInterface::unbindControl(int index, gui::ValueControl* control) {
    if (index >= 0 && index < int(targetControls_.size()) && control &&
        targetControls_[std::size_t(index)].control == control) {
        const int target = targetControls_[std::size_t(index)].target;
        dragManager_.removeDragItem(control);
        targetControls_[std::size_t(index)] = {};
        tellListeners(index, control, target, TargetListener::Removed);
    }
    BrixholdePluginInterface::unbindControl(index, control);
}

int ModulationMatrixPluginInterface::targetOf(const gui::Control* control) const {
    auto* value = dynamic_cast<const gui::ValueControl*>(control);
    if (!value) return -1;
    const int index = value->parameterIndex.get();
    if (index < 0 || index >= int(targetControls_.size())) return -1;
    const TargetEntry& entry = targetControls_[std::size_t(index)];
    return entry.control == value ? entry.target : -1;
}

gui::ValueControl* ModulationMatrixPluginInterface::targetControl(int parameter) const {
    return parameter >= 0 && parameter < int(targetControls_.size()) ? targetControls_[std::size_t(parameter)].control
                                                                      : nullptr;
}

void ModulationMatrixPluginInterface::addTargetListener(TargetListener* listener) {
    if (!listener || std::find(listeners_.begin(), listeners_.end(), listener) != listeners_.end()) return;
    listeners_.push_back(listener);
    // A listener that comes late hears of the target controls bound before it.
    for (std::size_t i = 0; i < targetControls_.size(); ++i)
        if (targetControls_[i].control)
            listener->targetControlChanged(int(i), targetControls_[i].control, targetControls_[i].target,
                                           TargetListener::Added);
}

void ModulationMatrixPluginInterface::removeTargetListener(TargetListener* listener) {
    std::erase(listeners_, listener);
}

void ModulationMatrixPluginInterface::tellListeners(int parameter, gui::ValueControl* control, int target, int code) {
    // A listener may go while it is told (an indicator's panel closing): walk a copy.
    const std::vector<TargetListener*> listeners = listeners_;
    for (TargetListener* l : listeners)
        if (std::find(listeners_.begin(), listeners_.end(), l) != listeners_.end())
            l->targetControlChanged(parameter, control, target, code);
}

// --- slots and owners ----------------------------------------------------------------------------

ModMatrixParamController* ModulationMatrixPluginInterface::slotController() const {
    return owner_ && owner_->slotParameters() ? &owner_->getController() : nullptr;
}

ModulationSlotParameterSetList* ModulationMatrixPluginInterface::slotList() const {
    return owner_ ? owner_->slotSetList() : nullptr;
}

void ModulationMatrixPluginInterface::setTargetOwner(int target, AbstractParameterSetList* list, int set) {
    if (target >= 0 && target < kTargetCount) targetOwners_[std::size_t(target)] = {list, set};
}

bool ModulationMatrixPluginInterface::isTargetInUse(int target) const {
    if (target < 0 || target >= kTargetCount) return false;
    const TargetOwner& owner = targetOwners_[std::size_t(target)];
    return !owner.list || owner.set < owner.list->activeCount();
}

// --- drag and section ----------------------------------------------------------------------------

gui::DragStage* ModulationMatrixPluginInterface::createDragStage(gui::Control*) {
    SourceController* section = modulationSection();
    if (!section) return nullptr;
    return new ModulationDragStage(&userInterface(), *this, section->slots());
}

SourceController* ModulationMatrixPluginInterface::modulationSection() {
    if (section_ || sectionTried_) return section_;
    sectionTried_ = true;
    if (!slotController()) return nullptr;
    section_ = LorimaneSourceFactory::buildSection(*this);
    if (section_) section_->rebuild();
    return section_;
}

ModulationComponentDisplay::TargetFilter* ModulationMatrixPluginInterface::targetFilter() {
    SourceController* section = modulationSection();
    return section ? &section->slots() : nullptr;
}

void ModulationMatrixPluginInterface::placeModulationSection(const gui::Rect& area, bool shown,
                                                             gui::Button* modulationButton) {
    SourceController* section = modulationSection();
    if (!section) return;
    section->indicators().setModulationButton(modulationButton);
    section->bounds = area;
    section->visible = shown;
}

void ModulationMatrixPluginInterface::refreshParameter(int index) {
    BrixholdePluginInterface::refreshParameter(index);
    // The section's own refreshes of the bound controls come back here; they need no second pass.
    if (!section_ || refreshing_) return;
    refreshing_ = true;
    section_->parameterChanged(index);
    refreshing_ = false;
}

void ModulationMatrixPluginInterface::refreshPresetName() {
    BrixholdePluginInterface::refreshPresetName();
    if (section_ && !refreshing_) {
        refreshing_ = true;
        section_->parameterChanged(-1);
        refreshing_ = false;
    }
}
