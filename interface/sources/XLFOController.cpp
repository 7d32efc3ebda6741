#include "interface/sources/XLFOController.h"

#include <algorithm>
#include <cmath>

#include "framework/AbstractPluginParameter.h"
#include "gui/Animator.h"
#include "gui/Bitmap.h"
#include "gui/Button.h"
#include "gui/Knob.h"
#include "gui/Label.h"
#include "gui/SelectButton.h"
#include "gui/ToggleButton.h"
#include "gui/UserInterface.h"
#include "interface/ParameterEditor.h"
#include "interface/sources/LorimaneSourceInterface.h"
#include "interface/sources/ParameterWatcher.h"
#include "interface/sources/SourceArt.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

// The XLFO's 25 snap levels: the nearest level of a normalised value.
double snapLevel(double x) {
    const int k = std::clamp(int(std::floor((x + 1.0 / 48.0) * 24.0)), 0, 24);
    return k / 24.0;
}

double glideCurve(int function, double u) {
    switch (function) {
        case 1: return u * u;
        case 2: return std::sqrt(std::max(u, 0.0));
        case 3: return (std::sin(kPi * (u - 0.5)) + 1.0) / 2.0;
        default: return u;
    }
}

// A step curve in a slider's pixels.
class PixelCurve : public gui::Curve {
public:
    PixelCurve(const XLFOController::StepCurve& curve, float width, float top, float travel)
        : curve_(curve), width_(width), top_(top), travel_(travel) {}
    float value(float x) const override { return top_ + (1.0f - curve_.value(x / width_)) * travel_; }

private:
    const XLFOController::StepCurve& curve_;
    float width_, top_, travel_;
};

void setEnabled(gui::Control* control, bool enabled) {
    if (!control) return;
    control->interactive = enabled;
    control->opacity = enabled ? 255 : 128;
}

}  // namespace

// --- XLFOController ---------------------------------------------------------------------------

float XLFOController::StepCurve::value(float x) const {
    const double t = std::clamp(double(x), 0.0, 1.0);
    if (glide <= 0.0f || t <= 1.0 - glide) return from;
    return float(from + glideCurve(function, (t - (1.0 - glide)) / glide) * (to - from));
}

int XLFOController::stepWidth(int n) {
    n = std::clamp(n, 1, kMaxSteps);
    const double shrink = 1.0 - double(n - 1) / double(kMaxSteps - 1);
    return int((kMaxStepWidth - kMinStepWidth) * shrink * shrink + kMinStepWidth);
}

XLFOController::XLFOController(gui::UserInterface* ui, ParameterEditor& editor, SourceArt& art)
    : gui::AnimatedControl(ui), editor_(editor), art_(art) {
    for (int i = 0; i < kMaxSteps; ++i) {
        steps_[std::size_t(i)] = new StepSlider(ui, *this, i);
        steps_[std::size_t(i)]->parent = this;
    }
    phaseOffset_ = new PhaseOffsetSlider(ui);
    phaseOffset_->parent = this;
    stepInterface_ = new StepInterface(ui, *this);
    stepInterface_->visible = false;
    stepInterface_->parent = this;
    shown_.total = -1;
    hint = "The XLFO step display shows the steps of the wave form. Drag a step to set its value, click it "
           "to edit it in the step interface, Ctrl-click or Shift-click to select several steps.";
    layout();
}

XLFOController::~XLFOController() {
    if (isUiDestroying()) return;
    releaseParameters();
    deleteAllChildren();
}

void XLFOController::setParameters(const SourceLayout::XLFO& xlfo) {
    releaseParameters();
    xlfo_ = xlfo;
    bound_ = true;
    for (int i = 0; i < kMaxSteps; ++i) {
        const int index = stepParameter(i, xlfo_.stepValue);
        editor_.bindControl(index, steps_[std::size_t(i)]);
        watched_.emplace_back(index, steps_[std::size_t(i)]);
        for (int offset : {xlfo_.stepGlide, xlfo_.stepGlideFunction, xlfo_.stepRandom})
            watch(stepParameter(i, offset), [this] {
                updateCurves();
                stepInterface_->refreshState();
            });
    }
    if (AbstractPluginParameter* p = editor_.parameter(xlfo_.phaseOffset)) phaseOffset_->hint = p->helpText();
    editor_.bindControl(xlfo_.phaseOffset, phaseOffset_);
    watched_.emplace_back(xlfo_.phaseOffset, phaseOffset_);
    watch(xlfo_.stepCount, [this] { countChanged(); });
    watch(xlfo_.snap, [this] { snapChanged(); });
    watch(xlfo_.glide, [this] { updateCurves(); });
    selectOnly(-1);
    snapChanged();
    countChanged();
}

