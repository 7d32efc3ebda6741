#include "interface/HelpHintWindow.h"

#include "gui/Bitmap.h"
#include "gui/Canvas.h"

HelpHintWindow::HelpHintWindow(gui::UserInterface* ui) : gui::Control(ui) {
    setSize(kWidth, kHeight);
    text_.wrapMode = gui::Text::WordWrap;
    text_.maximumWidth = kWidth - 2 * kMargin;
    visible = false;
    // A hint must never take the pointer from the control it explains.
    interactive = false;
}

void HelpHintWindow::setText(const std::string& text) {
    if (text == shown_) return;
    shown_ = text;
    text_.text = text;
    text_.maximumWidth = width() - 2 * kMargin;
    visible = !text.empty();
    invalidateAll();
}

void HelpHintWindow::paint(gui::Canvas& canvas) {
    if (background_ && !background_->isEmpty())
        canvas.drawStretched(*background_, background_->bounds(), localRect(), 255, 8);
    else
        canvas.fillRect(localRect(), gui::Rgba{40, 44, 50, 235});
    if (!shown_.empty()) canvas.drawText(text_, {kMargin, (height() - text_.getHeight()) / 2});
}

int HelpHintWindow::hitAlpha(gui::Point) const { return 0; }
