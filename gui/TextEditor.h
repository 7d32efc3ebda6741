#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/NotifyEvent.h"
#include "core/Property.h"
#include "gui/Component.h"
#include "gui/Rect.h"

namespace gui {

class Control;
class Text;

// An in-place single-line text editor over the editor window. Set the text object's text and
// font, the rectangle, alignment and modal flag, then beginEditing; committedEvent reports a
// confirmed text (now in the text object), endedEvent the end of editing. A modal edit lays a
// click catcher over the window: a click outside the edit field commits and ends the edit.
// UI thread; calls from other threads are ignored.
class TextEditor : public Component {
public:
    enum Alignment { AlignLeft = 0, AlignCentred = 1, AlignRight = 2 };
    // Keys the platform edit field reports.
    enum Key { KeyTab = 9, KeyEnter = 13, KeyEscape = 27, KeyA = 'A' };

    explicit TextEditor(UserInterface* ui);
    ~TextEditor() override;

    Property<int> alignment{this, AlignLeft};
    // The edit field's rectangle in window coordinates.
    Property<Rect> rectangle{this};
    Property<bool> committed{this, false};
    Property<bool> modal{this, true};

    NotifyEvent endedEvent;
    NotifyEvent committedEvent;

    Text& text() { return *text_; }
    bool isEditing() const { return editing_; }
    Control* clickCatcher() const { return clickCatcher_; }

    void beginEditing();
    void endEditing();
    // Copies the edit field's text into the text object and reports it.
    void commit();
    // A key pressed in the edit field (flags as for mouse events); true when the editor used it.
    bool keyPressed(int key, int flags);

    void deferredCall(int code, int value) override;
    void linkRemoved(Component* component) override;

protected:
    virtual void beginPlatformEdit() = 0;
    virtual void endPlatformEdit() = 0;
    virtual void selectAll() = 0;
    virtual std::string readText() = 0;

private:
    enum DeferredCode { EndEditCode = 1, RetireCode = 2 };
    void catcherClicked(void*);
    void retireCatcher();

    bool editing_ = false;
    Control* clickCatcher_ = nullptr;
    // Catchers detached while their own click handler ran; deleted on the next deferred call.
    std::vector<Control*> retired_;
    std::unique_ptr<Text> text_;
};

}  // namespace gui
