#include "gui/native/headless/HeadlessText.h"

#include <algorithm>

namespace gui::native {

int HeadlessText::getWidth() {
    int characters = 0;
    for (unsigned char c : text.get())
        if ((c & 0xC0) != 0x80) ++characters;
    const int w = characters * kCharacterWidth;
    return maximumWidth > 0 ? std::min<int>(w, maximumWidth) : w;
}

int HeadlessText::getHeight() {
    return (size * 96 + 36) / 72;
}

const Bitmap* HeadlessText::getBitmap() {
    if (!rendered_) {
        bitmap_.setSize(getWidth(), getHeight());
        bitmap_.clear();
        rendered_ = true;
    }
    return &bitmap_;
}

}  // namespace gui::native
