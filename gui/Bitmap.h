#pragma once

#include <cstddef>
#include <cstdint>

#include "core/NotifyEvent.h"
#include "gui/Canvas.h"
#include "gui/UpdatedObject.h"

namespace gui {

// A picture of premultiplied pixels that can be drawn and drawn into. This is the part the
// component tree relies on: a size, a decoder entry point, a copy and a canvas over the whole
// picture. The pixel store and the rasterizer belong to the variant the user interface creates.
class Bitmap : public UpdatedObject, public Canvas::Owner {
public:
    Bitmap() : canvas_(this) {}

    int width() const { return width_; }
    int height() const { return height_; }
    Rect bounds() const { return {0, 0, width_, height_}; }
    bool isEmpty() const { return width_ <= 0 || height_ <= 0; }

    // Reallocates; the contents are undefined until drawn. The canvas clip follows the new size.
    virtual void setSize(int width, int height);
    // Decodes image data into the bitmap; false (and the bitmap unchanged) when the data is not
    // an image the bitmap can read.
    virtual bool load(const uint8_t* data, size_t size) = 0;
    virtual void copyFrom(const Bitmap& other) = 0;

    Canvas& canvas() { return canvas_; }

    // Fired by the update after the pixels changed, so that controls showing the bitmap repaint.
    NotifyEvent changeEvent;

protected:
    void update() override;

private:
    int width_ = 0;
    int height_ = 0;
    Canvas canvas_;
};

}  // namespace gui
