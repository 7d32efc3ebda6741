#include "interface/modulation/SourceSelectionBar.h"

#include <algorithm>
#include <cstdlib>

#include "gui/Bitmap.h"
#include "gui/Canvas.h"
#include "gui/ScrollArea.h"
#include "gui/ScrollStrip.h"
#include "gui/Timer.h"
#include "gui/UserInterface.h"
#include "interface/modulation/ModulationArt.h"
#include "interface/modulation/ModulationMatrixPluginInterface.h"
#include "interface/modulation/SourceController.h"
#include "interface/modulation/SourceInterface.h"
#include "modulation/ModulationMatrixPlugin.h"

namespace {
constexpr int kMoveX = 4, kMoveY = 5;
constexpr gui::Rgba kMapBack{26, 29, 34, 255};
constexpr gui::Rgba kSelector{72, 192, 204, 28};
constexpr gui::Rgba kSelectorEdge{72, 192, 204, 120};
}  // namespace

// --- source buttons ------------------------------------------------------------------------------

SourceSelectionBar::SourceButton::SourceButton(gui::UserInterface* ui, SourceSelectionBar& bar,
                                               const gui::Button::Style* style)
    : gui::Button(ui, style), bar_(bar) {
    hint = kHint;
    doubleClickEnabled = false;
}

int SourceSelectionBar::SourceButton::levelOpacity() const {
    auto* plugin = dynamic_cast<ModulationMatrixPlugin*>(&bar_.controller().editor().plugin());
    if (!plugin || !interface_) return 0;
    float level = 0.0f;
    for (int i = 0; i < interface_->sourceCount(); ++i)
        level = std::max(level, plugin->getSourceDisplayValue(interface_->firstSource() + i));
    return std::clamp(int(255.0f * level), 0, 255);
}

void SourceSelectionBar::SourceButton::clicked() {
    gui::Button::clicked();
    if (interface_) bar_.controller().scrollToSource(interface_->kind(), interface_->set());
}

void SourceSelectionBar::SourceButton::paint(gui::Canvas& canvas) {
    gui::Button::paint(canvas);
    if (const gui::Bitmap* level = ModulationArt::image("SourceButtonLevel"))
        canvas.drawBitmap(*level, localRect(), {0, 0}, levelOpacity());
    if (const gui::Bitmap* overlay = ModulationArt::image("SourceButtonOverlay"))
        canvas.drawBitmap(*overlay, localRect(), {0, 0});
}

// --- the bar -------------------------------------------------------------------------------------

SourceSelectionBar::SourceSelectionBar(gui::UserInterface* ui, SourceController& controller)
    : gui::Control(ui), controller_(controller) {
    hint = kHint;
    doubleClickEnabled = false;
    add_ = controller_.factory().createSourceButton(SourceController::AddSourceButton);
    if (!add_) add_ = new gui::Button(ui, controller_.art().add);
    add_->setText("Add Source");
    add_->hint = kAddSourceHint;
    add_->popupMenu = &controller_.addSourceMenu();
    add_->parent = this;
    timer_ = ui->createTimer();
    timer_->interval = kLevelFrameMs;
    timer_->firedEvent.setOwnerHandler(this, &SourceSelectionBar::frame);
    timer_->running = true;
    controller_.strip().area().scrollChangedEvent.addHandler(this, &SourceSelectionBar::scrolled);
}

SourceSelectionBar::~SourceSelectionBar() {
    if (isUiDestroying()) return;
    controller_.strip().area().scrollChangedEvent.removeHandlers(this);
    for (SourceButton* b : buttons_) controller_.editor().dragManager().removeDragItem(b);
    delete timer_;
    deleteAllChildren();
}

int SourceSelectionBar::mapWidth() const {
    return std::max(1, width() - kAddWidth - 8);
}

float SourceSelectionBar::scale() const {
    const gui::ScrollArea& area = controller_.strip().area();
    const int content = std::max({area.contentWidth(), area.width(), 1});
    return float(mapWidth()) / float(content);
}

