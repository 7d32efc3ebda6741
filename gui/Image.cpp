#include "gui/Image.h"

#include <algorithm>

#include "gui/UserInterface.h"

namespace gui {

Image::Image(UserInterface* ui) : Control(ui), own_(ui ? ui->createBitmap() : nullptr) {
    if (!own_) own_ = std::make_unique<Bitmap>();
    bitmap_ = own_.get();
    bitmap_->changeEvent.addHandler(this, &Image::bitmapChanged);
}

Image::Image(UserInterface* ui, Bitmap* shared) : Control(ui), bitmap_(shared) {
    bitmap_->changeEvent.addHandler(this, &Image::bitmapChanged);
    updateOpaque();
}

Image::~Image() {
    bitmap_->changeEvent.removeHandlers(this);
}

void Image::bitmapChanged(void*) {
    if (own_ && (width() != bitmap_->width() || height() != bitmap_->height()))
        setSize(bitmap_->width(), bitmap_->height());
    updateOpaque();
    invalidateAll();
}

void Image::propertyChanged(AbstractProperty* property) {
    Control::propertyChanged(property);
    if (property == &stretched || property == &minimumCap || property == &offset || property == &hole ||
        property == &bounds) {
        updateOpaque();
        invalidateAll();
    }
}

void Image::updateOpaque() {
    const Rect picture =
        stretched ? localRect()
                  : Rect::ofSize(offset.get().x, offset.get().y, bitmap_->width(), bitmap_->height());
    const bool covers =
        !bitmap_->isEmpty() && picture.intersection(localRect()) == localRect() && !localRect().isEmpty();
    opaque = !bitmap_->hasAlpha && hole.get().isEmpty() && covers;
}

void Image::paint(Canvas& canvas) {
    if (bitmap_->isEmpty()) return;
    if (stretched) {
        canvas.drawStretched(*bitmap_, bitmap_->bounds(), localRect(), 255, minimumCap);
        return;
    }
    const Rect picture = Rect::ofSize(offset.get().x, offset.get().y, bitmap_->width(), bitmap_->height());
    const Rect h = hole.get().intersection(picture);
    if (h.isEmpty()) {
        canvas.drawBitmap(*bitmap_, picture, {0, 0});
        return;
    }
    // The picture around the hole: the bands above and below it, then left and right of it.
    const Rect parts[] = {{picture.left, picture.top, picture.right, h.top},
                          {picture.left, h.bottom, picture.right, picture.bottom},
                          {picture.left, h.top, h.left, h.bottom},
                          {h.right, h.top, picture.right, h.bottom}};
    for (const Rect& part : parts)
        if (!part.isEmpty())
            canvas.drawBitmap(*bitmap_, part, {part.left - picture.left, part.top - picture.top});
}

namespace {

// The cap the three-slice rule uses along one axis.
int sliceCap(int source, int destination, int minimumCap, int across) {
    return std::min(std::max(minimumCap, std::min(source / 3, across)), destination / 2);
}

// The source coordinate that the three-slice rule draws at a destination coordinate, or -1.
int sliceSource(int at, int source, int destination, int cap) {
    if (source == destination) return at;
    if (at < cap) return at;
    if (at >= destination - cap) return source - (destination - at);
    const int middle = source - 2 * cap;
    return middle > 0 ? cap + (at - cap) % middle : -1;
}

}  // namespace

int Image::hitAlpha(Point point) const {
    if (hole.get().contains(point) || !localRect().contains(point)) return 0;
    if (!stretched) return bitmap_->getPixel(point - offset.get()).alpha;
    const int sw = bitmap_->width(), sh = bitmap_->height();
    if (sw <= 0 || sh <= 0) return 0;
    // Vertically into a band first, then across within the band, as the stretch draws.
    int bandHeight = sh;
    int y = point.y;
    if (sh != height()) {
        const int cap = sliceCap(sh, height(), minimumCap, sw);
        y = sliceSource(point.y, sh, height(), cap);
        bandHeight = point.y < cap || point.y >= height() - cap ? cap : sh - 2 * cap;
    }
    const int x = sliceSource(point.x, sw, width(), sliceCap(sw, width(), minimumCap, bandHeight));
    if (x < 0 || y < 0) return 0;
    return bitmap_->getPixel({x, y}).alpha;
}

}  // namespace gui
