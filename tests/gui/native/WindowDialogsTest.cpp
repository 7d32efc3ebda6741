#include <gtest/gtest.h>

#include "GuiFixture.h"
#include "gui/OpenSaveDialog.h"
#include "gui/SelectFolderDialog.h"
#include "gui/native/WindowOpenSaveDialog.h"

namespace gui::test {
namespace {

class WindowDialogsTest : public GuiFixture {};

TEST_F(WindowDialogsTest, MessageBoxCaptionStyleAndResult) {
    struct Case {
        int buttons;
        native::MessageBoxResult answer;
        const char* caption;
        native::MessageBoxStyle style;
        int result;
    };
    const Case cases[] = {
        {3, native::ResultCancel, "Confirmation", native::OkCancel, 1},
        {3, native::ResultOk, "Confirmation", native::OkCancel, 0},
        {1, native::ResultOk, "Information", native::OkOnly, 0},
        {1, native::ResultCancel, "Information", native::OkOnly, 0},  // closing an OK box is OK
    };
    for (const Case& c : cases) {
        system.scriptMessageBox(c.answer);
        EXPECT_EQ(ui->showMessage("Overwrite?", c.buttons, "ignored title"), c.result);
        const auto& call = system.messageBoxes().back();
        EXPECT_EQ(call.text, "Overwrite?");
        EXPECT_EQ(call.caption, c.caption);
        EXPECT_EQ(call.style, c.style);
    }
}

TEST_F(WindowDialogsTest, FileChooserPassesTheRequestAndKeepsPathWhenCancelled) {
    auto dialog = ui->createSaveDialog();
    dialog->filter = "Presets|*.bxp|All files|*";
    dialog->initialFolder = "/presets/";
    dialog->defaultExtension = "bxp";
    dialog->path = "Mine.bxp";
    system.scriptFileChoice(std::nullopt);
    EXPECT_FALSE(dialog->run());
    EXPECT_EQ(dialog->path.get(), "Mine.bxp");
    const auto& request = *system.lastFileRequest();
    EXPECT_TRUE(request.save);
    EXPECT_TRUE(request.confirmOverwrite);
    ASSERT_EQ(request.filters.size(), 2u);
    EXPECT_EQ(request.filters[1].description, "All files");
    EXPECT_EQ(request.filters[1].pattern, "*");
    EXPECT_EQ(request.initialFolder, "/presets/");
    EXPECT_EQ(request.initialName, "Mine.bxp");
    EXPECT_EQ(request.defaultExtension, "bxp");

    system.scriptFileChoice("/presets/Other.bxp");
    EXPECT_TRUE(dialog->run());
    EXPECT_EQ(dialog->path.get(), "/presets/Other.bxp");

    auto open = ui->createOpenDialog();
    system.scriptFileChoice("/a");
    EXPECT_TRUE(open->run());
    EXPECT_FALSE(system.lastFileRequest()->save);
    EXPECT_FALSE(system.lastFileRequest()->confirmOverwrite);
}

TEST(WindowOpenSaveDialogTest, FilterStringSplitsIntoPairs) {
    using native::FileFilter;
    auto f = WindowOpenSaveDialog::parseFilter("A|*.a|B|*.b;*.c|Dangling");
    ASSERT_EQ(f.size(), 2u);
    EXPECT_EQ(f[1].pattern, "*.b;*.c");
    EXPECT_TRUE(WindowOpenSaveDialog::parseFilter("").empty());
    EXPECT_EQ(WindowOpenSaveDialog::parseFilter("|*").size(), 1u);
}

TEST_F(WindowDialogsTest, FolderChooserTitleAndSeparators) {
    auto dialog = ui->createSelectFolderDialog();
    dialog->title = "Choose the preset folder";
    dialog->path = "/home/user/Presets/";
    system.scriptFolderChoice(std::nullopt);
    EXPECT_FALSE(dialog->run());
    EXPECT_EQ(system.lastFolderRequest()->title, "Choose the preset folder:");
    EXPECT_EQ(system.lastFolderRequest()->initialFolder, "/home/user/Presets");
    EXPECT_EQ(dialog->path.get(), "/home/user/Presets/");

    dialog->title = "Folder:";
    system.scriptFolderChoice("/home/user/Other");
    EXPECT_TRUE(dialog->run());
    EXPECT_EQ(system.lastFolderRequest()->title, "Folder:");
    EXPECT_EQ(dialog->path.get(), "/home/user/Other/");
}

}  // namespace
}  // namespace gui::test
