#pragma once

#include "gui/MultiLabel.h"

namespace gui {

// A one-segment label for captions: bold, centred. UI thread.
class CaptionLabel : public MultiLabel {
public:
    explicit CaptionLabel(UserInterface* ui) : MultiLabel(ui, 1) {
        text().bold = true;
        setSegmentAlignment(0, AlignCentred);
    }

    Text& text() { return MultiLabel::text(0); }
};

}  // namespace gui
