#include "gui/ImageLabel.h"

#include "gui/Bitmap.h"
#include "gui/UserInterface.h"

namespace gui {

ImageLabel::ImageLabel(UserInterface* ui, const Bitmap* image)
    : Control(ui), text_(ui ? ui->createText() : std::make_unique<Text>()), image_(image) {
    text_->wrapMode = Text::WordWrap;
    text_->changeEvent.addHandler(this, &ImageLabel::textChanged);
}

ImageLabel::~ImageLabel() {
    text_->changeEvent.removeHandlers(this);
}

void ImageLabel::textChanged(void*) {
    invalidateAll();
}

void ImageLabel::setImage(const Bitmap* image) {
    image_ = image;
    invalidateAll();
}

void ImageLabel::resized() {
    Control::resized();
    text_->maximumWidth = std::max(1, width() - 2 * kMargin);
}

void ImageLabel::paint(Canvas& canvas) {
    if (image_ && !image_->isEmpty())
        canvas.drawStretched(*image_, image_->bounds(), localRect(), 255, minimumCap);
    if (text_->text.get().empty()) return;
    const Canvas::State saved = canvas.saveState();
    canvas.setClip(canvas.clip().intersection({kMargin, kMargin, width() - kMargin, height() - kMargin}));
    canvas.drawText(*text_, {kMargin, kMargin});
    canvas.restoreState(saved);
}

}  // namespace gui
