#include "interface/delay/BackgroundDimmer.h"

#include "gui/Bitmap.h"
#include "gui/Canvas.h"
#include "interface/delay/StripSection.h"

BackgroundDimmer::BackgroundDimmer(gui::UserInterface* ui, const StripSection& section)
    : gui::Control(ui), section_(section) {
    interactive = false;
}

void BackgroundDimmer::paint(gui::Canvas& canvas) {
    const gui::Bitmap* background = section_.background();
    if (!background) return;
    const gui::Rect at = bounds.get();
    canvas.drawBitmap(*background, localRect(), {section_.left() + at.left, at.top});
}
