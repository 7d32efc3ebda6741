#pragma once

#include <memory>

#include "gui/Control.h"
#include "gui/Text.h"

namespace gui {

class Bitmap;

// An image (three-slice stretched to the control) with a word-wrapped text inside margins of 5
// pixels on each side. UI thread.
class ImageLabel : public Control {
public:
    static constexpr int kMargin = 5;

    ImageLabel(UserInterface* ui, const Bitmap* image = nullptr);
    ~ImageLabel() override;

    Text& text() { return *text_; }
    // Not owned.
    void setImage(const Bitmap* image);
    int minimumCap = 0;

    void paint(Canvas& canvas) override;
    void resized() override;

private:
    void textChanged(void*);

    std::unique_ptr<Text> text_;
    const Bitmap* image_;
};

}  // namespace gui