gui::Rect SourceSelectionBar::selectorRect() const {
    const gui::ScrollArea& area = controller_.strip().area();
    const float s = scale();
    const int x = int(area.scrollPosition() * s);
    const int w = std::max(8, int(float(area.width()) * s));
    return gui::Rect::ofSize(std::min(x, mapWidth() - w), 2, w, height() - 4);
}

void SourceSelectionBar::refresh() {
    const std::vector<SourceInterface*> shown = controller_.interfaces();
    gui::DragManager& drag = controller_.editor().dragManager();
    while (buttons_.size() > shown.size()) {
        SourceButton* b = buttons_.back();
        buttons_.pop_back();
        drag.removeDragItem(b);
        delete b;
    }
    while (buttons_.size() < shown.size()) {
        auto* b = new SourceButton(userInterface(), *this, controller_.art().sourceButton);
        b->parent = this;
        drag.addDragItem(b, true, false);
        buttons_.push_back(b);
    }
    const gui::ScrollArea& area = controller_.strip().area();
    const float s = scale();
    // Panels' positions in the content, from the content's left edge.
    const int contentLeft = int(-area.scrollPosition());
    for (std::size_t i = 0; i < shown.size(); ++i) {
        SourceButton* b = buttons_[i];
        b->setInterface(shown[i]);
        const gui::Point at = shown[i]->toRoot({0, 0});
        const gui::Point areaAt = area.toRoot({0, 0});
        const int inContent = at.x - areaAt.x - contentLeft + area.margin.get();
        const int centre = int(float(inContent + shown[i]->width() / 2) * s);
        const int w = b->style().width > 0 ? b->style().width : 20;
        const int h = b->style().height > 0 ? b->style().height : 16;
        b->setBounds(std::clamp(centre - w / 2, 0, std::max(0, mapWidth() - w)), (height() - h) / 2, w, h);
    }
    invalidateAll();
}

void SourceSelectionBar::resized() {
    add_->setBounds(width() - kAddWidth - 2, 2, kAddWidth, std::max(0, height() - 4));
    refresh();
}

void SourceSelectionBar::frame(void*) {
    if (!isShowing()) return;
    for (SourceButton* b : buttons_) b->invalidateAll();
}

void SourceSelectionBar::scrolled(void*) {
    refresh();
}

void SourceSelectionBar::mouseDown(int button, gui::Point point, int flags) {
    gui::Control::mouseDown(button, point, flags);
    if (button != 0 || point.x >= mapWidth()) return;
    pressed_ = true;
    dragging_ = false;
    press_ = point;
    pressPosition_ = controller_.strip().area().scrollPosition();
}

void SourceSelectionBar::mouseMove(gui::Point point, int flags) {
    gui::Control::mouseMove(point, flags);
    if (!pressed_) return;
    const int dx = point.x - press_.x, dy = point.y - press_.y;
    if (!dragging_ && (std::abs(dx) > kMoveX || std::abs(dy) >= kMoveY)) dragging_ = true;
    if (dragging_) controller_.strip().area().setScrollPosition(pressPosition_ + float(dx) / scale());
}

void SourceSelectionBar::mouseUp(int button, gui::Point point, int flags) {
    gui::Control::mouseUp(button, point, flags);
    if (!pressed_) return;
    pressed_ = false;
    if (dragging_) return;
    gui::ScrollArea& area = controller_.strip().area();
    area.setScrollPosition(float(point.x) / scale() - float(area.width()) / 2.0f);
}

void SourceSelectionBar::paint(gui::Canvas& canvas) {
    canvas.fillRect(gui::Rect::ofSize(0, 0, mapWidth(), height()), kMapBack);
    const gui::Rect selector = selectorRect();
    canvas.fillRect(selector, kSelector);
    canvas.drawFrame(selector, kSelectorEdge);
    gui::Control::paint(canvas);
}
