#include "interface/modulation/SourceContainer.h"

#include <algorithm>

#include "gui/Button.h"
#include "gui/Canvas.h"
#include "gui/LevelButton.h"
#include "interface/modulation/AbstractSlotController.h"
#include "interface/modulation/SlotInterface.h"
#include "interface/modulation/SourceController.h"
#include "interface/modulation/SourceSlotController.h"

namespace {
constexpr int kTop = 4;
}

SourceContainer::SourceContainer(gui::UserInterface* ui, SourceController& controller, int sourceCount, int height)
    : gui::Control(ui), controller_(controller), rows_(std::size_t(std::max(1, sourceCount))) {
    for (std::size_t k = 0; k < rows_.size(); ++k) {
        gui::Button* add = controller_.factory().createSourceButton(SourceController::AddSlotButton);
        if (!add) add = new gui::Button(ui);
        add->hint = kAddSlotHint;
        add->clickEvent.setOwnerHandler(this, &SourceContainer::addSlotClicked);
        add->parent = this;
        addSlot_.push_back(add);
    }
    setSize(SlotInterface::kWidth, height);
    layout();
}

SourceContainer::~SourceContainer() {
    if (isUiDestroying()) return;
    deleteAllChildren();
}

void SourceContainer::setRows(int k, const std::vector<SlotInterface*>& rows) {
    if (k < 0 || k >= int(rows_.size())) return;
    layingOut_ = true;
    for (SlotInterface* row : rows)
        if (row->parent.get() != this) row->parent = this;
    rows_[std::size_t(k)] = rows;
    // The levels of one source move together under the linking modifier.
    for (SlotInterface* row : rows) row->levelSlider()->leaveGroup();
    for (std::size_t i = 1; i < rows.size(); ++i) rows[i]->levelSlider()->joinGroup(rows[0]->levelSlider());
    // Rows that went to another container or were deleted are no longer ours.
    for (auto& column : rows_)
        std::erase_if(column, [this](SlotInterface* r) {
            return std::find(children().begin(), children().end(), r) == children().end();
        });
    layingOut_ = false;
    layout();
}

void SourceContainer::childChanged(gui::Control* source, int kind) {
    gui::Control::childChanged(source, kind);
    if (kind == ChildRemoved && !layingOut_) {
        for (auto& column : rows_) std::erase(column, static_cast<SlotInterface*>(source));
        layout();
    }
}

void SourceContainer::layout() {
    layingOut_ = true;
    int x = 0;
    for (std::size_t k = 0; k < rows_.size(); ++k) {
        const auto& rows = rows_[k];
        int place = 0;
        auto position = [&](int p) {
            return gui::Point{x + (p / kRowsPerColumn) * (SlotInterface::kWidth + kColumnGap),
                              kTop + (p % kRowsPerColumn) * kRowPitch};
        };
        for (SlotInterface* row : rows) row->setPosition(position(place++));
        gui::Button* add = addSlot_[k];
        add->setPosition(position(place));
        // A source without slots takes only its button's width.
        const int columns = place / kRowsPerColumn + 1;
        x += rows.empty() ? add->width() + kColumnGap : columns * (SlotInterface::kWidth + kColumnGap);
    }
    layingOut_ = false;
    if (x != width()) setSize(x, height());
}

void SourceContainer::setHighlight(int state) {
    if (highlight_ == state) return;
    highlight_ = state;
    invalidateAll();
}

bool SourceContainer::hasHighlightedRow() const {
    for (const auto& column : rows_)
        for (const SlotInterface* row : column)
            if (row->highlight() == AbstractSlotController::Highlighted) return true;
    return false;
}

void SourceContainer::addSlotClicked(void* sender) {
    for (std::size_t k = 0; k < addSlot_.size(); ++k)
        if (addSlot_[k] == sender) {
            if (controller_.slots().createSlot(firstSource_ + int(k), -1) >= 0)
                controller_.editor().refreshControls();
            return;
        }
}

void SourceContainer::clicked() {
    controller_.slots().clearFilter();
}

void SourceContainer::paint(gui::Canvas& canvas) {
    // The container is hit everywhere so that a click on its empty part clears the highlight.
    canvas.fillRect(localRect(), highlight_ == AbstractSlotController::Highlighted ? gui::Rgba{72, 192, 204, 24}
                                                                                    : gui::Rgba{0, 0, 0, 1});
    gui::Control::paint(canvas);
}
