#include "gui/native/headless/HeadlessWindowSystem.h"

#include <algorithm>
#include <utility>

#include "gui/native/headless/HeadlessBitmap.h"
#include "gui/Text.h"

namespace gui::native {

HeadlessWindowSystem::HeadlessWindowSystem() = default;
HeadlessWindowSystem::~HeadlessWindowSystem() = default;

std::unique_ptr<Window> HeadlessWindowSystem::createWindow(void*, const Rect& bounds, WindowEvents& events) {
    auto window = std::make_unique<HeadlessWindow>(*this, bounds, events);
    windows_.push_back(window.get());
    return window;
}

void HeadlessWindowSystem::windowDestroyed(HeadlessWindow* window) {
    std::erase(windows_, window);
}

void HeadlessWindowSystem::editFieldDestroyed(HeadlessEditField* field) {
    if (editField_ == field) editField_ = nullptr;
}

int HeadlessWindowSystem::trackPopupMenu(Window&, const std::vector<MenuEntry>& entries, Point at) {
    lastMenu_ = entries;
    lastMenuPoint_ = at;
    ++menusShown_;
    menuShown_ = true;
    menuCancelled_ = false;
    if (std::function<void()> action = std::exchange(menuAction_, nullptr)) action();
    menuShown_ = false;
    if (menuAnswers_.empty()) return 0;
    const MenuAnswer answer = menuAnswers_.front();
    menuAnswers_.pop_front();
    if (menuCancelled_) return 0;
    if (answer.label.empty()) return answer.number;
    for (const MenuEntry& e : entries) {
        std::string shown;
        for (size_t i = 0; i < e.text.size(); ++i) {
            shown += e.text[i];
            if (e.text[i] == '&' && i + 1 < e.text.size() && e.text[i + 1] == '&') ++i;
        }
        if (!e.separator && !e.submenu && e.enabled && shown == answer.label) return e.number;
    }
    return 0;
}

MessageBoxResult HeadlessWindowSystem::messageBox(Window&, const std::string& text,
                                                  const std::string& caption, MessageBoxStyle style) {
    messageBoxes_.push_back({text, caption, style});
    if (messageAnswers_.empty()) return style == OkOnly ? ResultOk : ResultCancel;
    const MessageBoxResult r = messageAnswers_.front();
    messageAnswers_.pop_front();
    return style == OkOnly ? ResultOk : r;
}

bool HeadlessWindowSystem::chooseFile(Window&, const FileChooserRequest& request, std::string& path) {
    lastFileRequest_ = request;
    if (fileAnswers_.empty()) return false;
    std::optional<std::string> answer = fileAnswers_.front();
    fileAnswers_.pop_front();
    if (!answer) return false;
    path = *answer;
    return true;
}

bool HeadlessWindowSystem::chooseFolder(Window&, const FolderChooserRequest& request, std::string& path) {
    lastFolderRequest_ = request;
    if (folderAnswers_.empty()) return false;
    std::optional<std::string> answer = folderAnswers_.front();
    folderAnswers_.pop_front();
    if (!answer) return false;
    path = *answer;
    return true;
}

std::unique_ptr<EditField> HeadlessWindowSystem::createEditField(Window&, const EditFieldSetup& setup,
                                                                 EditFieldEvents& events) {
    auto field = std::make_unique<HeadlessEditField>(*this, setup, events);
    editField_ = field.get();
    return field;
}

void HeadlessWindowSystem::cancelPopupMenu(Window&) {
    if (!menuShown_ || menuCancelled_) return;
    menuCancelled_ = true;
    ++menusCancelled_;
}

bool HeadlessWindowSystem::openDocument(const std::string& path) {
    const std::string document = openableDocument(path);
    if (document.empty()) return false;
    openedDocuments_.push_back(document);
    return true;
}

bool HeadlessWindowSystem::openWebAddress(const std::string& address) {
    if (!isWebAddress(address)) return false;
    openedWebAddresses_.push_back(address);
    return true;
}

std::unique_ptr<Bitmap> HeadlessWindowSystem::createBitmap() {
    return std::make_unique<HeadlessBitmap>();
}

std::unique_ptr<Text> HeadlessWindowSystem::createText() {
    return std::make_unique<Text>();
}

void HeadlessWindowSystem::pump() {
    // Windows may be destroyed by what a repaint does; walk a copy and re-check.
    const std::vector<HeadlessWindow*> windows = windows_;
    for (HeadlessWindow* w : windows)
        if (std::find(windows_.begin(), windows_.end(), w) != windows_.end()) w->deliverPaint();
}

void HeadlessWindowSystem::advance(uint32_t ms) {
    const uint32_t until = clock_.nowMs() + ms;
    for (;;) {
        HeadlessWindow* next = nullptr;
        uint32_t due = 0;
        int id = 0;
        for (HeadlessWindow* w : windows_) {
            uint32_t d;
            int i;
            if (w->nextDueTimer(until, d, i) && (!next || d - clock_.nowMs() < due - clock_.nowMs())) {
                next = w;
                due = d;
                id = i;
            }
        }
        if (!next) break;
        clock_.set(due);
        next->fireTimer(id);
        pump();
    }
    clock_.set(until);
    pump();
}

HeadlessEditField::HeadlessEditField(HeadlessWindowSystem& system, const EditFieldSetup& setup,
                                     EditFieldEvents& events)
    : system_(system), setup_(setup), events_(events), text_(setup.text) {}

HeadlessEditField::~HeadlessEditField() {
    system_.editFieldDestroyed(this);
}

void HeadlessEditField::type(const std::string& characters) {
    if (allSelected_) text_.clear();
    allSelected_ = false;
    text_ += characters;
}

void HeadlessEditField::pressKey(int key, int flags) {
    if (events_.editKeyPressed(key, flags)) return;
    if (key == 8 && !text_.empty()) {
        if (allSelected_)
            text_.clear();
        else
            text_.pop_back();
        allSelected_ = false;
    }
}

}  // namespace gui::native