void XLFOController::watch(int index, std::function<void()> changed) {
    auto* watcher = new ParameterWatcher(userInterface(), std::move(changed));
    watcher->parent = this;
    editor_.bindControl(index, watcher);
    watched_.emplace_back(index, watcher);
}

void XLFOController::releaseParameters() {
    stepInterface_->showStep(-1);
    for (auto [index, control] : watched_) {
        editor_.unbindControl(index, control);
        if (dynamic_cast<ParameterWatcher*>(control)) delete control;
    }
    watched_.clear();
    bound_ = false;
}

double XLFOController::normalizedValue(int index) const {
    AbstractPluginParameter* p = editor_.parameter(index);
    return p ? p->plainToNormalized(p->value()) : 0.0;
}

float XLFOController::plainValue(int index) const {
    AbstractPluginParameter* p = editor_.parameter(index);
    return p ? p->value() : 0.0f;
}

bool XLFOController::isRandom(int step) const {
    return bound_ && plainValue(stepParameter(step, xlfo_.stepRandom)) >= 0.5f;
}

void XLFOController::countChanged() {
    if (!bound_) return;
    setStepCount(int(std::lround(plainValue(xlfo_.stepCount))));
}

void XLFOController::snapChanged() {
    if (!bound_) return;
    snapping_ = plainValue(xlfo_.snap) >= 0.5f;
    for (StepSlider* s : steps_) s->setSnap(snapping_);
    stepInterface_->setSnap(snapping_);
    // The new ranges show the same parameter values.
    editor_.refreshControls();
    updateCurves();
}

void XLFOController::setStepCount(int n) {
    n = std::clamp(n, 1, kMaxSteps);
    count_ = n;
    // Hidden steps leave the selection.
    for (int i = n; i < kMaxSteps; ++i)
        if (selected_[std::size_t(i)]) selectStep(i, false);
    selectionChanged();
    updateCurves();
}

bool XLFOController::isSelected(int i) const {
    return i >= 0 && i < kMaxSteps && selected_[std::size_t(i)];
}

std::vector<int> XLFOController::selectedSteps() const {
    std::vector<int> out;
    for (int i = 0; i < kMaxSteps; ++i)
        if (selected_[std::size_t(i)]) out.push_back(i);
    return out;
}

void XLFOController::selectStep(int i, bool on) {
    if (i < 0 || i >= kMaxSteps || (on && i >= count_)) return;
    StepSlider& slider = *steps_[std::size_t(i)];
    if (selected_[std::size_t(i)] != on) {
        selected_[std::size_t(i)] = on;
        slider.setSelected(on);
        if (on) {
            // Selected steps form one link group: a drag of one moves them all.
            for (int k = 0; k < kMaxSteps; ++k)
                if (k != i && selected_[std::size_t(k)]) {
                    slider.joinGroup(steps_[std::size_t(k)]);
                    break;
                }
        } else {
            slider.leaveGroup();
        }
    }
    if (on) {
        lastSelected_ = i;
    } else if (lastSelected_ == i) {
        const std::vector<int> rest = selectedSteps();
        lastSelected_ = rest.empty() ? -1 : rest.back();
    }
    selectionChanged();
}

void XLFOController::selectOnly(int i) {
    for (int k = 0; k < kMaxSteps; ++k)
        if (k != i && selected_[std::size_t(k)]) selectStep(k, false);
    if (i >= 0)
        selectStep(i, true);
    else
        selectionChanged();
}

void XLFOController::selectRange(int a, int b) {
    selectOnly(-1);
    const int step = a <= b ? 1 : -1;
    for (int k = a; k != b + step; k += step) selectStep(k, true);
}

