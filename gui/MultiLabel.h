#pragma once

#include <memory>
#include <vector>

#include "gui/Control.h"
#include "gui/Text.h"

namespace gui {

class Bitmap;
class TextEditor;

// A row of text segments (their number fixed at construction) over an optional background: a
// shared image stretched by the three-slice rule, or else a colour. Text keeps a margin of 3
// pixels on each side. Editable segments are edited in place on a double-click (or beginEdit)
// through the user interface's text editor; a committed edit lands in the segment's text and
// fires editedEvent. UI thread.
class MultiLabel : public Control {
public:
    enum Alignment { AlignLeft = 0, AlignCentred = 1, AlignRight = 2 };
    static constexpr int kMargin = 3;

    MultiLabel(UserInterface* ui, int segmentCount);
    ~MultiLabel() override;

    int segmentCount() const { return static_cast<int>(segments_.size()); }
    Text& text(int segment) { return *segments_[segment].text; }
    // 0 shares the width left by the fixed segments equally.
    void setSegmentWidth(int segment, int width);
    void setSegmentAlignment(int segment, int alignment);
    void setSegmentEditable(int segment, bool editable);
    // The segment's rectangle inside the margins, in control coordinates.
    Rect segmentRect(int segment) const;

    // Not owned; none draws the background colour instead.
    void setBackgroundImage(const Bitmap* image, int minimumCap = 0);
    Property<Rgba> backgroundColour{this, Rgba{0, 0, 0, 0}};

    // Starts editing the segment; false when it is not editable or an edit runs.
    bool beginEdit(int segment);
    bool isEditing() const { return editing_ >= 0; }
    // The segment of the last committed edit.
    int editedSegment() const { return edited_; }
    NotifyEvent editedEvent;

    void paint(Canvas& canvas) override;
    void doubleClicked(int button, Point point, int flags) override;
    void propertyChanged(AbstractProperty* property) override;

private:
    struct Segment {
        std::unique_ptr<Text> text;
        int width = 0;
        int alignment = AlignLeft;
        bool editable = false;
    };
    void textChanged(void*);
    void editCommitted(void*);
    void editEnded(void*);

    std::vector<Segment> segments_;
    const Bitmap* background_ = nullptr;
    int backgroundCap_ = 0;
    std::unique_ptr<TextEditor> editor_;
    int editing_ = -1;
    int edited_ = -1;
};

}  // namespace gui
