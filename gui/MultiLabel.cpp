#include "gui/MultiLabel.h"

#include <algorithm>

#include "gui/Bitmap.h"
#include "gui/TextEditor.h"
#include "gui/UserInterface.h"

namespace gui {

MultiLabel::MultiLabel(UserInterface* ui, int segmentCount, Layout layout) : Control(ui), layout_(layout) {
    segments_.resize(static_cast<size_t>(std::max(1, segmentCount)));
    for (Segment& s : segments_) {
        s.text = ui ? ui->createText() : std::make_unique<Text>();
        s.text->changeEvent.addHandler(this, &MultiLabel::textChanged);
    }
}

MultiLabel::~MultiLabel() {
    if (editor_) {
        editor_->committedEvent.removeHandlers(this);
        editor_->endedEvent.removeHandlers(this);
    }
    for (Segment& s : segments_) s.text->changeEvent.removeHandlers(this);
}

void MultiLabel::textChanged(void*) {
    invalidateAll();
}

void MultiLabel::setSegmentWidth(int segment, int width) {
    segments_.at(segment).width = std::max(0, width);
    invalidateAll();
}

void MultiLabel::setSegmentAlignment(int segment, int alignment) {
    segments_.at(segment).alignment = alignment;
    invalidateAll();
}

void MultiLabel::setSegmentEditable(int segment, bool editable) {
    segments_.at(segment).editable = editable;
}

void MultiLabel::setSegmentOpacity(int segment, int opacity) {
    Segment& s = segments_.at(segment);
    opacity = std::clamp(opacity, 0, 255);
    if (s.opacity == opacity) return;
    s.opacity = opacity;
    invalidate(segmentRect(segment));
}

Rect MultiLabel::segmentRect(int segment) const {
    const Rect inner{kMargin, kMargin, width() - kMargin, height() - kMargin};
    const Segment& own = segments_.at(segment);
    if (layout_ == Stacked) {
        // Integer shares that add up to the whole height, so the lines meet without gaps.
        const int h = std::max(0, inner.height()), count = segmentCount();
        return {inner.left, inner.top + h * segment / count, inner.right,
                inner.top + h * (segment + 1) / count};
    }
    int fixed = 0, shared = 0;
    for (const Segment& s : segments_) s.width > 0 ? fixed += s.width : ++shared;
    const int each = shared ? std::max(0, inner.width() - fixed) / shared : 0;
    int x = inner.left;
    for (int i = 0; i < segment; ++i) x += segments_[i].width > 0 ? segments_[i].width : each;
    const int w = own.width > 0 ? own.width : each;
    return {x, inner.top, std::min(x + w, inner.right), inner.bottom};
}

void MultiLabel::setBackgroundImage(const Bitmap* image, int minimumCap) {
    background_ = image;
    backgroundCap_ = minimumCap;
    invalidateAll();
}

void MultiLabel::propertyChanged(AbstractProperty* property) {
    Control::propertyChanged(property);
    if (property == &backgroundColour) invalidateAll();
}

void MultiLabel::paint(Canvas& canvas) {
    if (background_ && !background_->isEmpty())
        canvas.drawStretched(*background_, background_->bounds(), localRect(), 255, backgroundCap_);
    else if (backgroundColour.get().alpha)
        canvas.fillRect(localRect(), backgroundColour);
    for (int i = 0; i < segmentCount(); ++i) {
        if (i == editing_) continue;  // the edit field shows it
        const Rect r = segmentRect(i);
        if (r.isEmpty()) continue;
        Text& t = *segments_[i].text;
        if (t.text.get().empty() || segments_[i].opacity == 0) continue;
        const int w = std::min(t.getWidth(), r.width());
        int x = r.left;
        if (segments_[i].alignment == AlignCentred) x += (r.width() - w) / 2;
        if (segments_[i].alignment == AlignRight) x = r.right - w;
        const int y = r.top + (r.height() - t.getHeight()) / 2;
        // Clip the text to its segment.
        const Canvas::State saved = canvas.saveState();
        canvas.setClip(canvas.clip().intersection(r));
        canvas.drawText(t, {x, y}, segments_[i].opacity);
        canvas.restoreState(saved);
    }
}

void MultiLabel::doubleClicked(int button, Point point, int flags) {
    Control::doubleClicked(button, point, flags);
    for (int i = 0; i < segmentCount(); ++i)
        if (segmentRect(i).contains(point) && beginEditOnRelease(i)) return;
}

bool MultiLabel::beginEditOnRelease(int segment) {
    if (segment < 0 || segment >= segmentCount() || !segments_[segment].editable || editing_ >= 0)
        return false;
    pendingEdit_ = segment;
    return true;
}

void MultiLabel::mouseUp(int button, Point point, int flags) {
    const int pending = pendingEdit_;
    pendingEdit_ = -1;
    Control::mouseUp(button, point, flags);
    // A cancelled press arrives as a release outside the control.
    if (pending >= 0 && button == 0 && localRect().contains(point)) beginEdit(pending);
}

bool MultiLabel::beginEdit(int segment) {
    if (segment < 0 || segment >= segmentCount() || !segments_[segment].editable || editing_ >= 0)
        return false;
    UserInterface* ui = userInterface();
    if (!ui) return false;
    if (!editor_) {
        editor_.reset(ui->createTextEditor());
        if (!editor_) return false;
        editor_->committedEvent.addHandler(this, &MultiLabel::editCommitted);
        editor_->endedEvent.addHandler(this, &MultiLabel::editEnded);
    }
    const Text& t = *segments_[segment].text;
    Text& field = editor_->text();
    field.text = t.text.get();
    field.fontName = t.fontName.get();
    field.size = t.size.get();
    field.bold = t.bold.get();
    field.italic = t.italic.get();
    const Rect r = segmentRect(segment);
    const Point at = toRoot(r.topLeft());
    editor_->rectangle = Rect::ofSize(at.x, at.y, r.width(), r.height());
    editor_->alignment = segments_[segment].alignment;
    editing_ = segment;
    invalidate(r);
    editor_->beginEditing();
    return true;
}

void MultiLabel::editCommitted(void*) {
    if (editing_ < 0) return;
    edited_ = editing_;
    segments_[edited_].text->text = editor_->text().text.get();
    editedEvent.fire(this);
}

void MultiLabel::editEnded(void*) {
    if (editing_ >= 0) invalidate(segmentRect(editing_));
    editing_ = -1;
}

}  // namespace gui
