#include <algorithm>
#include <array>
#include <optional>

#include "GuiFixture.h"
#include "gui/ImageLabel.h"
#include "gui/Label.h"
#include "gui/MultiLabel.h"
#include "gui/TextEditor.h"

namespace gui::test {
namespace {

class MultiLabelTest : public GuiFixture {};

TEST_F(MultiLabelTest, SegmentsShareTheWidthInsideTheMargins) {
    MultiLabel label(ui.get(), 3);
    label.setBounds(0, 0, 106, 20);
    label.setSegmentWidth(1, 40);
    // 100 pixels inside the margins: 40 fixed, the other two share 60.
    EXPECT_EQ(label.segmentRect(0), (Rect{3, 3, 33, 17}));
    EXPECT_EQ(label.segmentRect(1), (Rect{33, 3, 73, 17}));
    EXPECT_EQ(label.segmentRect(2), (Rect{73, 3, 103, 17}));
}

TEST_F(MultiLabelTest, TextIsDrawnAlignedAndClippedToItsSegment) {
    auto* label = new MultiLabel(ui.get(), 2);
    label->parent = &root();
    label->setBounds(0, 0, 200, 30);
    label->backgroundColour = Rgba{255, 255, 255, 255};
    label->text(0).text = "Left";
    label->text(1).text = "Right";
    label->setSegmentAlignment(1, MultiLabel::AlignRight);
    system.pump();
    const auto& frame = window().snapshot();
    auto inkIn = [&](int from, int to) {
        int ink = 0;
        for (int x = from; x < to; ++x)
            for (int y = 0; y < 30; ++y) ink += frame.colourAt(x, y).red < 128;
        return ink;
    };
    EXPECT_GT(inkIn(3, 30), 0);     // "Left" at the left of segment 0
    EXPECT_EQ(inkIn(60, 150), 0);   // nothing in the middle
    EXPECT_GT(inkIn(170, 197), 0);  // "Right" against the right margin
    EXPECT_EQ(inkIn(0, 3) + inkIn(197, 200), 0);
}

TEST_F(MultiLabelTest, EditableSegmentIsEditedInPlace) {
    auto* label = new Label(ui.get());
    label->parent = &root();
    label->setBounds(20, 10, 100, 20);
    label->text().text = "Preset";
    struct Counter {
        int edits = 0;
        void edited(void*) { ++edits; }
    } counter;
    label->editedEvent.addHandler(&counter, &Counter::edited);
    EXPECT_FALSE(label->beginEdit(0));  // not editable yet
    label->setSegmentEditable(0, true);
    ASSERT_TRUE(label->beginEdit(0));
    ASSERT_NE(system.editField(), nullptr);
    EXPECT_EQ(system.editField()->text(), "Preset");
    EXPECT_EQ(system.editField()->setup().rect, (Rect{23, 13, 117, 27}));
    system.editField()->type("Renamed");
    system.editField()->pressKey(TextEditor::KeyEnter);
    ui->processEvents();
    EXPECT_EQ(label->text().text.get(), "Renamed");
    EXPECT_EQ(counter.edits, 1);
    EXPECT_EQ(label->editedSegment(), 0);
    EXPECT_FALSE(label->isEditing());
}

TEST_F(MultiLabelTest, ShortenedTextStaysPutWhateverTheAlignment) {
    const Rgba white{255, 255, 255, 255};
    // The first and last inked columns of the label's text.
    auto inkSpan = [&](int alignment, int limit) {
        auto* label = new Label(ui.get());
        label->parent = &root();
        label->setBounds(0, 0, limit + 2 * MultiLabel::kMargin, 20);
        label->backgroundColour = white;
        label->text().text = "A preset name far too long for its box";
        label->text().maximumWidth = limit;
        label->text().wrapMode = Text::Ellipsis;
        label->setSegmentAlignment(0, alignment);
        system.pump();
        std::pair<int, int> span{-1, -1};
        for (int x = 0; x < label->width(); ++x)
            for (int y = 0; y < 20; ++y)
                if (window().snapshot().colourAt(x, y).red < 128) {
                    if (span.first < 0) span.first = x;
                    span.second = x;
                    break;
                }
        delete label;
        return span;
    };
    for (int limit : {37, 61, 83, 120}) {
        const std::pair<int, int> left = inkSpan(MultiLabel::AlignLeft, limit);
        EXPECT_GE(left.first, MultiLabel::kMargin);
        EXPECT_EQ(inkSpan(MultiLabel::AlignCentred, limit), left) << limit;
        EXPECT_EQ(inkSpan(MultiLabel::AlignRight, limit), left) << limit;
    }
}

TEST_F(MultiLabelTest, StackedLinesShareTheHeightAndKeepTheirOwnOpacity) {
    auto* label = new MultiLabel(ui.get(), 3, MultiLabel::Stacked);
    label->parent = &root();
    label->setBounds(10, 10, 120, 50);
    // 44 rows inside the margins, split without gaps.
    EXPECT_EQ(label->segmentRect(0), (Rect{3, 3, 117, 17}));
    EXPECT_EQ(label->segmentRect(1), (Rect{3, 17, 117, 32}));
    EXPECT_EQ(label->segmentRect(2), (Rect{3, 32, 117, 47}));
    label->backgroundColour = Rgba{255, 255, 255, 255};
    label->text(0).text = "Frequency";
    label->text(1).text = "(Alt) Peak";
    label->text(2).text = "1.20 kHz";
    // The darkest ink of a fully covered pixel over white is 255 minus the line's opacity.
    auto darkest = [&](int line) {
        const Rect r = label->segmentRect(line).movedBy(10, 10);
        int dark = 255;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                dark = std::min<int>(dark, window().snapshot().colourAt(x, y).red);
        return dark;
    };
    const std::array<int, 3> cases[] = {{255, 128, 255}, {128, 255, 128}, {255, 255, 0}};
    for (const auto& opacities : cases) {
        for (int line = 0; line < 3; ++line) label->setSegmentOpacity(line, opacities[line]);
        system.pump();
        for (int line = 0; line < 3; ++line) {
            const int expected = 255 - opacities[line];
            EXPECT_NEAR(darkest(line), expected, 30) << "line " << line << " at opacity " << opacities[line];
        }
    }
}

TEST_F(MultiLabelTest, DoubleClickOpensTheEditOnTheRelease) {
    struct Case {
        const char* name;
        bool editable;
        std::optional<Point> releaseAt;  // none: the platform cancels the press
        bool opens;
    };
    const Case cases[] = {
        {"released over the label", true, Point{50, 20}, true},
        {"released beside it", true, Point{150, 60}, false},
        {"press cancelled", true, std::nullopt, false},
        {"not editable", false, Point{50, 20}, false},
    };
    for (const Case& c : cases) {
        auto* label = new Label(ui.get());
        label->parent = &root();
        label->setBounds(20, 10, 100, 20);
        label->text().text = "120.0";
        label->setSegmentEditable(0, c.editable);
        window().click(50, 20);
        window().pressButton(native::LeftButton, 50, 20);  // the second press of a double-click
        EXPECT_EQ(system.editField(), nullptr) << c.name;
        EXPECT_EQ(label->pendingEdit(), c.editable ? 0 : -1) << c.name;
        if (c.releaseAt) {
            window().moveMouse(c.releaseAt->x, c.releaseAt->y, native::ButtonLeft);
            window().releaseButton(native::LeftButton, c.releaseAt->x, c.releaseAt->y);
        } else {
            window().loseCapture();
        }
        ASSERT_EQ(system.editField() != nullptr, c.opens) << c.name;
        EXPECT_EQ(label->pendingEdit(), -1) << c.name;
        if (c.opens) {
            EXPECT_EQ(system.editField()->text(), "120.0");
            system.editField()->pressKey(TextEditor::KeyEscape);
        }
        // Nothing is left pending for a later single click.
        system.advance(1000);
        window().click(50, 20);
        EXPECT_EQ(system.editField(), nullptr) << c.name;
        delete label;
        system.advance(1000);
    }
}

TEST_F(MultiLabelTest, ImageLabelWrapsItsTextInsideTheMargins) {
    auto* label = new ImageLabel(ui.get());
    label->parent = &root();
    label->setBounds(0, 0, 80, 60);
    label->text().text = "a hint text that needs several lines";
    EXPECT_EQ(label->text().maximumWidth.get(), 70);
    EXPECT_EQ(label->text().wrapMode.get(), Text::WordWrap);
    EXPECT_GT(label->text().lines().size(), 1u);
}

}  // namespace
}  // namespace gui::test
