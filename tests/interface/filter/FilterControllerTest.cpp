// The filter display: dots on the frequency and peak axes, their clicks and drags through the
// editor's gestures, and the drawn responses.

#include <gtest/gtest.h>

#include <cmath>

#include "controls/FakeParameterEditor.h"
#include "gui/Bitmap.h"
#include "gui/ModifierMap.h"
#include "interface/filter/FilterController.h"
#include "streams/Resource.h"

namespace interface_test {
namespace {

using gui::native::KeyAlt;
using gui::native::KeyCtrl;
using gui::native::KeyShift;

struct Filter {
    int freq, peak, response, slope, enabled, pan, characteristic;
};

// A 300 x 200 display with a border of 4 at 20, 20 showing both filters: the plot is 292 pixels
// wide and the peak axis 96 pixels high.
class FilterControllerTest : public EditorFixture {
protected:
    void SetUp() override {
        gui::ModifierMap::useDefaults();
        for (int n = 0; n < 2; ++n) {
            const std::string p = "Filter " + std::to_string(n + 1);
            f[n] = {editor.index(p + " Freq"),  editor.index(p + " Peak"),    editor.index(p + " Response"),
                    editor.index(p + " Slope"), editor.index(p + " Enabled"), editor.index(p + " Pan"),
                    editor.index(p + " Characteristic")};
        }
        display = new FilterController(ui.get(), &editor);
        display->border = 4;
        display->setBounds(20, 20, 300, 200);
        display->parent = &root();
        display->maxDotsShown = 2;
        display->dotImage = dot.get();
        display->activeDotImage = activeDot.get();
        display->linkImage = link.get();
        display->activeLinkImage = activeLink.get();
    }
    // Sets both filters' positions and adds the dots.
    void place(float x1, float y1, float x2, float y2) {
        editor.setNormalized(f[0].freq, x1);
        editor.setNormalized(f[0].peak, y1);
        editor.setNormalized(f[1].freq, x2);
        editor.setNormalized(f[1].peak, y2);
        addDots();
    }
    void addDots() {
        for (const Filter& d : f) display->addDot(d.freq, d.peak, d.response, d.slope, d.enabled, d.pan, d.characteristic);
        editor.takeLog();
    }
    // A dot's centre in window coordinates.
    gui::Point at(int i) const {
        return {20 + int(std::lround(display->dot(i).centreX)), 20 + int(std::lround(display->dot(i).centreY))};
    }
    float cx(int i) const { return display->dot(i).centreX; }
    float cy(int i) const { return display->dot(i).centreY; }
    void dragBy(gui::Point from, int dx, int dy, int keys) { drag(from.x, from.y, from.x + dx, from.y + dy, 5, keys); }

