#include "gui/native/x11/X11WindowSystem.h"

namespace gui::native {

namespace {
class PendingEditField : public EditField {
public:
    explicit PendingEditField(std::string text) : text_(std::move(text)) {}
    std::string text() const override { return text_; }
    void selectAll() override {}
    void focus() override {}

private:
    std::string text_;
};
}  // namespace

int X11WindowSystem::trackPopupMenu(Window&, const std::vector<MenuEntry>&, Point) {
    return 0;
}

MessageBoxResult X11WindowSystem::messageBox(Window&, const std::string&, const std::string&, MessageBoxStyle style) {
    return style == OkOnly ? ResultOk : ResultCancel;
}

bool X11WindowSystem::chooseFile(Window&, const FileChooserRequest&, std::string&) {
    return false;
}

bool X11WindowSystem::chooseFolder(Window&, const FolderChooserRequest&, std::string&) {
    return false;
}

std::unique_ptr<EditField> X11WindowSystem::createEditField(Window&, const EditFieldSetup& setup, EditFieldEvents&) {
    return std::make_unique<PendingEditField>(setup.text);
}

}  // namespace gui::native
