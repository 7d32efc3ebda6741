#pragma once

#include <deque>
#include <iosfwd>
#include <optional>
#include <string>

#include "gui/Bitmap.h"
#include "gui/Text.h"
#include "gui/native/WindowSystem.h"
#include "gui/native/headless/HeadlessWindowSystem.h"

// A window system over another (the headless one or a display's) whose menus, message boxes and
// choosers are answered from a script instead of the user. It prints what each shows, keeps the
// events of the first window it creates (the editor's) so a script can send input to it, makes
// edit fields in memory (the headless system's, which a script types into) and passes everything
// else to the system underneath. UI thread.
class ScriptedWindowSystem : public gui::native::WindowSystem {
public:
    // fields may be inner itself.
    ScriptedWindowSystem(gui::native::WindowSystem& inner, gui::native::HeadlessWindowSystem& fields, std::ostream& out)
        : inner_(inner), fields_(fields), out_(out) {}

    // Answers for the next menu (an item path "A>B", empty: cancel), box (true: OK), file or
    // folder chooser (empty: cancel). line is where the answer was written, for failures.
    void answerMenu(const std::string& path, int line) { menus_.push_back({path, line}); }
    void answerBox(bool ok) { boxes_.push_back(ok); }
    void answerFile(std::optional<std::string> path) { files_.push_back(std::move(path)); }
    void answerFolder(std::optional<std::string> path) { folders_.push_back(std::move(path)); }

    // From now on the user answers and types on the system underneath (an interactive session).
    void letUserAnswer() { userAnswers_ = true; }

    // A scripted menu answer that named no item of the menu shown: its message and line, once.
    bool takeFailure(std::string& message, int& line);

    // The events of the editor's window; null before it exists.
    gui::native::WindowEvents* editorEvents() const { return events_; }
    gui::native::WindowSystem& inner() const { return inner_; }

    std::unique_ptr<gui::native::Window> createWindow(void* parent, const gui::Rect& bounds,
                                                      gui::native::WindowEvents& events) override;
    int trackPopupMenu(gui::native::Window& window, const std::vector<gui::native::MenuEntry>& entries,
                       gui::Point at) override;
    gui::native::MessageBoxResult messageBox(gui::native::Window& window, const std::string& text,
                                             const std::string& caption, gui::native::MessageBoxStyle style) override;
    bool chooseFile(gui::native::Window& window, const gui::native::FileChooserRequest& request,
                    std::string& path) override;
    bool chooseFolder(gui::native::Window& window, const gui::native::FolderChooserRequest& request,
                      std::string& path) override;
    std::unique_ptr<gui::native::EditField> createEditField(gui::native::Window& window,
                                                            const gui::native::EditFieldSetup& setup,
                                                            gui::native::EditFieldEvents& events) override;
    // The edit field shown last, while it exists.
    gui::native::HeadlessEditField* editField() const;
    void cancelPopupMenu(gui::native::Window& window) override { inner_.cancelPopupMenu(window); }
    bool openDocument(const std::string& path) override { return inner_.openDocument(path); }
    bool openWebAddress(const std::string& address) override { return inner_.openWebAddress(address); }
    std::unique_ptr<gui::Bitmap> createBitmap() override { return inner_.createBitmap(); }
    std::unique_ptr<gui::Text> createText() override { return inner_.createText(); }
    const MillisecondClock& clock() const override { return inner_.clock(); }
    int doubleClickTime() const override { return inner_.doubleClickTime(); }
    int doubleClickDistance() const override { return inner_.doubleClickDistance(); }

private:
    struct MenuAnswer {
        std::string path;
        int line;
    };

    // A chooser's answer: false when cancelled or unanswered.
    bool takeChoice(std::deque<std::optional<std::string>>& answers, std::string& path);

    gui::native::WindowSystem& inner_;
    gui::native::HeadlessWindowSystem& fields_;
    std::ostream& out_;
    gui::native::WindowEvents* events_ = nullptr;
    std::deque<MenuAnswer> menus_;
    std::deque<bool> boxes_;
    std::deque<std::optional<std::string>> files_;
    std::deque<std::optional<std::string>> folders_;
    std::string failure_;
    int failureLine_ = 0;
    bool userAnswers_ = false;
};
