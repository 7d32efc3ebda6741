// The toolkit's picture controls, a menu, a message box and an edit field in one window.

#include <cstdio>
#include <memory>

#include "HostedTree.h"
#include "gui/Image.h"
#include "gui/Label.h"
#include "gui/MenuItem.h"
#include "gui/PopupMenu.h"
#include "gui/RootControl.h"
#include "gui/Shape.h"
#include "gui/Text.h"
#include "gui/TextEditor.h"
#include "gui/native/WindowInterface.h"
#include "streams/Resource.h"

namespace {

using namespace gui;

// A shape that runs an action when clicked.
class ActionShape : public Shape {
public:
    ActionShape(UserInterface* ui, std::function<void(ActionShape&)> action) : Shape(ui), action_(std::move(action)) {}
    void clicked() override {
        Shape::clicked();
        action_(*this);
    }

private:
    std::function<void(ActionShape&)> action_;
};

Label* label(WindowInterface& ui, Control* parent, Rect bounds, const std::string& text, Rgba colour, int size = 9) {
    auto* l = new Label(&ui);
    l->bounds = bounds;
    l->text().text = text;
    l->text().size = size;
    l->text().colour = colour;
    l->parent = parent;
    return l;
}

ActionShape* button(WindowInterface& ui, Rect bounds, const std::string& text, std::function<void(ActionShape&)> action) {
    auto* b = new ActionShape(&ui, std::move(action));
    b->bounds = bounds;
    b->borderWidth = 1;
    b->borderColour = Rgba{20, 24, 30, 255};
    b->fillColour = Rgba{70, 90, 110, 255};
    b->parent = ui.getRootControl();
    // The caption lets the clicks through to the button.
    label(ui, b, Rect{4, 0, bounds.width() - 4, bounds.height()}, text, Rgba{235, 240, 245, 255})->interactive = false;
    return b;
}

std::shared_ptr<void> buildDemo(WindowInterface& ui) {
    RootControl& root = *ui.getRootControl();
    if (resourceExists("Background")) {
        auto* background = new Image(&ui);
        background->bitmap().load(*openResource("Background"));
        background->parent = &root;
    }
    auto* status = label(ui, &root, Rect{12, 290, 420, 310}, "Click a button", Rgba{230, 230, 230, 255});

    auto menu = std::make_shared<std::unique_ptr<PopupMenu>>(ui.createPopupMenu());
    for (const char* name : {"Copy", "Paste", "-", "Rock & Roll"}) {
        auto* item = new MenuItem(name);
        (*menu)->addItem(item);
    }
    auto* more = new MenuItem("More");
    more->addItem(new MenuItem("First"));
    more->addItem(new MenuItem("Second"));
    (*menu)->addItem(more);
    struct Reporter {
        Label* status;
        void chosen(void* sender) { status->text().text = "Chosen: " + static_cast<MenuItem*>(sender)->name; }
    };
    static Reporter reporter;
    reporter.status = status;
    for (int i = 0; i < (*menu)->itemCount(); ++i) {
        MenuItem* item = (*menu)->itemAt(i);
        item->chosenEvent.addHandler(&reporter, &Reporter::chosen);
        for (int j = 0; j < item->itemCount(); ++j) item->itemAt(j)->chosenEvent.addHandler(&reporter, &Reporter::chosen);
    }
    button(ui, Rect{12, 50, 112, 74}, "Menu", [menu](ActionShape& b) {
        (*menu)->show(b.bounds.get());
    });
    button(ui, Rect{124, 50, 224, 74}, "Message", [&ui, status](ActionShape&) {
        const int answer = ui.showMessage("Replace the current preset?", 3);
        status->text().text = answer == 0 ? "Confirmed" : "Cancelled";
    });
    auto* editor = ui.createTextEditor();
    button(ui, Rect{236, 50, 336, 74}, "Rename", [editor, status](ActionShape&) {
        editor->text().text = status->text().text.get();
        editor->rectangle = Rect{12, 288, 300, 308};
        editor->beginEditing();
    });
    struct Committer {
        TextEditor* editor;
        Label* status;
        void committed(void*) { status->text().text = editor->text().text.get(); }
    };
    static Committer committer;
    committer = {editor, status};
    editor->committedEvent.addHandler(&committer, &Committer::committed);

    // Shapes with and without transparency over the background.
    const Rgba fills[] = {{220, 80, 60, 255}, {60, 160, 220, 140}, {240, 220, 60, 90}};
    for (int i = 0; i < 3; ++i) {
        auto* s = new Shape(&ui);
        s->bounds = Rect::ofSize(360 + i * 40, 40 + i * 30, 120, 90);
        s->borderWidth = 2;
        s->borderColour = Rgba{15, 15, 20, 255};
        s->fillColour = fills[i];
        s->parent = &root;
    }
    label(ui, &root, Rect{12, 100, 330, 130}, "Lorimane toolkit in a real window", Rgba{255, 255, 255, 255}, 12);
    return nullptr;
}

HostedTreeRegistration demo({"demo", "images, shapes, labels, a menu, a message box and an edit field", 640, 320,
                             buildDemo});

}  // namespace