void XLFOController::selectionChanged() {
    stepInterface_->showStep(lastSelected_);
    if (lastSelected_ >= 0) stepInterface_->visible = true;
    layout();
    invalidateAll();
}

int XLFOController::preferredWidth() const {
    return stepsWidth() + (lastSelected_ >= 0 ? StepInterface::kWidth : 0);
}

XLFOController::Geometry XLFOController::target() const {
    Geometry g;
    const int w = stepWidth(count_);
    for (int i = 0; i < kMaxSteps; ++i) {
        // Steps beyond the count keep existing at width 0.
        g.left[std::size_t(i)] = std::min(i, count_) * w;
        g.width[std::size_t(i)] = i < count_ ? w : 0;
    }
    g.panelLeft = count_ * w;
    g.total = preferredWidth();
    return g;
}

void XLFOController::layout() {
    const Geometry to = target();
    gui::Animator* a = animator;
    if (a && a->enabled && isShowing())
        new ResizeAnimation(a, *this, to);
    else
        applyGeometry(to);
}

void XLFOController::applyGeometry(const Geometry& g) {
    const int top = kPhaseOffsetHeight;
    for (int i = 0; i < kMaxSteps; ++i) {
        StepSlider& s = *steps_[std::size_t(i)];
        s.setBounds(g.left[std::size_t(i)], top, g.width[std::size_t(i)], std::max(height() - top, 0));
        s.visible = g.width[std::size_t(i)] > 0;
    }
    phaseOffset_->setBounds(0, 0, g.panelLeft, kPhaseOffsetHeight);
    stepInterface_->setBounds(g.panelLeft, 0, StepInterface::kWidth, height());
    // The panel stays up while it slides away and goes when it is out of the width.
    stepInterface_->visible = lastSelected_ >= 0 || g.panelLeft < g.total;
    const bool widthChanged = g.total != shown_.total;
    shown_ = g;
    if (widthChanged) layoutChangedEvent.fire(this);
}

XLFOController::ResizeAnimation::ResizeAnimation(gui::Animator* animator, XLFOController& owner, const Geometry& to)
    : gui::Animation(animator, &owner, &owner.shown_), owner_(owner), from_(owner.shown_), to_(to) {
    duration = kDurationMs;
    curve = Smooth;
}

void XLFOController::ResizeAnimation::apply(float x) {
    auto mix = [x](int a, int b) { return a + int(std::lround(float(b - a) * x)); };
    Geometry g;
    for (std::size_t i = 0; i < g.left.size(); ++i) {
        g.left[i] = mix(from_.left[i], to_.left[i]);
        g.width[i] = mix(from_.width[i], to_.width[i]);
    }
    g.panelLeft = mix(from_.panelLeft, to_.panelLeft);
    g.total = mix(from_.total, to_.total);
    owner_.applyGeometry(g);
}

void XLFOController::resized() {
    // The height changed: the geometry stands, the steps take the new height.
    applyGeometry(shown_);
    gui::AnimatedControl::resized();
}

void XLFOController::updateCurves() {
    if (!bound_) return;
    const float xlfoGlide = plainValue(xlfo_.glide);
    for (int i = 0; i < count_; ++i) {
        const int next = (i + 1) % count_;
        StepCurve& c = steps_[std::size_t(i)]->curve();
        auto shown = [&](int step) {
            const double x = normalizedValue(stepParameter(step, xlfo_.stepValue));
            return snapping_ ? snapLevel(x) : x;
        };
        c.from = float(shown(i));
        c.to = isRandom(next) ? 0.5f : float(shown(next));
        c.glide = std::clamp(plainValue(stepParameter(i, xlfo_.stepGlide)) + xlfoGlide, 0.0f, 1.0f);
        c.function = int(std::lround(plainValue(stepParameter(i, xlfo_.stepGlideFunction))));
        steps_[std::size_t(i)]->invalidateAll();
    }
}

void XLFOController::refreshSteps() {
    countChanged();
    snapChanged();
}

