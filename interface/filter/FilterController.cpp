#include "interface/filter/FilterController.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/FloatEpsilon.h"
#include "framework/AbstractPluginParameter.h"
#include "framework/FloatPluginParameter.h"
#include "gui/Bitmap.h"
#include "interface/ParameterEditor.h"

namespace {

constexpr int kHitAlpha = 64;
// Below this distance from the link point (pixels) a dot has no direction to scale or turn.
constexpr float kMinimumDistance = 0.5f;

float turnsOf(float dx, float dy) { return float(std::atan2(dy, dx) / (2.0 * std::numbers::pi)); }

int bit(int i) { return 1 << i; }

// A curve moved sideways: the pan copies of a response.
class ShiftedCurve : public gui::Curve {
public:
    ShiftedCurve(const gui::Curve& curve, float shift) : curve_(curve), shift_(shift) {}
    float value(float x) const override { return curve_.value(x - shift_); }

private:
    const gui::Curve& curve_;
    float shift_;
};

}  // namespace

float FilterController::Curve::FilterCurve::value(float x) const {
    if (columns.empty()) return 0.0f;
    const float u = std::clamp(x - origin, 0.0f, float(columns.size() - 1));
    const int i = std::min(int(u), int(columns.size()) - 2);
    if (i < 0) return columns.front();
    const float t = u - float(i);
    return columns[i] + (columns[i + 1] - columns[i]) * t;
}

FilterController::FilterController(gui::UserInterface* ui, ParameterEditor* editor)
    : FrequencyDisplay(ui), editor_(editor), response_(std::make_unique<FilterResponse>()) {
    setBounds(0, 0, 300, 200);
    numberText_.size = 7;
    numberText_.bold = true;
    numberText_.colour = gui::Rgba{20, 24, 30, 255};
}

FilterController::~FilterController() = default;

void FilterController::addDot(int frequency, int peak, int response, int slope, int enabled, int pan,
                              int characteristic) {
    auto dot = std::make_unique<Curve>();
    dot->frequencyIndex = frequency;
    dot->peakIndex = peak;
    dot->responseIndex = response;
    dot->slopeIndex = slope;
    dot->enabledIndex = enabled;
    dot->panIndex = pan;
    dot->characteristicIndex = characteristic;
    // The axis is the cut-off parameter's own range.
    if (editor_ && dots_.empty())
        if (auto* f = dynamic_cast<const FloatPluginParameter*>(editor_->parameter(frequency))) {
            low = f->engineValue(f->minValue());
            high = f->engineValue(f->maxValue());
        }
    dots_.push_back(std::move(dot));
    readDot(*dots_.back());
    updateLink();
    invalidateAll();
}

void FilterController::setSampleRate(float rate) {
    response_->setSampleRate(rate);
    for (auto& dot : dots_) {
        dot->computedScale = {};
        updateCurve(*dot);
    }
    invalidateAll();
}

void FilterController::refreshDots() {
    for (int i = 0; i < dotCount(); ++i)
        if (!(dragging_ && (activeMask_ & bit(i)))) readDot(*dots_[i]);
    updateLink();
    invalidateAll();
}

void FilterController::readDot(Curve& dot) {
    AbstractPluginParameter* p = nullptr;
    auto get = [&](int index) { return editor_ && (p = editor_->parameter(index)) != nullptr; };
    if (get(dot.frequencyIndex)) dot.x = p->plainToNormalized(p->value());
    if (get(dot.peakIndex)) dot.y = p->plainToNormalized(p->value());
    dot.enabled = get(dot.enabledIndex) ? std::fabs(p->value()) > kFloatEpsilon : true;
    if (get(dot.responseIndex)) dot.response = int(std::lround(p->value()));
    dot.slope = get(dot.slopeIndex) ? int(std::lround(p->value())) : 1;
    dot.pan = get(dot.panIndex) ? p->value() : 0.0f;
    dot.characteristic = get(dot.characteristicIndex) ? int(std::lround(p->value())) : 0;
    placeDot(dot);
}

void FilterController::placeDot(Curve& dot) {
    dot.centreX = float(border) + float(plotWidth()) * dot.x;
    dot.centreY = float(border) + (1.0f - dot.y) * float(peakHeight());
    updateCurve(dot);
}

float FilterController::yForDecibels(float dB) const {
    const float h = float(peakHeight());
    return std::clamp(float(border) + h - dB * h / topDecibels, -2.0f, float(height()) + 2.0f);
}

