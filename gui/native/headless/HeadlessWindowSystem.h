#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "gui/native/WindowSystem.h"
#include "gui/native/headless/HeadlessWindow.h"
#include "gui/native/headless/ManualClock.h"

namespace gui::native {

class HeadlessEditField;

// The window system for tests and tools: windows in memory, a manual clock that drives their
// timers, and scripted answers for menus, message boxes, choosers and edit fields. Unscripted
// modal calls answer as if the user cancelled. Everything records what it was asked. UI thread.
class HeadlessWindowSystem : public WindowSystem {
public:
    // A scripted menu choice: by entry number, or by the item's name (when label is not empty).
    struct MenuAnswer {
        int number = 0;
        std::string label;
    };
    struct MessageBoxCall {
        std::string text;
        std::string caption;
        MessageBoxStyle style;
    };

    HeadlessWindowSystem();
    ~HeadlessWindowSystem() override;

    std::unique_ptr<Window> createWindow(void* parent, const Rect& bounds, WindowEvents& events) override;
    int trackPopupMenu(Window& window, const std::vector<MenuEntry>& entries, Point at) override;
    MessageBoxResult messageBox(Window& window, const std::string& text, const std::string& caption,
                                MessageBoxStyle style) override;
    bool chooseFile(Window& window, const FileChooserRequest& request, std::string& path) override;
    bool chooseFolder(Window& window, const FolderChooserRequest& request, std::string& path) override;
    std::unique_ptr<EditField> createEditField(Window& window, const EditFieldSetup& setup,
                                               EditFieldEvents& events) override;
    void cancelPopupMenu(Window& window) override;
    // Recorded instead of launched; refused as the default would refuse them.
    bool openDocument(const std::string& path) override;
    bool openWebAddress(const std::string& address) override;
    std::unique_ptr<Bitmap> createBitmap() override;
    std::unique_ptr<Text> createText() override;
    const MillisecondClock& clock() const override { return clock_; }
    int doubleClickTime() const override { return doubleClickTime_; }
    int doubleClickDistance() const override { return doubleClickDistance_; }

    // Time: moves the clock, firing every timer that falls due on the way, in time order, and
    // delivering the repaints each tick asks for.
    void advance(uint32_t ms);
    ManualClock& manualClock() { return clock_; }
    // Delivers every pending repaint.
    void pump();

    // Scripts.
    void scriptMenuChoice(int number) { menuAnswers_.push_back({number, {}}); }
    void scriptMenuChoice(const std::string& label) { menuAnswers_.push_back({0, label}); }
    // Runs while the next menu is up, before it answers: what the application does meanwhile (a
    // cancelPopupMenu from there makes the menu answer 0 whatever was scripted).
    void whileNextMenuShown(std::function<void()> action) { menuAction_ = std::move(action); }
    void scriptMessageBox(MessageBoxResult result) { messageAnswers_.push_back(result); }
    // An empty optional cancels the chooser.
    void scriptFileChoice(std::optional<std::string> path) { fileAnswers_.push_back(std::move(path)); }
    void scriptFolderChoice(std::optional<std::string> path) { folderAnswers_.push_back(std::move(path)); }
    void setDoubleClick(int timeMs, int distance) {
        doubleClickTime_ = timeMs;
        doubleClickDistance_ = distance;
    }

    // Records.
    const std::vector<MenuEntry>& lastMenu() const { return lastMenu_; }
    Point lastMenuPoint() const { return lastMenuPoint_; }
    int menusShown() const { return menusShown_; }
    int menusCancelled() const { return menusCancelled_; }
    // What was handed to the desktop, in order.
    const std::vector<std::string>& openedDocuments() const { return openedDocuments_; }
    const std::vector<std::string>& openedWebAddresses() const { return openedWebAddresses_; }
    const std::vector<MessageBoxCall>& messageBoxes() const { return messageBoxes_; }
    const std::optional<FileChooserRequest>& lastFileRequest() const { return lastFileRequest_; }
    const std::optional<FolderChooserRequest>& lastFolderRequest() const { return lastFolderRequest_; }
    const std::vector<HeadlessWindow*>& windows() const { return windows_; }
    // The edit field shown last, while it exists.
    HeadlessEditField* editField() const { return editField_; }

    void windowDestroyed(HeadlessWindow* window);
    void editFieldDestroyed(HeadlessEditField* field);

private:
    ManualClock clock_;
    int doubleClickTime_ = 500;
    int doubleClickDistance_ = 4;
    std::vector<HeadlessWindow*> windows_;
    std::deque<MenuAnswer> menuAnswers_;
    std::deque<MessageBoxResult> messageAnswers_;
    std::deque<std::optional<std::string>> fileAnswers_;
    std::deque<std::optional<std::string>> folderAnswers_;
    std::vector<MenuEntry> lastMenu_;
    Point lastMenuPoint_;
    int menusShown_ = 0;
    int menusCancelled_ = 0;
    bool menuShown_ = false;
    bool menuCancelled_ = false;
    std::function<void()> menuAction_;
    std::vector<std::string> openedDocuments_;
    std::vector<std::string> openedWebAddresses_;
    std::vector<MessageBoxCall> messageBoxes_;
    std::optional<FileChooserRequest> lastFileRequest_;
    std::optional<FolderChooserRequest> lastFolderRequest_;
    HeadlessEditField* editField_ = nullptr;
};

// An edit field in memory. Tests type into it and press keys; a key the toolkit does not use
// reaches the field (Backspace = 8 removes the last character).
class HeadlessEditField : public EditField {
public:
    HeadlessEditField(HeadlessWindowSystem& system, const EditFieldSetup& setup, EditFieldEvents& events);
    ~HeadlessEditField() override;

    std::string text() const override { return text_; }
    void selectAll() override { allSelected_ = true; }
    void focus() override { focused_ = true; }

    // Typing replaces the selection when everything is selected.
    void type(const std::string& characters);
    void pressKey(int key, int flags = 0);

    const EditFieldSetup& setup() const { return setup_; }
    bool isAllSelected() const { return allSelected_; }
    bool hasFocus() const { return focused_; }

private:
    HeadlessWindowSystem& system_;
    EditFieldSetup setup_;
    EditFieldEvents& events_;
    std::string text_;
    bool allSelected_ = false;
    bool focused_ = false;
};

}  // namespace gui::native
