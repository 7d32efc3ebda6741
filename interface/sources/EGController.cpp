#include "interface/sources/EGController.h"

#include <algorithm>
#include <cmath>

#include "framework/AbstractPluginParameter.h"
#include "gui/Bitmap.h"
#include "interface/ParameterEditor.h"
#include "interface/sources/SourceArt.h"

// --- Envelope ---------------------------------------------------------------------------------

float EGController::Envelope::value(float px) const {
    if (px < x[Delay]) return bottom;
    if (px < x[Attack]) return attack.value(px);
    if (px < x[Decay]) return decay.value(px);
    if (px < x[Hold]) return sustain;
    if (px < x[Release]) return release.value(px);
    return bottom;
}

// --- Dot --------------------------------------------------------------------------------------

EGController::Dot::Dot(gui::UserInterface* ui, EGController& owner, int place)
    : gui::Switch(ui), owner_(owner), place_(place) {
    autoSize = false;
    maximum = kRange;
    doubleClickEnabled = false;
    setSize(kSize, kSize);
}

void EGController::Dot::valueRangeChanged(AbstractProperty* property) {
    gui::Switch::valueRangeChanged(property);
    if (property == &value) owner_.layout();
}

void EGController::Dot::mouseDown(int button, gui::Point point, int flags) {
    gui::RolloverValueControl::mouseDown(button, point, flags);
    if (button != 0 || resetOnPress(flags)) return;
    dragging_ = true;
    press_ = toRoot(point);
    pressValue_ = value;
}

void EGController::Dot::mouseMove(gui::Point point, int flags) {
    gui::RolloverValueControl::mouseMove(point, flags);
    if (!dragging_) return;
    // Measured in the root: the dot itself moves while it is dragged.
    const gui::Point now = toRoot(point);
    const gui::Rect r = owner_.plot();
    const bool level = place_ == Sustain;
    const int pixels = level ? press_.y - now.y : now.x - press_.x;
    const int span = std::max(level ? r.height() : int(float(r.width()) / (5.0f + kPlateau)), 1);
    double moved = double(pixels) * range() / span;
    if (flags & Shift) moved *= 0.1;
    edit(Change, pressValue_ + int(std::lround(moved)) - accumulatedValue());
}

void EGController::Dot::mouseUp(int button, gui::Point point, int flags) {
    dragging_ = false;
    gui::RolloverValueControl::mouseUp(button, point, flags);
}

void EGController::Dot::mouseEntered() {
    hover_ = true;
    invalidateAll();
    gui::RolloverValueControl::mouseEntered();
}

void EGController::Dot::mouseExited() {
    hover_ = false;
    invalidateAll();
    gui::RolloverValueControl::mouseExited();
}

void EGController::Dot::paint(gui::Canvas& canvas) {
    const gui::Bitmap* picture = SourceArt::image(hover_ || dragging_ ? "EGDotActive" : "EGDotNormal");
    if (picture) canvas.drawBitmap(*picture, localRect(), {0, 0});
}

// --- EGController -----------------------------------------------------------------------------

EGController::EGController(gui::UserInterface* ui, ParameterEditor& editor) : gui::Control(ui), editor_(editor) {
    for (gui::Text* t : {&one_, &zero_}) {
        t->size = 6;
        t->colour = SourceArt::kInkDim;
    }
    one_.text = "1";
    zero_.text = "0";
    hint = "The envelope display shows the envelope. Drag the dots to set the delay, attack, decay, hold and "
           "release times and the sustain level.";
}

EGController::~EGController() {
    if (isUiDestroying()) return;
    unbindAll();
    deleteAllChildren();
}

void EGController::bindSlider(int place, int parameter, int target) {
    if (place < 0 || place >= PlaceCount) return;
    const std::size_t p = std::size_t(place);
    if (bound_[p] >= 0) editor_.unbindControl(bound_[p], dots_[p]);
    bound_[p] = -1;
    targets_[p] = target;
    if (parameter < 0 || !editor_.parameter(parameter)) return;
    if (!dots_[p]) {
        dots_[p] = new Dot(userInterface(), *this, place);
        dots_[p]->parent = this;
        // Short stages put dots on one spot: the earliest stage lies on top, so dragging it out
        // uncovers the next.
        for (int k = PlaceCount - 1; k >= 0; --k)
            if (dots_[std::size_t(k)]) bringToFront(dots_[std::size_t(k)]);
    }
    dots_[p]->hint = editor_.parameter(parameter)->helpText();
    bound_[p] = parameter;
    editor_.bindControl(parameter, dots_[p]);
    layout();
}