void FilterController::updateCurve(Curve& dot) {
    // The settings the engine's filter sees: the parameters' engine values.
    auto engine = [&](int index, float normalized, float lowEnd, float highEnd) {
        const auto* f = editor_ ? dynamic_cast<const FloatPluginParameter*>(editor_->parameter(index)) : nullptr;
        return f ? f->engineValue(f->normalizedToPlain(normalized)) : lowEnd + normalized * (highEnd - lowEnd);
    };
    FilterResponse::Setting s;
    s.frequency = engine(dot.frequencyIndex, dot.x, low, high);
    s.peak = engine(dot.peakIndex, dot.y, 0.0f, 1.0f);
    s.response = dot.response;
    s.slope = dot.slope;
    s.characteristic = dot.characteristic;
    const int columns = std::max(width() - 2 * border, 2);
    const std::array<float, 4> scale{float(columns), float(height()), float(border), topDecibels};
    if (scale == dot.computedScale && s.frequency == dot.computedFor.frequency && s.peak == dot.computedFor.peak &&
        s.response == dot.computedFor.response && s.slope == dot.computedFor.slope &&
        s.characteristic == dot.computedFor.characteristic)
        return;
    dot.computedFor = s;
    dot.computedScale = scale;
    std::vector<float> frequencies(columns);
    const float step = (high - low) / float(std::max(columns - 1, 1));
    for (int i = 0; i < columns; ++i) frequencies[i] = low + step * float(i);
    dot.curve.columns.resize(columns);
    response_->magnitudesDb(s, frequencies.data(), dot.curve.columns.data(), columns);
    for (float& y : dot.curve.columns) y = yForDecibels(y);
    dot.curve.origin = float(border);
}

void FilterController::updateLink() {
    linkMask_ = 0;
    linkCount_ = 0;
    float sx = 0.0f, sy = 0.0f;
    for (int i = 0; i < shownDots(); ++i) {
        linkMask_ |= bit(i);
        ++linkCount_;
        sx += dots_[i]->centreX;
        sy += dots_[i]->centreY;
    }
    if (linkCount_ > 0) {
        linkX_ = sx / float(linkCount_);
        linkY_ = sy / float(linkCount_);
    }
}

void FilterController::resized() {
    FrequencyDisplay::resized();
    for (auto& dot : dots_) placeDot(*dot);
    updateLink();
}

bool FilterController::hitsImage(const gui::Bitmap* image, float cx, float cy, gui::Point point) const {
    if (!image || image->isEmpty()) return false;
    const int left = int(std::lround(cx)) - image->width() / 2;
    const int top = int(std::lround(cy)) - image->height() / 2;
    const gui::Point at{point.x - left, point.y - top};
    if (at.x < 0 || at.y < 0 || at.x >= image->width() || at.y >= image->height()) return false;
    return image->getPixel(at).alpha > kHitAlpha;
}

bool FilterController::hitsLink(gui::Point point) const {
    return linkCount_ >= 2 && hitsImage(linkImage, linkX_, linkY_, point);
}

void FilterController::setActiveMask(int mask) {
    if (mask == activeMask_) return;
    activeMask_ = mask;
    invalidateAll();
}

void FilterController::highlight(gui::Point point, int flags) {
    grabbed_ = -1;
    if (hitsLink(point)) {
        setActiveMask(linkMask_);
        return;
    }
    if (dotsDrawn())
        for (int i = 0; i < shownDots(); ++i)
            if (hitsImage(dotImage, dots_[i]->centreX, dots_[i]->centreY, point)) {
                grabbed_ = i;
                setActiveMask((linkMask_ & bit(i)) && (flags & Alt) ? linkMask_ : bit(i));
                return;
            }
    setActiveMask(0);
}

void FilterController::setParameter(int index, float normalized) {
    if (editor_ && index >= 0) editor_->setNormalized(index, normalized);
}

void FilterController::beginDotEdits(int mask) {
    if (!editor_) return;
    for (int i = 0; i < dotCount(); ++i)
        if (mask & bit(i))
            for (int index : {dots_[i]->frequencyIndex, dots_[i]->peakIndex})
                if (index >= 0) editor_->beginEdit(index);
}

void FilterController::endDotEdits(int mask) {
    if (!editor_) return;
    for (int i = 0; i < dotCount(); ++i)
        if (mask & bit(i))
            for (int index : {dots_[i]->frequencyIndex, dots_[i]->peakIndex})
                if (index >= 0) editor_->endEdit(index);
}