void XLFOController::set(int index, double normalized, std::vector<int>& touched) {
    if (!editor_.parameter(index)) return;
    // Every parameter of a step operation is one gesture that ends when the operation is done,
    // so the whole operation is one undoable change.
    if (std::find(touched.begin(), touched.end(), index) == touched.end()) {
        editor_.beginEdit(index);
        touched.push_back(index);
    }
    editor_.setNormalized(index, float(normalized));
}

void XLFOController::copyStep(int from, int to, std::vector<int>& touched) {
    for (int offset : stepOffsets()) set(stepParameter(to, offset), normalizedValue(stepParameter(from, offset)), touched);
}

void XLFOController::resetStep(int step, std::vector<int>& touched) {
    for (int offset : stepOffsets()) {
        const int index = stepParameter(step, offset);
        if (AbstractPluginParameter* p = editor_.parameter(index))
            set(index, p->plainToNormalized(p->defaultValue()), touched);
    }
}

void XLFOController::removeStep(int position, std::vector<int>& touched) {
    const int n = int(std::lround(plainValue(xlfo_.stepCount)));
    if (position < 0 || position >= n || n <= 1) return;
    AbstractPluginParameter* count = editor_.parameter(xlfo_.stepCount);
    set(xlfo_.stepCount, count->plainToNormalized(float(n - 1)), touched);
    for (int i = position; i <= n - 2; ++i) copyStep(i + 1, i, touched);
    resetStep(n - 1, touched);
}

void XLFOController::addStep() {
    if (!bound_) return;
    const int n = int(std::lround(plainValue(xlfo_.stepCount)));
    if (n >= xlfo_.maxSteps) return;
    const int position = lastSelected_ >= 0 ? lastSelected_ + 1 : n;
    std::vector<int> touched;
    set(xlfo_.stepCount, editor_.parameter(xlfo_.stepCount)->plainToNormalized(float(n + 1)), touched);
    // The steps from the position on move up by one; the new step is a copy of the one before it.
    for (int i = n; i >= std::max(position, 1); --i) copyStep(i - 1, i, touched);
    for (int index : touched) editor_.endEdit(index);
    countChanged();
    selectOnly(position);
    editor_.refreshControls();
}

void XLFOController::removeSelectedSteps() {
    if (!bound_) return;
    std::vector<int> touched;
    const std::vector<int> selection = selectedSteps();
    if (selection.empty()) {
        removeStep(int(std::lround(plainValue(xlfo_.stepCount))) - 1, touched);
    } else {
        // Highest first, so the positions still to remove stay where they were.
        for (auto it = selection.rbegin(); it != selection.rend(); ++it) {
            selectStep(*it, false);
            removeStep(*it, touched);
        }
    }
    for (int index : touched) editor_.endEdit(index);
    countChanged();
    editor_.refreshControls();
}

void XLFOController::applyToSelected(int control, double normalized, int phase) {
    if (!bound_) return;
    if (control < 0 || control > 3) return;
    // The last selected step is the one the panel's control is bound to; it edits that one itself.
    for (int step : selectedSteps()) {
        if (step == lastSelected_) continue;
        const int index = stepParameter(step, stepOffsets()[std::size_t(control)]);
        switch (phase) {
            case gui::ValueControl::Begin: editor_.beginEdit(index); break;
            case gui::ValueControl::Change: editor_.setNormalized(index, float(normalized)); break;
            case gui::ValueControl::End: editor_.endEdit(index); break;
            default: break;
        }
    }
}

void XLFOController::mouseDown(int button, gui::Point point, int flags) {
    gui::Control::mouseDown(button, point, flags);
    // A press on the background between or beside the steps.
    if (button == 0) selectOnly(-1);
}

void XLFOController::paint(gui::Canvas& canvas) {
    canvas.fillRect(localRect(), SourceArt::kDeep);
}

// --- StepSlider -------------------------------------------------------------------------------

