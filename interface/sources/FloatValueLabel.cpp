#include "interface/sources/FloatValueLabel.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "framework/AbstractPluginParameter.h"
#include "gui/Bitmap.h"
#include "gui/Timer.h"
#include "gui/UserInterface.h"
#include "interface/ParameterEditor.h"
#include "interface/sources/ParameterWatcher.h"
#include "interface/sources/SourceArt.h"
#include "platform/IntervalTimer.h"

namespace {
// Smallest display change worth sending, so a drag at an end sends nothing.
constexpr float kMinimumChange = 1.1920929e-7f;
}

FloatValueLabel::FloatValueLabel(gui::UserInterface* ui, ParameterEditor& editor)
    : gui::Label(ui), editor_(editor), sincePress_(IntervalTimer::create(ui->clock())) {
    watcher_ = new ParameterWatcher(ui, [this] { refreshText(); });
    tapTimer_ = ui->createTimer();
    tapTimer_->interval = kTapTimeoutMs;
    tapTimer_->firedEvent.setOwnerHandler(this, &FloatValueLabel::tapExpired);
    editedEvent.addHandler(this, &FloatValueLabel::textEdited);
    setSegmentAlignment(0, AlignCentred);
    text().colour = SourceArt::kInk;
    text().size = 8;
    hint = "The time display shows the value in milliseconds. Drag it up or down to change it, hold "
           "Shift for finer steps. Click it once and click again to tap a time.";
}

FloatValueLabel::~FloatValueLabel() {
    if (isUiDestroying()) return;
    bind(-1);
    delete watcher_;
    delete tapTimer_;
}

void FloatValueLabel::bind(int parameterIndex) {
    if (index_ >= 0) editor_.unbindControl(index_, watcher_);
    index_ = editor_.parameter(parameterIndex) ? parameterIndex : -1;
    if (index_ >= 0) editor_.bindControl(index_, watcher_);
    refreshText();
}

std::string FloatValueLabel::format(float display) const {
    char pattern[16];
    std::snprintf(pattern, sizeof pattern, "%%.%df", decimals);
    char out[64];
    std::snprintf(out, sizeof out, pattern, double(display));
    return (showPlus && display >= 0.0f ? "+" : "") + std::string(out);
}

void FloatValueLabel::refreshText() {
    AbstractPluginParameter* p = editor_.parameter(index_);
    if (!p || !interactive) {
        text().text = "-";
    } else if (tapState_) {
        text().text = kTapText;
    } else {
        text().text = format(dragging_ ? dragged_ : p->plainToDisplay(p->value()));
    }
    invalidateAll();
}

void FloatValueLabel::propertyChanged(AbstractProperty* property) {
    gui::Label::propertyChanged(property);
    if (property == &interactive) refreshText();
}

void FloatValueLabel::setTap(bool on) {
    tapState_ = on;
    tapTimer_->running = on;
    refreshText();
}

void FloatValueLabel::tapExpired(void*) {
    setTap(false);
}

void FloatValueLabel::setDisplay(float display) {
    AbstractPluginParameter* p = editor_.parameter(index_);
    if (!p) return;
    const float low = std::min(p->minValue(), p->maxValue()), high = std::max(p->minValue(), p->maxValue());
    const float plain = std::clamp(p->displayToPlain(display), low, high);
    if (!dragging_) editor_.beginEdit(index_);
    editor_.setNormalized(index_, p->plainToNormalized(plain));
    if (!dragging_) editor_.endEdit(index_);
}

void FloatValueLabel::mouseDown(int button, gui::Point point, int flags) {
    // Without tap tempo a double-click types a value (the label opens its editor on the release).
    setSegmentEditable(0, !tapEnabled() && index_ >= 0);
    gui::Label::mouseDown(button, point, flags);
    AbstractPluginParameter* p = editor_.parameter(index_);
    if (button != 0 || !p || editor_.midiLearnActive()) return;
    if ((flags & DoubleClick) && !tapEnabled()) return;
    if (tapState_) {
        // The press after a quick click: the time between the two presses.
        setDisplay(float(sincePress_->elapsedMs()));
        return;
    }
    sincePress_->restart();
    editor_.beginEdit(index_);
    dragging_ = true;
    dragChanged_ = false;
    referenceY_ = point.y;
    dragged_ = p->plainToDisplay(p->value());
}

void FloatValueLabel::mouseMove(gui::Point point, int flags) {
    gui::Label::mouseMove(point, flags);
    AbstractPluginParameter* p = editor_.parameter(index_);
    if (!dragging_ || !p || std::abs(referenceY_ - point.y) <= 2) return;
    const float stepNow = (flags & Shift) ? fineStep : step;
    const float lowDisplay = p->plainToDisplay(p->minValue()), highDisplay = p->plainToDisplay(p->maxValue());
    const float next = std::clamp(dragged_ + float((referenceY_ - point.y) / 2) * stepNow,
                                  std::min(lowDisplay, highDisplay), std::max(lowDisplay, highDisplay));
    referenceY_ = point.y;
    if (std::abs(next - dragged_) <= kMinimumChange) return;
    dragged_ = next;
    dragChanged_ = true;
    setDisplay(next);
    refreshText();
}

void FloatValueLabel::mouseUp(int button, gui::Point point, int flags) {
    gui::Label::mouseUp(button, point, flags);
    if (button != 0) return;
    bool changed = false;
    if (dragging_) {
        dragging_ = false;
        changed = dragChanged_;
        editor_.endEdit(index_);
    }
    if (tapState_) {
        setTap(false);
    } else if (tapEnabled() && index_ >= 0 && !changed && sincePress_->elapsedMs() < kTapArmMs) {
        // A quick click arms the tap; a quick drag that changed the value does not.
        setTap(true);
    }
    refreshText();
}

void FloatValueLabel::textEdited(void*) {
    AbstractPluginParameter* p = editor_.parameter(index_);
    float plain = 0.0f;
    if (p && p->textToPlain(text().text, plain)) {
        editor_.beginEdit(index_);
        editor_.setNormalized(index_, p->plainToNormalized(plain));
        editor_.endEdit(index_);
    }
    refreshText();
}

void FloatValueLabel::paint(gui::Canvas& canvas) {
    if (tapState_) {
        if (tapImage)
            canvas.drawStretched(*tapImage, tapImage->bounds(), localRect());
        else
            canvas.fillRect(localRect(), SourceArt::kTealDim);
    }
    gui::Label::paint(canvas);
}