    std::unique_ptr<gui::Bitmap> dot = image("DisplayPeak"), activeDot = image("DisplayPeakActive"),
                                 link = image("DisplayMid"), activeLink = image("DisplayMidActive");
    Filter f[2];
    FilterController* display = nullptr;
};

TEST_F(FilterControllerTest, GeometryAndGrid) {
    place(0.0f, 1.0f, 0.5f, 0.0f);
    EXPECT_FLOAT_EQ(cx(0), 4.0f);
    EXPECT_FLOAT_EQ(cy(0), 4.0f);  // peak 1 at the top border
    EXPECT_FLOAT_EQ(cx(1), 4.0f + 146.0f);
    EXPECT_FLOAT_EQ(cy(1), 100.0f);  // peak 0 in the middle
    EXPECT_EQ(display->linkPoint(), (gui::Point{77, 52}));
    // The axis spans the cut-off parameter's range: 20 Hz and 20 kHz at about 14.7 % and 86.2 %.
    EXPECT_NEAR((display->xForFrequency(20.0f) - 4.0f) / 291.0f, 0.147f, 0.001f);
    EXPECT_NEAR((display->xForFrequency(20000.0f) - 4.0f) / 291.0f, 0.862f, 0.001f);
}

TEST_F(FilterControllerTest, ModifierClicksCycleResponseAndSlopeWithoutDragging) {
    struct Case {
        int keys;
        int Filter::*parameter;
        float from, to;
        const char* name;
    };
    for (const Case c : {Case{KeyCtrl, &Filter::response, 2.0f, 0.0f, "Filter 1 Response"},
                         Case{KeyCtrl, &Filter::response, 0.0f, 1.0f, "Filter 1 Response"},
                         Case{KeyShift, &Filter::slope, 3.0f, 1.0f, "Filter 1 Slope"},
                         Case{KeyShift, &Filter::slope, 1.0f, 2.0f, "Filter 1 Slope"}}) {
        editor.setValue(f[0].*c.parameter, c.from);
        place(0.3f, 0.4f, 0.7f, 0.6f);
        dragBy(at(0), 25, -15, c.keys);
        EXPECT_EQ(editor.value(f[0].*c.parameter), c.to) << c.name;
        EXPECT_FLOAT_EQ(editor.normalized(f[0].freq), 0.3f) << "no drag";
        EXPECT_FLOAT_EQ(editor.normalized(f[0].peak), 0.4f) << "no drag";
        EXPECT_EQ(editor.takeLog(), (std::vector<std::string>{std::string("begin ") + c.name,
                                                              std::string("end ") + c.name}));
        display->parent = nullptr;  // a fresh display for the next case
        SetUp();
    }
}

TEST_F(FilterControllerTest, AltDragMovesBothDotsByTheSameAmount) {
    place(0.3f, 0.25f, 0.6f, 0.5f);
    dragBy(at(0), 29, -24, KeyAlt);
    EXPECT_NEAR(editor.normalized(f[0].freq), 0.3f + 29.0f / 292.0f, 1e-5f);
    EXPECT_NEAR(editor.normalized(f[1].freq), 0.6f + 29.0f / 292.0f, 1e-5f);
    EXPECT_NEAR(editor.normalized(f[0].peak), 0.5f, 1e-5f);
    EXPECT_NEAR(editor.normalized(f[1].peak), 0.75f, 1e-5f);
    EXPECT_EQ(editor.takeLog(),
              (std::vector<std::string>{"begin Filter 1 Freq", "begin Filter 1 Peak", "begin Filter 2 Freq",
                                        "begin Filter 2 Peak", "end Filter 1 Freq", "end Filter 1 Peak",
                                        "end Filter 2 Freq", "end Filter 2 Peak"}));
    // Without Alt only the grabbed dot moves, and only its gestures run.
    dragBy(at(1), -10, 0, 0);
    EXPECT_NEAR(editor.normalized(f[1].freq), 0.6f + 19.0f / 292.0f, 1e-5f);
    EXPECT_EQ(editor.takeLog(), (std::vector<std::string>{"begin Filter 2 Freq", "begin Filter 2 Peak",
                                                          "end Filter 2 Freq", "end Filter 2 Peak"}));
}

TEST_F(FilterControllerTest, AltCtrlMirrorsThroughTheLinkPointAndReleasingCtrlContinuesInParallel) {
    place(0.3f, 0.25f, 0.6f, 0.5f);
    const float lx = (cx(0) + cx(1)) / 2, ly = (cy(0) + cy(1)) / 2;
    const gui::Point start = at(0);
    const float gx = cx(0), gy = cy(0);
    press(start.x, start.y, KeyAlt | KeyCtrl);
    for (int i = 1; i <= 4; ++i) move(start.x - 5 * i, start.y + 3 * i, KeyAlt | KeyCtrl);
    EXPECT_NEAR(cx(1), 2 * lx - cx(0), 0.01f);
    EXPECT_NEAR(cy(1), 2 * ly - cy(0), 0.01f);
    EXPECT_NEAR(cx(0), gx - 20, 0.01f);
    EXPECT_NEAR(cy(0), gy + 12, 0.01f);
    // Ctrl goes up without movement: nothing jumps; then both move alike.
    const float x0 = cx(0), y0 = cy(0), x1 = cx(1), y1 = cy(1);
    move(start.x - 20, start.y + 12, KeyAlt);
    EXPECT_EQ(cx(0), x0);
    EXPECT_EQ(cy(0), y0);
    EXPECT_EQ(cx(1), x1);
    EXPECT_EQ(cy(1), y1);
    move(start.x - 10, start.y + 4, KeyAlt);
    release(start.x - 10, start.y + 4, KeyAlt);
    EXPECT_NEAR(cx(0) - x0, 10.0f, 0.01f);
    EXPECT_NEAR(cx(1) - x1, 10.0f, 0.01f);
    EXPECT_NEAR(cy(0) - y0, -8.0f, 0.01f);
    EXPECT_NEAR(cy(1) - y1, -8.0f, 0.01f);
    EXPECT_TRUE(editor.balanced());
}

TEST_F(FilterControllerTest, DragsAreClampedToThePlot) {
    place(0.3f, 0.5f, 0.7f, 0.5f);
    dragBy(at(0), -400, -300, 0);
    EXPECT_EQ(editor.normalized(f[0].freq), 0.0f);
    EXPECT_EQ(editor.text(f[0].freq), "4.812 Hz");
    EXPECT_EQ(editor.normalized(f[0].peak), 1.0f);
    dragBy(at(0), 600, 400, 0);
    EXPECT_EQ(editor.normalized(f[0].freq), 1.0f);
    EXPECT_EQ(editor.normalized(f[0].peak), 0.0f);
}

TEST_F(FilterControllerTest, AltCtrlOnTheLinkPointMovesTheLinkedDotsTogether) {
    // At the defaults both dots and the link point share one spot; the ring of the link image is
    // the link point, its hollow centre the first dot.
    addDots();
    gui::Point ring{-1, -1};
    for (int x = link->width() / 2; x >= 0 && ring.x < 0; --x)
        if (link->getPixel({x, link->height() / 2}).alpha > 64) ring = {x - link->width() / 2, 0};
    ASSERT_LT(ring.x, 0);
    const gui::Point spot = at(0);
    const float x0 = cx(0), y0 = cy(0);
    press(spot.x + ring.x, spot.y, KeyAlt | KeyCtrl);
    EXPECT_EQ(display->grabbedDot(), -1);
    EXPECT_EQ(display->activeMask(), display->linkMask());
    for (int i = 1; i <= 4; ++i) move(spot.x + ring.x - 10 * i, spot.y - 5 * i, KeyAlt | KeyCtrl);
    release(spot.x + ring.x - 40, spot.y - 20, KeyAlt | KeyCtrl);
    for (int i = 0; i < 2; ++i) {
        EXPECT_NEAR(cx(i), x0 - 40, 0.01f) << i;
        EXPECT_NEAR(cy(i), y0 - 20, 0.01f) << i;
    }
    EXPECT_TRUE(editor.balanced());
}

TEST_F(FilterControllerTest, MirroringCoincidentDotsStaysFinite) {
    place(0.5f, 0.5f, 0.5f, 0.5f);
    const gui::Point spot = at(0);
    ASSERT_LE(link->getPixel({link->width() / 2, link->height() / 2}).alpha, 64);
    press(spot.x, spot.y, KeyAlt | KeyCtrl);
    ASSERT_EQ(display->grabbedDot(), 0);
    for (int i = 1; i <= 4; ++i) move(spot.x + 5 * i, spot.y - 3 * i, KeyAlt | KeyCtrl);
    release(spot.x + 20, spot.y - 12, KeyAlt | KeyCtrl);
    for (int i = 0; i < 2; ++i) {
        EXPECT_TRUE(std::isfinite(editor.value(f[i].freq)) && std::isfinite(editor.value(f[i].peak))) << i;
    }
    // The second dot leaves the shared spot the opposite way.
    EXPECT_NEAR(editor.normalized(f[0].freq), 0.5f + 20.0f / 292.0f, 1e-5f);
    EXPECT_NEAR(editor.normalized(f[1].freq), 0.5f - 20.0f / 292.0f, 1e-5f);
    EXPECT_NEAR(editor.normalized(f[0].peak), 0.5f + 12.0f / 96.0f, 1e-5f);
    EXPECT_NEAR(editor.normalized(f[1].peak), 0.5f - 12.0f / 96.0f, 1e-5f);
}

TEST_F(FilterControllerTest, DrawnCurveIsTheEngineResponse) {
    // A low pass at 250 Hz, drawn on a scale deep enough to show its skirt: one to two octaves up
    // the drawing falls as the engine's filter does, steeper with every slope step.
    place(0.3f, 0.0f, 0.8f, 0.0f);
    display->topDecibels = 120.0f;
    const float pixelsPerDb = 96.0f / display->topDecibels;
    editor.setValue(f[0].response, 0.0f);
    editor.setNormalized(f[0].freq, (std::log2(250.0f) - display->low) / (display->high - display->low));
    FilterResponse reference;
    float previous = 0.0f;
    for (int slope = 1; slope <= 3; ++slope) {
        editor.setValue(f[0].slope, float(slope));
        display->refreshDots();
        const auto& curve = display->dot(0).curve;
        const FilterResponse::Setting s = display->dot(0).computedFor;
        EXPECT_NEAR(std::exp2(s.frequency), 250.0f, 0.5f);
        const float fall =
            (curve.value(display->xForFrequency(1000.0f)) - curve.value(display->xForFrequency(500.0f))) / pixelsPerDb;
        const float engineFall =
            reference.magnitudeDb(s, std::log2(500.0f)) - reference.magnitudeDb(s, std::log2(1000.0f));
        EXPECT_NEAR(fall, engineFall, 0.5f) << "slope " << slope;
        EXPECT_GT(fall, 1.7f * previous) << "slope " << slope;
        previous = fall;
        // Column by column the drawing is the response's level.
        for (float hz : {30.0f, 200.0f, 800.0f})
            EXPECT_NEAR(curve.value(display->xForFrequency(hz)),
                        display->yForDecibels(reference.magnitudeDb(s, std::log2(hz))), 0.6f)
                << hz;
    }
    EXPECT_GT(previous, 40.0f);
}

}  // namespace
}  // namespace interface_test
