#include "SourceEditorFixture.h"
#include "engine/LorimanePlugin.h"
#include "gui/TextEditor.h"
#include "interface/sources/FloatValueLabel.h"

namespace sources::test {
namespace {

class FloatValueLabelTest : public SourceEditorFixture {
protected:
    void SetUp() override {
        time = dynamic_cast<LorimanePlugin&>(*plugin).delays.set(0).time.index();
        label = new FloatValueLabel(ui.get(), editor);
        label->setBounds(20, 20, 60, 18);
        label->parent = &root();
        label->bind(time);
    }
    float displayed() {
        AbstractPluginParameter& p = *editor.parameter(time);
        return p.plainToDisplay(p.value());
    }
    void pressAt(int keys = 0) { window().pressButton(gui::native::LeftButton, 40, 28, keys); }
    void releaseAt() { window().releaseButton(gui::native::LeftButton, 40, 28); }

    int time = -1;
    FloatValueLabel* label = nullptr;
};

TEST_F(FloatValueLabelTest, AQuickClickArmsTapAndTheNextPressSetsTheTimeBetween) {
    EXPECT_EQ(label->text().text.get(), "350.0");
    window().moveMouse(40, 28);
    pressAt();
    system.advance(60);
    releaseAt();
    EXPECT_EQ(label->text().text.get(), "TAP");

    system.advance(440);
    pressAt();
    EXPECT_NEAR(displayed(), 500.0f, 0.5f);
    releaseAt();
    EXPECT_FALSE(label->isTapArmed());
    EXPECT_EQ(label->text().text.get(), "500.0");

    // Armed but never tapped: after five seconds the number is back.
    system.advance(600);
    pressAt();
    system.advance(60);
    releaseAt();
    EXPECT_TRUE(label->isTapArmed());
    system.advance(FloatValueLabel::kTapTimeoutMs);
    EXPECT_FALSE(label->isTapArmed());
    EXPECT_EQ(label->text().text.get(), "500.0");
    EXPECT_NEAR(displayed(), 500.0f, 0.5f);
    EXPECT_TRUE(editor.allGesturesEnded());
}

TEST_F(FloatValueLabelTest, DraggingStepsTheDisplayValueAndArmsNoTap) {
    // Up 20 pixels: ten steps of one millisecond; with Shift a tenth of that.
    drag({40, 28}, {40, 8});
    EXPECT_NEAR(displayed(), 360.0f, 0.05f);
    // A quick drag is no click: the next press drags again rather than tapping.
    EXPECT_FALSE(label->isTapArmed());
    drag({40, 28}, {40, 8}, kShift);
    EXPECT_NEAR(displayed(), 361.0f, 0.05f);

    // Dragging past the range stops at its end.
    editor.setPlain(time, 0.0f);
    drag({40, 28}, {40, 200});
    EXPECT_EQ(editor.value(time), 0.0f);
    EXPECT_TRUE(editor.allGesturesEnded());
}

TEST_F(FloatValueLabelTest, WithoutTapADoubleClickTypesTheValue) {
    label->tapImageIndex = -1;
    auto type = [&](const std::string& text) {
        system.advance(600);
        window().moveMouse(40, 28);
        pressAt();
        releaseAt();
        pressAt();
        releaseAt();
        ASSERT_NE(system.editField(), nullptr);
        system.editField()->type(text);
        system.editField()->pressKey(gui::TextEditor::KeyEnter);
        ui->processEvents();
    };
    type("1200");
    EXPECT_NEAR(displayed(), 1200.0f, 0.05f);
    EXPECT_EQ(label->text().text.get(), "1200.0");
    EXPECT_FALSE(label->isTapArmed());
    // Text that is no number changes nothing.
    type("soon");
    EXPECT_NEAR(displayed(), 1200.0f, 0.05f);
    EXPECT_EQ(label->text().text.get(), "1200.0");
    EXPECT_TRUE(editor.allGesturesEnded());
}

}  // namespace
}  // namespace sources::test