XLFOController::StepSlider::StepSlider(gui::UserInterface* ui, XLFOController& owner, int number)
    : gui::Switch(ui), owner_(owner), number_(number) {
    autoSize = false;
    maximum = kFreeRange;
    defaultValue = kFreeRange / 2;
    value = kFreeRange / 2;
    doubleClickEnabled = false;
    hint = "The XLFO step sliders set the value of each step. Click a step to select it, Ctrl-click to add it "
           "to the selection, Shift-click to select a range; dragging moves all selected steps.";
    label_.text = std::to_string(number + 1);
    label_.size = 6;
    label_.colour = SourceArt::kInkDim;
}

void XLFOController::StepSlider::setSelected(bool on) {
    selected_ = on;
    invalidateAll();
}

void XLFOController::StepSlider::setSnap(bool on) {
    if (snap_ == on) return;
    snap_ = on;
    // 25 positions, the middle one the default, while the XLFO snaps.
    const int range = on ? kSnapRange : kFreeRange;
    const double x = toNormalized();
    maximum = range;
    defaultValue = range / 2;
    value = fromNormalized(x);
}

bool XLFOController::StepSlider::isRandom() const {
    return owner_.isRandom(number_);
}

int XLFOController::StepSlider::handleCentre() const {
    const double x = isRandom() ? 0.5 : toNormalized();
    return 7 + kHandleHeight / 2 + int(std::lround((1.0 - x) * travelPixels()));
}

bool XLFOController::StepSlider::onHandle(gui::Point point) const {
    return point.x >= 0 && point.x < width() && std::abs(point.y - handleCentre()) <= kHandleHeight / 2 + 2;
}

void XLFOController::StepSlider::valueRangeChanged(AbstractProperty* property) {
    gui::Switch::valueRangeChanged(property);
    if (property == &value && number_ < owner_.stepCount()) owner_.updateCurves();
}

void XLFOController::StepSlider::mouseDown(int button, gui::Point point, int flags) {
    if (button != 0) {
        gui::RolloverValueControl::mouseDown(button, point, flags);
        return;
    }
    press_ = point;
    pressFlags_ = flags;
    pressed_ = true;
    moved_ = false;
    pressedOnHandle_ = onHandle(point);
    if (pressedOnHandle_ || !isRandom()) {
        if (flags & Ctrl) {
            owner_.selectStep(number_, !selected_);
        } else if (flags & Shift) {
            const int last = owner_.lastSelectedStep();
            if (last < 0)
                owner_.selectOnly(number_);
            else
                owner_.selectRange(last, number_);
        }
    }
    // The rest of the press is the slider's own, without the selection keys.
    const int plain = flags & ~(Ctrl | Shift);
    setLinkedEditing(selected_ && owner_.selectedSteps().size() > 1);
    gui::RolloverValueControl::mouseDown(button, point, plain);
    pressValue_ = value;
    if (!(flags & (Ctrl | Shift)) && !isRandom() && resetOnPress(plain)) pressed_ = false;
}

void XLFOController::StepSlider::mouseMove(gui::Point point, int flags) {
    gui::RolloverValueControl::mouseMove(point, flags);
    if (!pressed_) return;
    const int dx = point.x - press_.x, dy = point.y - press_.y;
    if (dx * dx + dy * dy > kMoveThreshold * kMoveThreshold) moved_ = true;
    if (!moved_ || (pressFlags_ & (Ctrl | Shift)) || isRandom()) return;
    const int target = pressValue_ + int(std::lround(double(press_.y - point.y) * range() / travelPixels()));
    edit(Change, target - accumulatedValue());
}

void XLFOController::StepSlider::mouseUp(int button, gui::Point point, int flags) {
    pressed_ = false;
    gui::RolloverValueControl::mouseUp(button, point, flags);
    setLinkedEditing(false);
    // A plain click: on the handle it selects this step alone, elsewhere it clears the selection.
    if (button != 0 || moved_ || (pressFlags_ & (Ctrl | Shift))) return;
    if (onHandle(point) || (!isRandom() && onHandle(press_)))
        owner_.selectOnly(number_);
    else
        owner_.selectOnly(-1);
}