void FilterController::capture() {
    updateLink();
    capturedLinkX_ = linkX_ - float(border);
    capturedLinkY_ = linkY_ - float(border);
    for (int i = 0; i < dotCount(); ++i) {
        if (!(activeMask_ & bit(i))) continue;
        Curve& d = *dots_[i];
        d.startX = d.centreX - float(border);
        d.startY = d.centreY - float(border);
        const float dx = d.startX - capturedLinkX_, dy = d.startY - capturedLinkY_;
        d.startDistance = std::hypot(dx, dy);
        d.startAngle = turnsOf(dx, dy);
    }
    captureOffset_ = dragOffset_;
}

void FilterController::evaluateMode(int flags) {
    // Only a grabbed dot that takes part in linking changes mode; a drag of the link point moves
    // every linked dot in parallel whatever the keys.
    if (grabbed_ < 0 || !(linkMask_ & bit(grabbed_))) return;
    const int mask = (flags & Alt) ? linkMask_ : bit(grabbed_);
    const bool opposite = (flags & Alt) && (flags & Ctrl);
    if (mask == activeMask_ && opposite == opposite_) return;
    endDotEdits(activeMask_ & ~mask);
    beginDotEdits(mask & ~activeMask_);
    setActiveMask(mask);
    opposite_ = opposite;
    capture();
}

void FilterController::mouseDown(int button, gui::Point point, int flags) {
    FrequencyDisplay::mouseDown(button, point, flags);
    if (button != 0) return;
    pressPoint_ = point;
    dragOffset_ = {0, 0};
    opposite_ = false;
    handled_ = false;
    handledIndex_ = -1;
    highlight(point, flags);
    if (activeMask_ == 0) return;
    dragging_ = true;
    if (grabbed_ >= 0 && !(flags & Alt) && editor_) {
        Curve& d = *dots_[grabbed_];
        if (flags & Ctrl) {
            if (AbstractPluginParameter* p = editor_->parameter(d.responseIndex)) {
                const int count = int(std::lround(p->maxValue())) + 1;
                d.response = (d.response + 1) % std::max(count, 1);
                handledIndex_ = d.responseIndex;
                editor_->beginEdit(handledIndex_);
                setParameter(handledIndex_, p->plainToNormalized(float(d.response)));
            }
        } else if ((flags & Shift) && d.slopeIndex >= 0) {
            if (AbstractPluginParameter* p = editor_->parameter(d.slopeIndex)) {
                d.slope = d.slope == 1 ? 2 : d.slope == 2 ? 3 : 1;
                handledIndex_ = d.slopeIndex;
                editor_->beginEdit(handledIndex_);
                setParameter(handledIndex_, p->plainToNormalized(float(d.slope)));
            }
        }
        if (handledIndex_ >= 0) {
            handled_ = true;
            setActiveMask(bit(grabbed_));
            updateCurve(d);
            invalidateAll();
            return;
        }
    }
    beginDotEdits(activeMask_);
    capture();
    evaluateMode(flags);
}

void FilterController::moveDotTo(Curve& dot, float px, float py) {
    const float w = float(plotWidth()), h = float(peakHeight());
    px = std::clamp(px, 0.0f, w);
    py = std::clamp(py, 0.0f, h);
    const float x = w > 0.0f ? px / w : 0.0f;
    const float y = h > 0.0f ? 1.0f - py / h : 0.0f;
    if (std::fabs(x - dot.x) > kFloatEpsilon) {
        dot.x = x;
        setParameter(dot.frequencyIndex, x);
    }
    if (std::fabs(y - dot.y) > kFloatEpsilon) {
        dot.y = y;
        setParameter(dot.peakIndex, y);
    }
    placeDot(dot);
}

void FilterController::mouseMove(gui::Point point, int flags) {
    FrequencyDisplay::mouseMove(point, flags);
    if (!dragging_) {
        highlight(point, flags);
        return;
    }
    if (handled_) return;
    dragOffset_ = {point.x - pressPoint_.x, point.y - pressPoint_.y};
    const float mx = float(dragOffset_.x - captureOffset_.x), my = float(dragOffset_.y - captureOffset_.y);
    if (opposite_ && grabbed_ >= 0) {
        Curve& g = *dots_[grabbed_];
        moveDotTo(g, g.startX + mx, g.startY + my);
        const float gx = g.centreX - float(border) - capturedLinkX_, gy = g.centreY - float(border) - capturedLinkY_;
        const float distance = std::hypot(gx, gy);
        const float turn = turnsOf(gx, gy) - g.startAngle;
        for (int i = 0; i < dotCount(); ++i) {
            if (i == grabbed_ || !(activeMask_ & bit(i))) continue;
            Curve& d = *dots_[i];
            if (g.startDistance < kMinimumDistance) {
                // Dots that started on the link point have no distance to scale: the others
                // mirror the grabbed dot through it.
                moveDotTo(d, capturedLinkX_ - gx, capturedLinkY_ - gy);
                continue;
            }
            const float r = d.startDistance * distance / g.startDistance;
            const double a = 2.0 * std::numbers::pi * double(d.startAngle + turn);
            moveDotTo(d, capturedLinkX_ + r * float(std::cos(a)), capturedLinkY_ + r * float(std::sin(a)));
        }
    } else {
        for (int i = 0; i < dotCount(); ++i)
            if (activeMask_ & bit(i)) moveDotTo(*dots_[i], dots_[i]->startX + mx, dots_[i]->startY + my);
    }
    updateLink();
    evaluateMode(flags);
    invalidateAll();
}