void EGController::unbindAll() {
    for (int place = 0; place < PlaceCount; ++place) bindSlider(place, -1);
}

bool EGController::canDraw() const {
    return bound_[Delay] >= 0 && bound_[Attack] >= 0 && bound_[Decay] >= 0 && bound_[Hold] >= 0;
}

double EGController::normalized(int place) const {
    const Dot* d = dots_[std::size_t(place)];
    return d && bound_[std::size_t(place)] >= 0 ? d->toNormalized() : (place == Sustain ? 1.0 : 0.0);
}

gui::Rect EGController::plot() const {
    return {kMarginLeft, kMarginTop, std::max(width() - kMarginRight, kMarginLeft + 1),
            std::max(height() - kMarginBottom, kMarginTop + 1)};
}

void EGController::layout() {
    const gui::Rect r = plot();
    // Five timed stages and, between decay and hold, a sustain plateau of half a stage that keeps
    // the sustain dot apart from its neighbours.
    const float stage = float(r.width()) / (5.0f + kPlateau);
    Envelope& e = envelope_;
    e.top = float(r.top);
    e.bottom = float(r.bottom);
    e.sustain = float(r.bottom - normalized(Sustain) * r.height());
    float x = float(r.left);
    x += float(normalized(Delay)) * stage;
    e.x[Delay] = x;
    x += float(normalized(Attack)) * stage;
    e.x[Attack] = x;
    x += float(normalized(Decay)) * stage;
    e.x[Decay] = x;
    e.x[Sustain] = x + kPlateau * stage / 2.0f;
    x += kPlateau * stage + float(normalized(Hold)) * stage;
    e.x[Hold] = x;
    x += float(normalized(Release)) * stage;
    e.x[Release] = x;
    // Each segment leaves steeply and arrives flat, as the generator's curves do.
    auto segment = [](gui::CubicSegment& s, float x1, float y1, float x2, float y2) {
        const float w = std::max(x2 - x1, 0.001f);
        s = gui::CubicSegment(x1, y1, 2.0f * (y2 - y1) / w, x1 + w, y2, 0.0f);
    };
    segment(e.attack, e.x[Delay], e.bottom, e.x[Attack], e.top);
    segment(e.decay, e.x[Attack], e.top, e.x[Decay], e.sustain);
    segment(e.release, e.x[Hold], e.sustain, e.x[Release], e.bottom);

    const float y[PlaceCount] = {e.bottom, e.top, e.sustain, e.sustain, e.sustain, e.bottom};
    for (int place = 0; place < PlaceCount; ++place)
        if (Dot* d = dots_[std::size_t(place)])
            d->setBounds(int(std::lround(e.x[std::size_t(place)])) - Dot::kSize / 2,
                         int(std::lround(y[place])) - Dot::kSize / 2, Dot::kSize, Dot::kSize);
    invalidateAll();
}

void EGController::resized() {
    layout();
    gui::Control::resized();
}

void EGController::paint(gui::Canvas& canvas) {
    const gui::Rect r = plot();
    canvas.fillRect(localRect(), SourceArt::kDeep);
    for (int k = 1; k < 4; ++k) canvas.drawHLine(r.left, r.top + r.height() * k / 4, r.right - 1, gui::Rgba{255, 255, 255, 12});
    canvas.drawFrame(r, SourceArt::kLine);
    canvas.drawText(one_, {3, r.top - one_.getHeight() / 2});
    canvas.drawText(zero_, {3, r.bottom - zero_.getHeight() / 2});
    if (!canDraw()) return;
    gui::CurveSet set;
    gui::CurveSet::Entry entry;
    entry.curve = &envelope_;
    entry.fill = gui::Rgba{72, 192, 204, 90};
    entry.line = SourceArt::kTeal;
    entry.thickness = 1.5f;
    entry.fadeEnd = float(r.bottom);
    set.entries.push_back(entry);
    canvas.drawCurves(set, r);
}