void XLFOController::StepSlider::paint(gui::Canvas& canvas) {
    const int w = width(), h = height();
    if (w <= 0) return;
    const int top = 7 + kHandleHeight / 2;
    const int travel = travelPixels();
    const int middle = top + travel / 2;
    const gui::Rgba back = selected_ ? gui::Rgba{62, 68, 76, 255}
                                     : (number_ % 2 ? SourceArt::kPanelDark : gui::Rgba{46, 50, 57, 255});
    canvas.fillRect(localRect(), back);
    if (snap_)
        for (int k = 0; k <= kSnapRange; k += 2)
            canvas.drawHLine(0, top + travel * k / kSnapRange, w - 1, gui::Rgba{255, 255, 255, uint8_t(k % 12 ? 10 : 26)});
    else
        for (int k = 0; k <= 4; ++k) canvas.drawHLine(0, top + travel * k / 4, w - 1, gui::Rgba{255, 255, 255, 14});
    canvas.drawHLine(0, middle, w - 1, SourceArt::kLine);
    canvas.drawVLine(w - 1, 0, h, SourceArt::kDeep);

    const gui::Rgba lit = selected_ ? SourceArt::kAccent : SourceArt::kTeal;
    if (isRandom()) {
        // A random step may land anywhere: the whole range is shaded.
        canvas.fillRect({2, top, w - 3, top + travel}, gui::Rgba{lit.red, lit.green, lit.blue, 40});
        if (const gui::Bitmap* dots = SourceArt::image("SliderRandomIndicator"))
            canvas.drawBitmap(*dots, gui::Rect::ofSize((w - dots->width()) / 2, middle - dots->height() / 2,
                                                      dots->width(), dots->height()),
                              {0, 0});
    } else {
        const int y = handleCentre();
        const gui::Rgba fill = selected_ ? gui::Rgba{242, 164, 52, 70} : gui::Rgba{72, 192, 204, 60};
        canvas.fillRect({2, std::min(y, middle), w - 3, std::max(y, middle) + 1}, fill);
        gui::CurveSet set;
        PixelCurve pixels(curve_, float(w), float(top), float(travel));
        set.entries.push_back({&pixels, gui::Rgba{0, 0, 0, 0}, gui::Rgba{255, 255, 255, 150}, 1.0f});
        canvas.drawCurves(set, localRect());
        canvas.fillRect({2, y - kHandleHeight / 2 + 2, w - 3, y + kHandleHeight / 2 - 1}, lit);
    }
    if (selected_) canvas.fillRect({0, 0, w - 1, 2}, SourceArt::kAccent);
    canvas.drawText(label_, {(w - label_.getWidth()) / 2, h - label_.getHeight() - 1});
}

// --- PhaseOffsetSlider ------------------------------------------------------------------------

XLFOController::PhaseOffsetSlider::PhaseOffsetSlider(gui::UserInterface* ui)
    : gui::ValueControl(ui), mapper_(ui->clock()) {
    maximum = kRange;
    mapper_.acceleration = false;
    mapper_.valueRange = kRange;
}

void XLFOController::PhaseOffsetSlider::resized() {
    // The marker follows the pointer one to one.
    mapper_.dragRange = std::max(width(), 1);
    gui::ValueControl::resized();
}

int XLFOController::PhaseOffsetSlider::markerX() const {
    return int(std::lround(toNormalized() * width()));
}

bool XLFOController::PhaseOffsetSlider::onMarker(gui::Point point) const {
    const int x = markerX();
    auto within = [&](int left) { return point.x >= left && point.x < left + kMarkerWidth; };
    return within(x) || within(x - width());
}

void XLFOController::PhaseOffsetSlider::mouseDown(int button, gui::Point point, int flags) {
    gui::AnimatedControl::mouseDown(button, point, flags);
    if (button != 0 || !onMarker(point)) return;
    edit(Begin, 0);
    if (resetOnPress(flags)) return;
    dragging_ = true;
    lastX_ = point.x;
    mapper_.beginDrag(point);
    invalidateAll();
}