void FilterController::endDrag() {
    if (!dragging_) return;
    dragging_ = false;
    if (handled_) {
        if (editor_ && handledIndex_ >= 0) editor_->endEdit(handledIndex_);
    } else {
        endDotEdits(activeMask_);
    }
    handled_ = false;
    handledIndex_ = -1;
    opposite_ = false;
}

void FilterController::mouseUp(int button, gui::Point point, int flags) {
    if (button == 0) endDrag();
    FrequencyDisplay::mouseUp(button, point, flags);
}

void FilterController::cancelMouse() {
    endDrag();
    FrequencyDisplay::cancelMouse();
}

void FilterController::mouseExited() {
    FrequencyDisplay::mouseExited();
    if (!dragging_) {
        grabbed_ = -1;
        setActiveMask(0);
    }
}

void FilterController::paint(gui::Canvas& canvas) {
    FrequencyDisplay::paint(canvas);
    const int shown = shownDots();
    const float pixelsPerOctave = float(plotWidth()) / (high - low);
    auto halfAlpha = [](gui::Rgba c, bool enabled) {
        if (!enabled) c.alpha = uint8_t(c.alpha / 2);
        return c;
    };
    for (int i = shown - 1; i >= 0; --i) {
        Curve& d = *dots_[i];
        updateCurve(d);
        gui::CurveSet set;
        const ShiftedCurve left(d.curve, -d.pan * pixelsPerOctave), right(d.curve, d.pan * pixelsPerOctave);
        if (std::fabs(d.pan) > kFloatEpsilon) {
            // Outlines only.
            set.entries.push_back({&left, gui::Rgba{0, 0, 0, 0}, halfAlpha(panColour1, d.enabled), 1.0f});
            set.entries.push_back({&right, gui::Rgba{0, 0, 0, 0}, halfAlpha(panColour2, d.enabled), 1.0f});
        }
        const gui::Rgba fill = (activeMask_ & bit(i)) ? activeFill : inactiveFill;
        set.entries.push_back({&d.curve, halfAlpha(fill, d.enabled), halfAlpha(lineColour, d.enabled), 1.5f,
                               float(height()) * fillFadeEnd});
        canvas.drawCurves(set, localRect());
    }
    if (linkCount_ >= 2) {
        gui::Rgba c = lineColour;
        c.alpha = uint8_t(int(c.alpha) * opacity.get() / 255);
        for (int i = 0; i < shown; ++i) canvas.drawLine(linkX_, linkY_, dots_[i]->centreX, dots_[i]->centreY, c);
    }
    if (!dotsDrawn()) return;
    for (int i = 0; i < shown; ++i) {
        const Curve& d = *dots_[i];
        const gui::Bitmap* image = (activeMask_ & bit(i)) && activeDotImage ? activeDotImage : dotImage;
        const int left = int(std::lround(d.centreX)) - image->width() / 2;
        const int top = int(std::lround(d.centreY)) - image->height() / 2;
        canvas.drawBitmap(*image, gui::Rect::ofSize(left, top, image->width(), image->height()), {0, 0});
        numberText_.text = std::to_string(i + 1);
        canvas.drawText(numberText_, {int(std::lround(d.centreX)) - numberText_.getWidth() / 2,
                                      int(std::lround(d.centreY)) - numberText_.getHeight() / 2});
    }
    if (linkCount_ >= 2 && linkImage) {
        const gui::Bitmap* image = activeMask_ == linkMask_ && activeLinkImage ? activeLinkImage : linkImage;
        const int left = int(std::lround(linkX_)) - image->width() / 2;
        const int top = int(std::lround(linkY_)) - image->height() / 2;
        canvas.drawBitmap(*image, gui::Rect::ofSize(left, top, image->width(), image->height()), {0, 0});
    }
}
