#pragma once

#include <memory>

#include "gui/TextEditor.h"
#include "gui/native/EditField.h"

namespace gui {

class WindowInterface;

// The text editor over the window system's native edit field. UI thread.
class WindowTextEditor : public TextEditor, private native::EditFieldEvents {
public:
    explicit WindowTextEditor(WindowInterface& ui);
    ~WindowTextEditor() override;

    native::EditField* editField() const { return field_.get(); }

protected:
    void beginPlatformEdit() override;
    void endPlatformEdit() override;
    void selectAll() override;
    std::string readText() override;

private:
    bool editKeyPressed(int key, int flags) override;

    WindowInterface& windowUi_;
    std::unique_ptr<native::EditField> field_;
};

}  // namespace gui
