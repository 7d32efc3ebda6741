#include "gui/Bitmap.h"

namespace gui {

void Bitmap::setSize(int width, int height) {
    width_ = width > 0 ? width : 0;
    height_ = height > 0 ? height : 0;
    canvas_.setClip(bounds());
}

void Bitmap::update() {
    UpdatedObject::update();
    changeEvent.fire(this);
}

}  // namespace gui
