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
