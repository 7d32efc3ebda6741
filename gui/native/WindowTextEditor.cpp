#include "gui/native/WindowTextEditor.h"

#include "gui/Text.h"
#include "gui/native/WindowInterface.h"

namespace gui {

WindowTextEditor::WindowTextEditor(WindowInterface& ui) : TextEditor(&ui), windowUi_(ui) {}

WindowTextEditor::~WindowTextEditor() {
    endEditing();
    field_.reset();
}

void WindowTextEditor::beginPlatformEdit() {
    native::EditFieldSetup setup;
    setup.rect = rectangle;
    setup.text = text().text;
    setup.alignment = alignment;
    setup.font = &text();
    field_ = windowUi_.windowSystem().createEditField(windowUi_.window(), setup, *this);
    if (!field_) return;
    field_->focus();
    field_->selectAll();
}

void WindowTextEditor::endPlatformEdit() {
    field_.reset();
}

void WindowTextEditor::selectAll() {
    if (field_) field_->selectAll();
}

std::string WindowTextEditor::readText() {
    return field_ ? field_->text() : text().text.get();
}

bool WindowTextEditor::editKeyPressed(int key, int flags) {
    // Tab never reaches the single-line field; Enter only as a commit.
    const bool used = keyPressed(key, flags);
    return used || key == KeyTab || key == KeyEnter;
}

}  // namespace gui