void XLFOController::PhaseOffsetSlider::mouseMove(gui::Point point, int flags) {
    gui::ValueControl::mouseMove(point, flags);
    const bool over = onMarker(point);
    if (over != hover_) {
        hover_ = over;
        invalidateAll();
    }
    if (!dragging_) return;
    const int steps = mapper_.dragDelta(*this, point, float(point.x - lastX_), flags);
    if (mapper_.pressPosition() != gui::Point{-1, -1}) return;
    lastX_ = point.x;
    if (steps == 0) return;
    // A floored modulo, so that dragging left past the start comes in from the end.
    const int r = range();
    const int wrapped = minimum + (((value - minimum + steps) % r) + r) % r;
    edit(Change, wrapped - value, 0, FromValue);
}

void XLFOController::PhaseOffsetSlider::mouseUp(int button, gui::Point point, int flags) {
    dragging_ = false;
    gui::ValueControl::mouseUp(button, point, flags);
    invalidateAll();
}

void XLFOController::PhaseOffsetSlider::mouseExited() {
    hover_ = false;
    invalidateAll();
    gui::ValueControl::mouseExited();
}

void XLFOController::PhaseOffsetSlider::paint(gui::Canvas& canvas) {
    const int w = width(), h = height();
    canvas.fillRect(localRect(), SourceArt::kDeep);
    canvas.drawHLine(0, h - 1, w, SourceArt::kLine);
    const gui::Bitmap* marker =
        SourceArt::image(hover_ || dragging_ ? "XLFOPhaseOffsetActive" : "XLFOPhaseOffsetNormal");
    const int x = markerX();
    for (int left : {x, x - w}) {
        if (left + kMarkerWidth <= 0 || left >= w) continue;
        if (marker)
            canvas.drawBitmap(*marker, gui::Rect::ofSize(left, 0, kMarkerWidth, h), {0, 0});
        else
            canvas.fillRect(gui::Rect::ofSize(left, 1, kMarkerWidth, h - 2), SourceArt::kAccent);
    }
}

// --- StepInterface ----------------------------------------------------------------------------

XLFOController::StepInterface::StepInterface(gui::UserInterface* ui, XLFOController& owner)
    : gui::Control(ui), owner_(owner) {
    SourceArt& art = owner.art_;
    caption_ = new gui::Label(ui);
    caption_->text().bold = true;
    caption_->text().size = 8;
    caption_->text().colour = SourceArt::kInk;
    caption_->setBounds(6, 2, 90, 16);
    caption_->interactive = false;
    caption_->parent = this;

    auto* valueKnob = new gui::Knob(ui, art.knob);
    valueKnob->setPosition({10, 22});
    valueKnob->maximum = kFreeRange;
    auto* glideKnob = new gui::Knob(ui, art.knob);
    glideKnob->setPosition({66, 22});
    glideKnob->maximum = kFreeRange;
    auto* function = new gui::SelectButton(ui, art.button);
    function->setBounds(6, 70, 58, 18);
    function->text().size = 7;
    function->text().colour = SourceArt::kInk;
    auto* random = new gui::ToggleButton(ui, art.button);
    random->setBounds(68, 70, 50, 18);
    random->setText("Random");
    random->text().size = 7;
    random->text().colour = SourceArt::kInk;
    random->iconOverride[1] = SourceArt::image("IconCheckDark");
    random->iconAlignment = gui::Button::Left;
    random->iconMargin = 3;
    controls_ = {valueKnob, glideKnob, function, random};
    for (gui::ValueControl* c : controls_) {
        c->parent = this;
        c->editBeganEvent.addHandler(this, &StepInterface::controlEditBegan);
        c->valueChangedEvent.addHandler(this, &StepInterface::controlChanged);
        c->editEndedEvent.addHandler(this, &StepInterface::controlEditEnded);
    }

    auto* hide = new gui::Button(ui, art.hide);
    hide->setPosition({kWidth - 20, 4});
    hide->hint = "The Hide button hides the XLFO step interface and deselect all steps.";
    auto* remove = new gui::Button(ui, art.button);
    remove->setBounds(6, 94, 54, 18);
    remove->setText("Remove");
    remove->hint =
        "The Remove Step button removes the currently selected steps from the XLFO. If no step is selected, "
        "the last step is removed.";
    auto* add = new gui::Button(ui, art.button);
    add->setBounds(64, 94, 54, 18);
    add->setText("Add");
    add->hint =
        "The Add Step button adds a new step to the XLFO. The new step copies most of its settings from the "
        "currently selected or previous step. It is inserted after the last selected step, or at the end of "
        "all steps. A maximum of 16 steps can be created.";
    buttons_ = {hide, remove, add};
    for (gui::Button* b : buttons_) {
        b->text().size = 7;
        b->text().colour = SourceArt::kInk;
        b->doubleClickEnabled = false;
        b->clickEvent.addHandler(this, &StepInterface::buttonClicked);
        b->parent = this;
    }
}

