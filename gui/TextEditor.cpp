#include "gui/TextEditor.h"

#include <algorithm>

#include "gui/Control.h"
#include "gui/RootControl.h"
#include "gui/Text.h"
#include "gui/UserInterface.h"

namespace gui {

TextEditor::TextEditor(UserInterface* ui) : Component(ui), text_(ui->createText()) {}

TextEditor::~TextEditor() {
    UserInterface* ui = userInterface();
    const bool destroying = ui && ui->isDestroying();
    // While the user interface goes, it deletes the catchers itself.
    if (!destroying) {
        delete clickCatcher_;
        for (Control* c : retired_) delete c;
    }
}

void TextEditor::beginEditing() {
    UserInterface* ui = userInterface();
    if (editing_ || !ui || !ui->isUiThread()) return;
    if (modal) {
        if (RootControl* root = ui->getRootControl()) {
            clickCatcher_ = new Control(ui);
            clickCatcher_->bounds = root->localRect();
            clickCatcher_->parent = root;
            clickCatcher_->clickEvent.addHandler(this, &TextEditor::catcherClicked);
            link(clickCatcher_);
        }
    }
    committed = false;
    editing_ = true;
    beginPlatformEdit();
}

void TextEditor::endEditing() {
    UserInterface* ui = userInterface();
    if (!editing_ || !ui || !ui->isUiThread()) return;
    endPlatformEdit();
    retireCatcher();
    editing_ = false;
    if (!ui->isDestroying()) endedEvent.fire(this);
}

void TextEditor::retireCatcher() {
    if (!clickCatcher_) return;
    Control* c = clickCatcher_;
    clickCatcher_ = nullptr;
    c->parent = nullptr;
    retired_.push_back(c);
    userInterface()->postDeferred(this, RetireCode, 0);
}

void TextEditor::commit() {
    text_->text = readText();
    committed = true;
    committedEvent.fire(this);
}

bool TextEditor::keyPressed(int key, int flags) {
    if (!editing_) return false;
    switch (key) {
        case KeyEnter:
            if (text_->wrapMode == 2) return false;
            commit();
            if (modal && committed) userInterface()->postDeferred(this, EndEditCode, 0);
            return true;
        case KeyEscape:
            if (!modal) return false;
            endEditing();
            return true;
        case KeyA:
            if (!(flags & 4)) return false;
            selectAll();
            return true;
        default:
            return false;
    }
}

void TextEditor::deferredCall(int code, int) {
    if (code == EndEditCode) endEditing();
    if (code == RetireCode) {
        std::vector<Control*> done;
        done.swap(retired_);
        for (Control* c : done) delete c;
    }
}

void TextEditor::linkRemoved(Component* component) {
    if (component == clickCatcher_) clickCatcher_ = nullptr;
    std::erase(retired_, component);
}

void TextEditor::catcherClicked(void*) {
    commit();
    endEditing();
}

}  // namespace gui
