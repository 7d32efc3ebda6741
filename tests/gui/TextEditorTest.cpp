#include <thread>

#include "GuiFixture.h"
#include "gui/Text.h"
#include "gui/TextEditor.h"

namespace gui::test {
namespace {

class TextEditorTest : public GuiFixture {
protected:
    TextEditor* editor = ui->createTextEditor();
    std::vector<std::string> reports;
    struct Recorder {
        std::vector<std::string>* out;
        void committed(void*) { out->push_back("committed"); }
        void ended(void*) { out->push_back("ended"); }
    } recorder{&reports};

    void SetUp() override {
        editor->committedEvent.addHandler(&recorder, &Recorder::committed);
        editor->endedEvent.addHandler(&recorder, &Recorder::ended);
        editor->text().text = "old";
        editor->rectangle = Rect{20, 20, 120, 40};
        editor->alignment = TextEditor::AlignRight;
    }
    native::HeadlessEditField& field() { return *system.editField(); }
};

TEST_F(TextEditorTest, BeginShowsTheFieldWithTextSelectedAndFocused) {
    editor->beginEditing();
    ASSERT_NE(system.editField(), nullptr);
    EXPECT_EQ(field().text(), "old");
    EXPECT_TRUE(field().isAllSelected());
    EXPECT_TRUE(field().hasFocus());
    EXPECT_EQ(field().setup().rect, (Rect{20, 20, 120, 40}));
    EXPECT_EQ(field().setup().alignment, TextEditor::AlignRight);
    ASSERT_NE(editor->clickCatcher(), nullptr);
    EXPECT_EQ(editor->clickCatcher()->bounds.get(), root().localRect());
    editor->beginEditing();  // ignored while editing
    EXPECT_EQ(root().children().size(), 1u);
}

TEST_F(TextEditorTest, EnterCommitsThenEndsAModalEdit) {
    editor->beginEditing();
    field().type("new");
    field().pressKey(TextEditor::KeyEnter);
    EXPECT_EQ(reports, (std::vector<std::string>{"committed"}));
    EXPECT_EQ(editor->text().text.get(), "new");
    EXPECT_TRUE(editor->committed);
    ui->processEvents();
    EXPECT_EQ(reports, (std::vector<std::string>{"committed", "ended"}));
    EXPECT_FALSE(editor->isEditing());
    EXPECT_EQ(system.editField(), nullptr);
    ui->processEvents();
    EXPECT_TRUE(root().children().empty());
}

TEST_F(TextEditorTest, EscapeEndsWithoutCommitting) {
    editor->beginEditing();
    field().type("typed");
    field().pressKey(TextEditor::KeyEscape);
    EXPECT_EQ(reports, (std::vector<std::string>{"ended"}));
    EXPECT_EQ(editor->text().text.get(), "old");
    EXPECT_FALSE(editor->committed);
}

TEST_F(TextEditorTest, ClickOutsideTheFieldCommitsAndEnds) {
    editor->beginEditing();
    field().type("clicked");
    window().moveMouse(150, 80);
    window().click(150, 80);
    EXPECT_EQ(reports, (std::vector<std::string>{"committed", "ended"}));
    EXPECT_EQ(editor->text().text.get(), "clicked");
    ui->processEvents();  // the catcher is deleted once its click has returned
    EXPECT_TRUE(root().children().empty());
}

TEST_F(TextEditorTest, NonModalEditIgnoresEscapeAndStaysOpenAfterEnter) {
    editor->modal = false;
    editor->beginEditing();
    EXPECT_EQ(editor->clickCatcher(), nullptr);
    field().pressKey(TextEditor::KeyEscape);
    field().type("x");
    field().pressKey(TextEditor::KeyEnter);
    ui->processEvents();
    EXPECT_EQ(reports, (std::vector<std::string>{"committed"}));
    EXPECT_TRUE(editor->isEditing());
    editor->endEditing();
    EXPECT_EQ(reports.back(), "ended");
}

TEST_F(TextEditorTest, CtrlASelectsAllAndWordWrappedTextTakesEnterAsText) {
    editor->text().wrapMode = Text::WordWrap;
    editor->beginEditing();
    field().type("abc");
    EXPECT_FALSE(field().isAllSelected());
    field().pressKey(TextEditor::KeyA, Control::Ctrl);
    EXPECT_TRUE(field().isAllSelected());
    field().pressKey(TextEditor::KeyEnter);
    EXPECT_TRUE(reports.empty());
}

TEST_F(TextEditorTest, CallsFromAnotherThreadAreIgnored) {
    std::thread other([&] { editor->beginEditing(); });
    other.join();
    EXPECT_FALSE(editor->isEditing());
    editor->beginEditing();
    std::thread closer([&] { editor->endEditing(); });
    closer.join();
    EXPECT_TRUE(editor->isEditing());
}

TEST_F(TextEditorTest, DestroyingTheInterfaceWhileEditingReportsNoEnd) {
    editor->beginEditing();
    ui.reset();
    EXPECT_TRUE(reports.empty());
    EXPECT_EQ(system.editField(), nullptr);
}

}  // namespace
}  // namespace gui::test
