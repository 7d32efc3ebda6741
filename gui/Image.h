#pragma once

#include <memory>

#include "gui/Bitmap.h"
#include "gui/Control.h"

namespace gui {

// Shows a bitmap: its own (the control takes the bitmap's size whenever the bitmap changes) or a
// shared one given at construction. Stretched to the control by the three-slice rule, or drawn
// unscaled at an offset with an optional hole that is neither drawn nor hit. Hit only where the
// picture is solid. UI thread.
class Image : public Control {
public:
    explicit Image(UserInterface* ui);
    // The bitmap stays the caller's and must outlive the control.
    Image(UserInterface* ui, Bitmap* shared);
    ~Image() override;

    Property<bool> stretched{this, false};
    // Minimum cap of the three-slice stretch.
    Property<int> minimumCap{this, 0};
    // Where the unscaled picture's top-left corner lies.
    Property<Point> offset{this};
    // Control coordinates; empty: no hole.
    Property<Rect> hole{this};

    Bitmap& bitmap() { return *bitmap_; }
    const Bitmap& bitmap() const { return *bitmap_; }
    bool ownsBitmap() const { return own_ != nullptr; }

    void paint(Canvas& canvas) override;
    int hitAlpha(Point point) const override;
    void propertyChanged(AbstractProperty* property) override;

private:
    void bitmapChanged(void*);
    void updateOpaque();

    std::unique_ptr<Bitmap> own_;
    Bitmap* bitmap_;
};

}  // namespace gui
