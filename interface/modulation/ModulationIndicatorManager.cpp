#include "interface/modulation/ModulationIndicatorManager.h"

#include <algorithm>

#include "gui/Timer.h"
#include "gui/UserInterface.h"
#include "gui/ValueControl.h"
#include "interface/modulation/ModulationIndicator.h"
#include "modulation/ModMatrixParamController.h"

ModulationIndicatorManager::ModulationIndicatorManager(gui::UserInterface* ui, ModulationMatrixPluginInterface& editor,
                                                       AbstractSlotController& slots)
    : gui::Component(ui),
      editor_(editor),
      slots_(slots),
      places_(std::size_t(std::max(0, editor.plugin().getParameterCount())), nullptr),
      counts_(std::size_t(ModulationMatrixPluginInterface::kTargetCount), 0) {
    flashTimer_ = ui->createTimer();
    flashTimer_->interval = kFlashMs;
    flashTimer_->firedEvent.setOwnerHandler(this, &ModulationIndicatorManager::flashEnded);
}

ModulationIndicatorManager::~ModulationIndicatorManager() {
    if (userInterface()->isDestroying()) return;
    delete flashTimer_;
    // The indicators sit in the panels of their controls; they go with this manager.
    std::vector<ModulationIndicator*> all = extra_;
    for (ModulationIndicator* i : places_)
        if (i) all.push_back(i);
    places_.assign(places_.size(), nullptr);
    extra_.clear();
    for (ModulationIndicator* i : all) delete i;
}

ModulationIndicator* ModulationIndicatorManager::indicatorOf(int parameter) const {
    return parameter >= 0 && parameter < int(places_.size()) ? places_[std::size_t(parameter)] : nullptr;
}

ModulationIndicator* ModulationIndicatorManager::create(gui::Control* control, int target, int place) {
    // A ring around a knob shares the knob's indicator: adjacent targets, nested controls.
    if (last_ && last_->targetCount() == 1 && last_->control() && std::abs(last_->firstTarget() - target) == 1 &&
        last_->control()->parent.get() == control->parent.get()) {
        const gui::Rect a = control->bounds, b = last_->control()->bounds;
        const bool inside = a.left >= b.left && a.top >= b.top && a.right <= b.right && a.bottom <= b.bottom;
        if (inside && !(a == b)) {
            last_->setTargets(std::min(target, last_->firstTarget()), 2);
            if (place >= 0 && place < int(places_.size())) places_[std::size_t(place)] = nullptr;
            return last_;
        }
    }
    auto* indicator = new ModulationIndicator(userInterface(), *this, control, target, 1, nullptr);
    indicator->setPlace(place);
    if (place >= 0 && place < int(places_.size()))
        places_[std::size_t(place)] = indicator;
    else
        extra_.push_back(indicator);
    last_ = indicator;
    updateState(indicator);
    return indicator;
}

void ModulationIndicatorManager::destroy(int place) {
    ModulationIndicator* indicator = indicatorOf(place);
    if (!indicator) return;
    places_[std::size_t(place)] = nullptr;
    if (last_ == indicator) last_ = nullptr;
    delete indicator;
}

ModulationIndicator* ModulationIndicatorManager::addIndicator(gui::Control* control, int firstTarget, int count) {
    if (!control) return nullptr;
    auto* indicator = new ModulationIndicator(userInterface(), *this, control, firstTarget, std::max(1, count), nullptr);
    extra_.push_back(indicator);
    last_ = indicator;
    updateState(indicator);
    return indicator;
}

ModulationIndicator* ModulationIndicatorManager::indicatorOn(const gui::Control* control) const {
    for (ModulationIndicator* i : extra_)
        if (i->control() == control) return i;
    return nullptr;
}

void ModulationIndicatorManager::retarget(ModulationIndicator* indicator, int firstTarget, int count) {
    if (!indicator) return;
    indicator->setTargets(firstTarget, std::max(1, count));
    updateState(indicator);
}

void ModulationIndicatorManager::indicatorGone(ModulationIndicator* indicator) {
    std::replace(places_.begin(), places_.end(), indicator, static_cast<ModulationIndicator*>(nullptr));
    std::erase(extra_, indicator);
    if (last_ == indicator) last_ = nullptr;
}

void ModulationIndicatorManager::targetControlChanged(int parameter, gui::ValueControl* control, int target, int code) {
    using TL = ModulationMatrixPluginInterface::TargetListener;
    switch (code) {
        case TL::Added:
            if (suppression_ == 0 && control) create(control, target, parameter);
            break;
        case TL::Moved: {
            ModulationIndicator* indicator = indicatorOf(parameter);
            const int now = control ? control->parameterIndex.get() : -1;
            if (indicator && now >= 0 && now < int(places_.size())) {
                places_[std::size_t(parameter)] = nullptr;
                destroy(now);
                indicator->setTargets(target, 1);
                indicator->setPlace(now);
                places_[std::size_t(now)] = indicator;
                updateState(indicator);
            } else if (control && suppression_ == 0) {
                create(control, target, now);
            }
            break;
        }
        default:
            destroy(parameter);
            break;
    }
}

int ModulationIndicatorManager::slotsOfTarget(int target) const {
    return target >= 0 && target < int(counts_.size()) ? counts_[std::size_t(target)] : 0;
}

void ModulationIndicatorManager::slotsChanged(int activeCount) {
    std::fill(counts_.begin(), counts_.end(), 0);
    if (ModMatrixParamController* c = editor_.slotController())
        for (int slot = 0; slot < activeCount; ++slot) {
            const int t = c->getTarget(slot);
            if (t >= 0 && t < int(counts_.size())) ++counts_[std::size_t(t)];
        }
    for (ModulationIndicator* i : places_)
        if (i) updateState(i);
    for (ModulationIndicator* i : extra_) updateState(i);
}

void ModulationIndicatorManager::updateState(ModulationIndicator* indicator) {
    bool modulated = false;
    for (int t = indicator->firstTarget(); t < indicator->firstTarget() + indicator->targetCount(); ++t)
        modulated = modulated || slotsOfTarget(t) > 0;
    if (!modulated)
        indicator->setState(ModulationIndicator::Hidden);
    else if (slots_.isTargetFilter(indicator->firstTarget(), indicator->targetCount()))
        indicator->setState(ModulationIndicator::Selected);
    else
        indicator->setState(ModulationIndicator::Modulated);
}

void ModulationIndicatorManager::indicatorClicked(ModulationIndicator* indicator) {
    if (modulationButton_ && modulationButton_->value.get() == 0) {
        // The slots are out of sight: point at the button that shows them.
        modulationButton_->mouseEntered();
        flashTimer_->running = false;
        flashTimer_->running = true;
        return;
    }
    if (indicator->state() == ModulationIndicator::Selected)
        slots_.clearFilter();
    else
        slots_.setTargetFilter(indicator->firstTarget(), indicator->targetCount());
}

bool ModulationIndicatorManager::flashing() const {
    return flashTimer_->running.get();
}

void ModulationIndicatorManager::flashEnded(void*) {
    flashTimer_->running = false;
    if (modulationButton_) modulationButton_->mouseExited();
}
