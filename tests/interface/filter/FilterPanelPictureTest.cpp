// A filter panel as the editor shows it (the display with both filters, their buttons and an XY
// pad), drawn by the software renderer and written to filter-panel.png beside the test binary so
// that it can be looked at.

#include <gtest/gtest.h>

#include <filesystem>
#include <iostream>

#include "controls/FakeParameterEditor.h"
#include "gui/Bitmap.h"
#include "gui/ModifierMap.h"
#include "gui/ToggleButton.h"
#include "interface/controls/ComponentButton.h"
#include "interface/controls/ComponentDisplay.h"
#include "interface/controls/XYControllerButton.h"
#include "interface/filter/FilterController.h"
#include "streams/Resource.h"
#include "tools/png-writer/PngWriter.h"

namespace interface_test {
namespace {

// The panel's backdrop: a vertical gradient with a caption, or an image.
class Backdrop : public gui::Control {
public:
    Backdrop(gui::UserInterface* ui, const gui::Bitmap* picture) : gui::Control(ui), picture_(picture) {
        caption_.size = 8;
        caption_.bold = true;
        caption_.colour = gui::Rgba{150, 156, 164, 255};
        caption_.text = "FILTERS";
    }
    void paint(gui::Canvas& canvas) override {
        if (picture_) {
            canvas.drawBitmap(*picture_, localRect(), {0, 0});
            return;
        }
        for (int y = 0; y < height(); ++y) {
            const int t = 255 * y / std::max(height() - 1, 1);
            const auto mix = [t](int a, int b) { return uint8_t(a + (b - a) * t / 255); };
            canvas.fillRect(gui::Rect{0, y, width(), y + 1}, gui::Rgba{mix(60, 42), mix(66, 46), mix(74, 52), 255});
        }
        canvas.drawText(caption_, {14, 8});
    }

private:
    const gui::Bitmap* picture_;
    gui::Text caption_;
};

class FilterPanelPicture : public EditorFixture {
protected:
    std::unique_ptr<gui::Bitmap> plot = image("FilterDisplayBackground"), dot = image("DisplayPeak"),
                                 activeDot = image("DisplayPeakActive"), link = image("DisplayMid"),
                                 activeLink = image("DisplayMidActive"), marker = image("XYMarker");
    std::unique_ptr<gui::Bitmap> faces[3] = {image("ButtonComponentNormal"), image("ButtonComponentActive"),
                                             image("ButtonComponentDown")};
    std::unique_ptr<gui::Bitmap> xyFaces[3] = {image("ButtonXYNormal"), image("ButtonXYActive"),
                                               image("ButtonXYDown")};
    std::unique_ptr<gui::Bitmap> enabled[2] = {image("IconEnabledOff"), image("IconEnabledOn")};
};

TEST_F(FilterPanelPicture, DrawsBothFiltersWithTheirButtons) {
    gui::ModifierMap::useDefaults();
    ui->getRootControl()->setBounds(0, 0, 440, 310);
    window().setBounds(gui::Rect{0, 0, 440, 310});
    auto* back = new Backdrop(ui.get(), nullptr);
    back->setBounds(0, 0, 440, 310);
    back->parent = &root();
    auto* plotBack = new Backdrop(ui.get(), plot.get());
    plotBack->setBounds(14, 26, 412, 172);
    plotBack->parent = &root();

    int f[2][7];
    for (int n = 0; n < 2; ++n) {
        const std::string p = "Filter " + std::to_string(n + 1);
        int i = 0;
        for (const char* name : {" Freq", " Peak", " Response", " Slope", " Enabled", " Pan", " Characteristic"})
            f[n][i++] = editor.index(p + name);
    }
    // Filter 1: a resonant 24 dB low pass near 2.5 kHz, spread by half an octave; filter 2: a gentle
    // 12 dB high pass near 120 Hz.
    editor.setNormalized(f[0][0], 0.647f);
    editor.setNormalized(f[0][1], 0.62f);
    editor.setValue(f[0][2], 0.0f);
    editor.setValue(f[0][3], 2.0f);
    editor.setValue(f[0][5], 0.5f);
    editor.setNormalized(f[1][0], 0.33f);
    editor.setNormalized(f[1][1], 0.25f);
    editor.setValue(f[1][2], 1.0f);
    editor.setValue(f[1][3], 1.0f);
    editor.setValue(f[1][6], 4.0f);

    auto* display = new FilterController(ui.get(), &editor);
    display->border = 6;
    display->setBounds(14, 26, 412, 172);
    display->parent = &root();
    display->maxDotsShown = 2;
    display->dotImage = dot.get();
    display->activeDotImage = activeDot.get();
    display->linkImage = link.get();
    display->activeLinkImage = activeLink.get();
    display->gridColour = gui::Rgba{255, 255, 255, 20};
    display->activeFill = gui::Rgba{242, 164, 52, 120};
    display->inactiveFill = gui::Rgba{72, 192, 204, 90};
    display->lineColour = gui::Rgba{236, 238, 242, 230};
    display->panColour1 = gui::Rgba{255, 255, 255, 70};
    display->panColour2 = gui::Rgba{242, 164, 52, 90};
    for (const auto& d : f) display->addDot(d[0], d[1], d[2], d[3], d[4], d[5], d[6]);

    gui::Button::Style face(ui.get());
    face.width = 85;
    face.height = 64;
    for (int i = 0; i < 3; ++i) face.background[i] = faces[i].get();
    gui::Button::Style power(ui.get());
    power.width = power.height = 12;
    power.icon[0] = enabled[0].get();
    power.icon[1] = enabled[1].get();
    // The buttons' display stays out of sight; its hint labels show beside the first button.
    auto* strip = new ComponentDisplay(ui.get());
    strip->visible = false;
    strip->parent = &root();
    std::vector<ComponentButton*> buttons;
    for (int n = 0; n < 2; ++n) {
        auto* b = new ComponentButton(ui.get(), editor, strip, -1, &face);
        buttons.push_back(b);
        b->setBounds(14 + 95 * n, 218, 85, 64);
        b->parent = &root();
        b->setParameter(ParameterButton::Horizontal, f[n][0]);
        b->setParameter(ParameterButton::Vertical, f[n][1]);
        b->setParameter(ParameterButton::AlternateHorizontal, f[n][5]);
        b->setParameter(ParameterButton::AlternateVertical, f[n][2]);
        b->setEnableParameter(f[n][4], &power);
        b->enableSwitch()->value = 1;
        b->enableSwitch()->on = true;
    }
    gui::Button::Style xyFace(ui.get());
    xyFace.width = xyFace.height = 80;
    for (int i = 0; i < 3; ++i) xyFace.background[i] = xyFaces[i].get();
    auto* pad = new XYControllerButton(ui.get(), editor, &xyFace);
    pad->setBounds(346, 210, 80, 80);
    pad->parent = &root();
    pad->setPad(gui::Rect{8, 9, 72, 73});
    pad->setAxes(editor.index("XY Controller 1 Hor"), editor.index("XY Controller 1 Ver"));
    pad->marker = marker.get();
    editor.setValue(editor.index("XY Controller 1 Hor"), 0.4f);
    editor.setValue(editor.index("XY Controller 1 Ver"), -0.3f);

    // The pointer rests on the first dot, which lights up.
    const gui::Point first{14 + int(display->dot(0).centreX), 26 + int(display->dot(0).centreY)};
    move(first.x, first.y);
    EXPECT_EQ(display->activeMask(), 1);
    strip->showHints(*buttons[1]);
    root().invalidateAll();
    window().deliverPaint();
    const gui::Bitmap& frame = window().snapshot();
    ASSERT_EQ(frame.width(), 440);

    // The active dot, the inactive dot and the link point are drawn where the dots are.
    auto near = [](gui::Rgba a, gui::Rgba b) {
        return std::abs(a.red - b.red) < 40 && std::abs(a.green - b.green) < 40 && std::abs(a.blue - b.blue) < 40;
    };
    const gui::Point second{14 + int(display->dot(1).centreX), 26 + int(display->dot(1).centreY)};
    EXPECT_TRUE(near(frame.getPixel({first.x + 5, first.y}), activeDot->getPixel({activeDot->width() / 2 + 5, 9})));
    EXPECT_TRUE(near(frame.getPixel({second.x + 5, second.y}), dot->getPixel({dot->width() / 2 + 5, 9})));
    // The low pass's fill lies under its curve left of its cut-off, and nothing is drawn far
    // below the high pass's skirt at the left edge.
    const gui::Rgba underCurve = frame.getPixel({first.x - 60, 26 + 100});
    EXPECT_GT(underCurve.red, underCurve.blue);

    const std::filesystem::path out = std::filesystem::absolute("filter-panel.png");
    ASSERT_TRUE(writePng(frame, out.string()));
    std::cout << "filter panel picture: " << out.string() << "\n";
}

}  // namespace
}  // namespace interface_test
