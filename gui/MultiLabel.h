#pragma once

#include <memory>
#include <vector>

#include "gui/Control.h"
#include "gui/Text.h"

namespace gui {

class Bitmap;
class TextEditor;

// Text segments (their number fixed at construction) side by side in a row, or stacked as lines,
// over an optional background: a shared image stretched by the three-slice rule, or else a colour.
// Text keeps a margin of 3 pixels on each side; each segment has its own opacity. Editable
// segments are edited in place, opening on the release of a double-click (or at once through
// beginEdit) in the user interface's text editor; a committed edit lands in the segment's text
// and fires editedEvent. UI thread.
class MultiLabel : public Control {
public:
    enum Alignment { AlignLeft = 0, AlignCentred = 1, AlignRight = 2 };
    enum Layout { Row = 0, Stacked = 1 };
    static constexpr int kMargin = 3;

    MultiLabel(UserInterface* ui, int segmentCount, Layout layout = Row);
    ~MultiLabel() override;

    int segmentCount() const { return static_cast<int>(segments_.size()); }
    Layout layout() const { return layout_; }
    Text& text(int segment) { return *segments_[segment].text; }
    // In a row: 0 shares the width left by the fixed segments equally. Stacked lines always share
    // the height equally and span the whole width.
    void setSegmentWidth(int segment, int width);
    void setSegmentAlignment(int segment, int alignment);
    void setSegmentEditable(int segment, bool editable);
    // 0..255, scaling the text's own alpha.
    void setSegmentOpacity(int segment, int opacity);
    int segmentOpacity(int segment) const { return segments_.at(segment).opacity; }
    // The segment's rectangle inside the margins, in control coordinates.
    Rect segmentRect(int segment) const;

    // Not owned; none draws the background colour instead.
    void setBackgroundImage(const Bitmap* image, int minimumCap = 0);
    Property<Rgba> backgroundColour{this, Rgba{0, 0, 0, 0}};

    // Starts editing the segment; false when it is not editable or an edit runs.
    bool beginEdit(int segment);
    // Marks the segment to be edited when the current press is released over the label, so the
    // edit field does not open under a button still held; false when it is not editable. A press
    // released elsewhere or cancelled opens nothing.
    bool beginEditOnRelease(int segment);
    // The segment waiting for the release, or -1.
    int pendingEdit() const { return pendingEdit_; }
    bool isEditing() const { return editing_ >= 0; }
    // The segment of the last committed edit.
    int editedSegment() const { return edited_; }
    NotifyEvent editedEvent;

    void paint(Canvas& canvas) override;
    void doubleClicked(int button, Point point, int flags) override;
    void mouseUp(int button, Point point, int flags) override;
    void propertyChanged(AbstractProperty* property) override;

private:
    struct Segment {
        std::unique_ptr<Text> text;
        int width = 0;
        int alignment = AlignLeft;
        bool editable = false;
        int opacity = 255;
    };
    void textChanged(void*);
    void editCommitted(void*);
    void editEnded(void*);

    std::vector<Segment> segments_;
    Layout layout_;
    const Bitmap* background_ = nullptr;
    int backgroundCap_ = 0;
    std::unique_ptr<TextEditor> editor_;
    int editing_ = -1;
    int edited_ = -1;
    int pendingEdit_ = -1;
};

}  // namespace gui
