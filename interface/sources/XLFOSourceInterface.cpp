#include "interface/sources/XLFOSourceInterface.h"

#include <cmath>

#include "framework/AbstractPluginParameter.h"
#include "gui/Button.h"
#include "gui/Image.h"
#include "gui/Knob.h"
#include "gui/SelectButton.h"
#include "gui/ToggleButton.h"
#include "interface/ParameterEditor.h"
#include "interface/sources/ParameterWatcher.h"
#include "interface/sources/XLFOController.h"

namespace {
constexpr int kControllerTop = LorimaneSourceInterface::kTitleHeight + 2;
}

double XLFOSourceInterface::hotSpotRatio(int i) {
    // Exact ratios: a rounded 2/3 would drift against the tempo bar after bar.
    static constexpr double kRatios[kHotSpots] = {2.0 / 3.0, 3.0 / 4.0, 1.0, 4.0 / 3.0, 3.0 / 2.0};
    return kRatios[std::clamp(i, 0, kHotSpots - 1)];
}

XLFOSourceInterface::XLFOSourceInterface(gui::UserInterface* ui, ParameterEditor& editor,
                                         const SourceLayout& layout)
    : LorimaneSourceInterface(ui, editor, layout, SourceLayout::XLFOKind) {
    frequency_ = addKnob(6, 28);
    frequencyOffset_ = addKnob(6, 28);
    // The balance ring turns around a fixed centre.
    addImage(62, 28, "KnobInnerBackNormal");
    balance_ = addKnob(54, 20, true);
    glide_ = addKnob(124, 28);
    for (gui::Knob* k : {frequency_, frequencyOffset_, balance_, glide_}) k->maximum = 1000;
    for (int i = 0; i < kHotSpots; ++i) {
        auto* spot = new gui::Button(ui, art_->hotSpot);
        spot->setBounds(2 + 9 * i, 70, 10, 10);
        spot->doubleClickEnabled = false;
        spot->hint =
            "The hot spot buttons set the frequency offset to a simple ratio of the tempo: 2/3, 3/4, 1, 4/3 "
            "or 3/2 of the synchronized speed.";
        spot->clickEvent.addHandler(this, &XLFOSourceInterface::hotSpotClicked);
        spot->parent = this;
        hotSpots_[std::size_t(i)] = spot;
    }
    labels_ = addImage(2, 84, "XLFOLabels");
    labelsSync_ = addImage(2, 84, "XLFOLabelsSync");
    for (gui::Image* image : {labels_, labelsSync_}) image->setSize(kControlsWidth - 12, image->height());
    syncMode_ = addSelector(6, 104, 62);
    midiTrigger_ = addToggle(76, 104, "IconMidiOn", "IconMidiOff",
                             "The MIDI Trigger toggle button is used to enable the triggering of the LFO by MIDI "
                             "note-on messages.");
    snap_ = addToggle(128, 104, "IconSnapOn", "IconSnapOff",
                      "With the XLFO Snap button, you make the XLFO values snap to the keyboard grid that is "
                      "shown when you enable it.");
    addImage(100, 108, "XLFOButtonConnector")->setSize(28, 10);
    scale_ = addImage(kControlsWidth - 17, kControllerTop + XLFOController::kPhaseOffsetHeight + 9, "XLFOScale");
    piano_ = addImage(kControlsWidth - 17, kControllerTop + XLFOController::kPhaseOffsetHeight + 9, "XLFOPiano");
    for (gui::Image* image : {scale_, piano_}) image->setSize(16, 84);

    for (ParameterWatcher*& watcher : watchers_) {
        watcher = new ParameterWatcher(ui, [this] { refresh(); });
        watcher->parent = this;
    }
    controller_ = new XLFOController(ui, editor, *art_);
    controller_->setBounds(kControlsWidth, kControllerTop, controller_->preferredWidth(), kHeight - kControllerTop - 2);
    controller_->layoutChangedEvent.addHandler(this, &XLFOSourceInterface::layoutWidth);
    controller_->parent = this;
    setSize(kControlsWidth + controller_->preferredWidth(), kHeight);
    refresh();
}

void XLFOSourceInterface::bindSet(int set) {
    xlfo_ = layout_.xlfo(set);
    fillItems(*syncMode_, xlfo_.syncMode);
    bindParameter(xlfo_.frequency, frequency_);
    bindParameter(xlfo_.frequencyOffset, frequencyOffset_);
    bindParameter(xlfo_.balance, balance_);
    bindParameter(xlfo_.glide, glide_);
    bindParameter(xlfo_.syncMode, syncMode_);
    bindParameter(xlfo_.midiTrigger, midiTrigger_, midiTrigger_->hint);
    bindParameter(xlfo_.snap, snap_, snap_->hint);
    bindParameter(xlfo_.syncMode, watchers_[0]);
    bindParameter(xlfo_.snap, watchers_[1]);
    controller_->setParameters(xlfo_);
}

void XLFOSourceInterface::refresh() {
    AbstractPluginParameter* sync = parameter(xlfo_.syncMode);
    AbstractPluginParameter* snap = parameter(xlfo_.snap);
    synced_ = sync && sync->value() >= 0.5f;
    const bool snapping = snap && snap->value() >= 0.5f;
    frequency_->visible = !synced_;
    labels_->visible = !synced_;
    frequencyOffset_->visible = synced_;
    labelsSync_->visible = synced_;
    for (gui::Button* spot : hotSpots_) spot->visible = synced_;
    scale_->visible = !snapping;
    piano_->visible = snapping;
    if (sync) controller_->refreshSteps();
}

void XLFOSourceInterface::layoutWidth(void*) {
    controller_->setSize(controller_->shownWidth(), controller_->height());
    setSize(kControlsWidth + controller_->shownWidth(), kHeight);
}

void XLFOSourceInterface::hotSpotClicked(void* sender) {
    AbstractPluginParameter* offset = parameter(xlfo_.frequencyOffset);
    if (!offset) return;
    for (int i = 0; i < kHotSpots; ++i)
        if (sender == hotSpots_[std::size_t(i)])
            setParameter(xlfo_.frequencyOffset,
                         offset->plainToNormalized(offset->displayToPlain(float(hotSpotRatio(i)))));
}

void XLFOSourceInterface::paint(gui::Canvas& canvas) {
    LorimaneSourceInterface::paint(canvas);
    // A groove under the selectors and a divider before the step editor.
    canvas.fillRect({2, 100, kControlsWidth - 6, 101}, gui::Rgba{0, 0, 0, 50});
    if (const gui::Bitmap* divider = SourceArt::image("XLFOSourceDivider"))
        canvas.drawBitmap(*divider, gui::Rect::ofSize(kControlsWidth - 2, kTitleHeight + 1, 2, height()), {0, 0});
}