XLFOController::StepInterface::~StepInterface() {
    if (isUiDestroying()) return;
    unbind();
    deleteAllChildren();
}

void XLFOController::StepInterface::unbind() {
    for (auto [index, control] : bound_) owner_.editor_.unbindControl(index, control);
    bound_.clear();
}

std::string XLFOController::StepInterface::caption() {
    return caption_->text().text;
}

void XLFOController::StepInterface::showStep(int step) {
    unbind();
    shown_ = step;
    if (step < 0 || !owner_.bound_) return;
    const SourceLayout::XLFO& x = owner_.xlfo_;
    auto* function = static_cast<gui::SelectButton*>(controls_[GlideFunctionSelector]);
    if (function->items().empty())
        LorimaneSourceInterface::fillItems(*function,
                                           owner_.editor_.parameter(owner_.stepParameter(step, x.stepGlideFunction)));
    for (int k = 0; k < 4; ++k) {
        const int index = owner_.stepParameter(step, owner_.stepOffsets()[std::size_t(k)]);
        if (AbstractPluginParameter* p = owner_.editor_.parameter(index)) controls_[std::size_t(k)]->hint = p->helpText();
        owner_.editor_.bindControl(index, controls_[std::size_t(k)]);
        bound_.emplace_back(index, controls_[std::size_t(k)]);
    }
    caption_->text().text = owner_.selectedSteps().size() > 1 ? "(Multiple)" : "Step " + std::to_string(step + 1);
    refreshState();
}

void XLFOController::StepInterface::setSnap(bool on) {
    gui::ValueControl* knob = controls_[ValueKnob];
    const double x = knob->toNormalized();
    knob->maximum = on ? kSnapRange : kFreeRange;
    knob->defaultValue = knob->maximum / 2;
    knob->value = knob->fromNormalized(x);
}

void XLFOController::StepInterface::refreshState() {
    const int n = owner_.stepCount();
    setEnabled(buttons_[RemoveButton], n > 1);
    setEnabled(buttons_[AddButton], n < (owner_.bound_ ? owner_.xlfo_.maxSteps : kMaxSteps));
    setEnabled(controls_[ValueKnob], !(shown_ >= 0 && owner_.isRandom(shown_)));
}

int XLFOController::StepInterface::kindOf(void* sender) const {
    for (int k = 0; k < 4; ++k)
        if (controls_[std::size_t(k)] == sender) return k;
    return -1;
}

void XLFOController::StepInterface::controlEditBegan(void* sender) {
    owner_.applyToSelected(kindOf(sender), 0.0, gui::ValueControl::Begin);
}

void XLFOController::StepInterface::controlChanged(void* sender) {
    const int kind = kindOf(sender);
    if (kind >= 0) owner_.applyToSelected(kind, controls_[std::size_t(kind)]->toNormalized(), gui::ValueControl::Change);
}

void XLFOController::StepInterface::controlEditEnded(void* sender) {
    owner_.applyToSelected(kindOf(sender), 0.0, gui::ValueControl::End);
}

void XLFOController::StepInterface::buttonClicked(void* sender) {
    if (sender == buttons_[HideButton])
        owner_.selectOnly(-1);
    else if (sender == buttons_[RemoveButton])
        owner_.removeSelectedSteps();
    else if (sender == buttons_[AddButton])
        owner_.addStep();
}

void XLFOController::StepInterface::paint(gui::Canvas& canvas) {
    canvas.fillRect(localRect(), gui::Rgba{58, 63, 71, 255});
    canvas.drawVLine(0, 0, height(), SourceArt::kDeep);
    canvas.drawHLine(1, 19, width(), gui::Rgba{0, 0, 0, 60});
}
