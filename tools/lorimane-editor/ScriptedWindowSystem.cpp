#include "tools/lorimane-editor/ScriptedWindowSystem.h"

#include <ostream>
#include <sstream>
#include <utility>

using namespace gui::native;

namespace {

// The item's text as the user reads it: menus double "&" so that none is taken as a mnemonic.
std::string shownText(const std::string& text) {
    std::string shown;
    for (size_t i = 0; i < text.size(); ++i) {
        shown += text[i];
        if (text[i] == '&' && i + 1 < text.size() && text[i + 1] == '&') ++i;
    }
    return shown;
}

// The number of the enabled item at the path ("Options>Enable MIDI"), 0 when there is none.
int findItem(const std::vector<MenuEntry>& entries, const std::string& path) {
    std::vector<std::string> parts;
    std::stringstream in(path);
    for (std::string part; std::getline(in, part, '>');) parts.push_back(part);
    size_t begin = 0, end = entries.size();  // the entries of the submenu walked so far
    for (size_t depth = 0; depth < parts.size(); ++depth) {
        bool found = false;
        for (size_t i = begin; i < end && !found; ++i) {
            const MenuEntry& e = entries[i];
            if (e.depth != static_cast<int>(depth) || e.separator || shownText(e.text) != parts[depth]) continue;
            const bool last = depth + 1 == parts.size();
            if (last) return e.submenu || !e.enabled ? 0 : e.number;
            if (!e.submenu) return 0;
            begin = i + 1;
            end = begin;
            while (end < entries.size() && entries[end].depth > e.depth) ++end;
            found = true;
        }
        if (!found) return 0;
    }
    return 0;
}

std::string escapeNewlines(const std::string& text) {
    std::string out;
    for (char c : text) out += c == '\n' ? std::string("\\n") : std::string(1, c);
    return out;
}

}  // namespace

std::unique_ptr<Window> ScriptedWindowSystem::createWindow(void* parent, const gui::Rect& bounds, WindowEvents& events) {
    if (!events_) events_ = &events;
    return inner_.createWindow(parent, bounds, events);
}

std::unique_ptr<EditField> ScriptedWindowSystem::createEditField(Window& window, const EditFieldSetup& setup,
                                                                 EditFieldEvents& events) {
    if (userAnswers_) return inner_.createEditField(window, setup, events);
    return fields_.createEditField(window, setup, events);
}

HeadlessEditField* ScriptedWindowSystem::editField() const { return fields_.editField(); }

int ScriptedWindowSystem::trackPopupMenu(Window& window, const std::vector<MenuEntry>& entries, gui::Point at) {
    if (userAnswers_) return inner_.trackPopupMenu(window, entries, at);
    for (const MenuEntry& e : entries) {
        out_ << "menu: " << std::string(2 * e.depth, ' ') << (e.separator ? std::string("-") : shownText(e.text));
        if (e.checked) out_ << " [checked]";
        if (!e.enabled && !e.separator) out_ << " [disabled]";
        out_ << '\n';
    }
    if (menus_.empty()) {
        out_ << "unanswered\n";
        return 0;
    }
    const MenuAnswer answer = menus_.front();
    menus_.pop_front();
    if (answer.path.empty()) return 0;
    const int number = findItem(entries, answer.path);
    if (number == 0 && failure_.empty()) {
        failure_ = "menu: the menu shown has no enabled item '" + answer.path + "'";
        failureLine_ = answer.line;
    }
    return number;
}

MessageBoxResult ScriptedWindowSystem::messageBox(Window& window, const std::string& text, const std::string& caption,
                                                  MessageBoxStyle style) {
    if (userAnswers_) return inner_.messageBox(window, text, caption, style);
    out_ << "box: " << escapeNewlines(caption) << ": " << escapeNewlines(text) << '\n';
    bool ok = false;
    if (boxes_.empty()) {
        out_ << "unanswered\n";
    } else {
        ok = boxes_.front();
        boxes_.pop_front();
    }
    // A box with only OK can only be closed with it.
    return ok || style == OkOnly ? ResultOk : ResultCancel;
}

bool ScriptedWindowSystem::takeChoice(std::deque<std::optional<std::string>>& answers, std::string& path) {
    if (answers.empty()) {
        out_ << "unanswered\n";
        return false;
    }
    const std::optional<std::string> answer = answers.front();
    answers.pop_front();
    if (!answer) return false;
    path = *answer;
    return true;
}

bool ScriptedWindowSystem::chooseFile(Window& window, const FileChooserRequest& request, std::string& path) {
    if (userAnswers_) return inner_.chooseFile(window, request, path);
    return takeChoice(files_, path);
}

bool ScriptedWindowSystem::chooseFolder(Window& window, const FolderChooserRequest& request, std::string& path) {
    if (userAnswers_) return inner_.chooseFolder(window, request, path);
    return takeChoice(folders_, path);
}

bool ScriptedWindowSystem::takeFailure(std::string& message, int& line) {
    if (failure_.empty()) return false;
    message = std::exchange(failure_, std::string());
    line = failureLine_;
    return true;
}
