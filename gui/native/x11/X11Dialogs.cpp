// Menus, message boxes, file and folder choosers and the edit field of the X11 backend: windows of
// our own, drawn with the toolkit's canvas and text, run modally from the window system's loop.

#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <fnmatch.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <system_error>

#include "gui/Bitmap.h"
#include "gui/Text.h"
#include "gui/native/x11/X11Window.h"
#include "gui/native/x11/X11WindowSystem.h"

namespace gui::native {

namespace {

namespace fs = std::filesystem;

constexpr Rgba kFace{236, 238, 241, 255};
constexpr Rgba kField{255, 255, 255, 255};
constexpr Rgba kInk{22, 26, 32, 255};
constexpr Rgba kGrey{150, 152, 158, 255};
constexpr Rgba kBorder{96, 102, 112, 255};
constexpr Rgba kHighlight{52, 101, 164, 255};
constexpr Rgba kHighlightInk{255, 255, 255, 255};
constexpr int kTextSize = 9;

void drawString(Canvas& canvas, const std::string& s, Point at, Rgba colour, int size = kTextSize) {
    if (s.empty()) return;
    Text text;
    text.size = size;
    text.colour = colour;
    text.text = s;
    canvas.drawText(text, at);
}

int stringWidth(const std::string& s, int size = kTextSize) {
    Text text;
    text.size = size;
    text.text = s;
    return s.empty() ? 0 : text.getWidth();
}

bool isEnter(const KeyInput& k) {
    return k.keysym == XK_Return || k.keysym == XK_KP_Enter;
}

// One line of editable UTF-8 text with a caret at a character boundary and an all-selected state.
struct LineEdit {
    std::string text;
    size_t caret = 0;
    bool allSelected = false;

    void set(const std::string& t) {
        text = t;
        caret = text.size();
        allSelected = false;
    }
    void selectAll() {
        allSelected = !text.empty();
        caret = text.size();
    }
    static bool continuation(char c) { return (static_cast<unsigned char>(c) & 0xc0) == 0x80; }
    size_t previous(size_t at) const {
        if (at == 0) return 0;
        do --at;
        while (at > 0 && continuation(text[at]));
        return at;
    }
    size_t next(size_t at) const {
        if (at >= text.size()) return text.size();
        do ++at;
        while (at < text.size() && continuation(text[at]));
        return at;
    }
    // Answers whether the key was an editing key.
    bool key(const KeyInput& k) {
        if ((k.flags & 4) && (k.keysym == XK_a || k.keysym == XK_A)) {
            selectAll();
            return true;
        }
        if (k.keysym == XK_BackSpace || k.keysym == XK_Delete) {
            if (allSelected) {
                set({});
            } else if (k.keysym == XK_BackSpace && caret > 0) {
                const size_t from = previous(caret);
                text.erase(from, caret - from);
                caret = from;
            } else if (k.keysym == XK_Delete && caret < text.size()) {
                text.erase(caret, next(caret) - caret);
            }
            return true;
        }
        if (k.keysym == XK_Left || k.keysym == XK_Right || k.keysym == XK_Home || k.keysym == XK_End) {
            if (k.keysym == XK_Left) caret = allSelected ? 0 : previous(caret);
            if (k.keysym == XK_Right) caret = next(caret);
            if (k.keysym == XK_Home) caret = 0;
            if (k.keysym == XK_End) caret = text.size();
            allSelected = false;
            return true;
        }
        if (k.text.empty()) return false;
        if (allSelected) set({});
        text.insert(caret, k.text);
        caret += k.text.size();
        return true;
    }
    // Draws the field's text inside the rectangle with the caret, or highlighted when all is selected.
    void paint(Canvas& canvas, const Rect& r, int size, int alignment, bool focused) const {
        const int width = stringWidth(text, size);
        int x = r.left + 3;
        if (alignment == 1) x = r.left + (r.width() - width) / 2;
        if (alignment == 2) x = r.right - 3 - width;
        // Keep the caret in view when the text is wider than the field.
        const int caretX = x + stringWidth(text.substr(0, caret), size);
        if (caretX > r.right - 3) x -= caretX - (r.right - 3);
        const int y = r.top + (r.height() - (size * 4 / 3 + 4)) / 2;
        if (allSelected) canvas.fillRect(Rect{x, r.top + 2, x + width, r.bottom - 2}, kHighlight);
        drawString(canvas, text, {x, y}, allSelected ? kHighlightInk : kInk, size);
        if (focused && !allSelected) {
            const int cx = x + stringWidth(text.substr(0, caret), size);
            canvas.fillRect(Rect{cx, r.top + 3, cx + 1, r.bottom - 3}, kInk);
        }
    }
};

// A window of ours drawn into a bitmap of its size; subclasses paint and take the input.
class Surface : public WindowEvents {
public:
    Surface(X11WindowSystem& system, unsigned long parent, const Rect& bounds, X11Window::Kind kind,
            const std::string& title = std::string())
        : system_(system) {
        window_ = std::make_unique<X11Window>(system, parent, bounds, *this, kind, title);
        window_->keyHandler = [this](const KeyInput& k) { key(k); };
    }
    ~Surface() override = default;

    X11Window& window() { return *window_; }
    void changed() { window_->invalidate({0, 0, window_->bounds().width(), window_->bounds().height()}); }

    virtual void paint(Canvas& canvas, const Rect& r) = 0;
    virtual void key(const KeyInput&) {}
    virtual void moved(Point) {}
    virtual void pressed(Point, int, uint32_t) {}
    virtual void released(Point, int) {}

    void pointerMoved(const PointerMessage& m) override { moved(m.point); }
    void buttonPressed(const ButtonMessage& m) override { pressed(m.point, m.button, m.timeMs); }
    void buttonReleased(const ButtonMessage& m) override { released(m.point, m.button); }
    void wheelTurned(const WheelMessage&) override {}
    void mouseInteractionCancelled() override {}
    void timerFired(int) override {}
    void boundsChanged(const Rect&) override { changed(); }
    void paintRequested(const Rect&) override {
        const Rect r{0, 0, window_->bounds().width(), window_->bounds().height()};
        if (back_.width() != r.width() || back_.height() != r.height()) back_.setSize(r.width(), r.height());
        back_.canvas().setClip(r);
        paint(back_.canvas(), r);
        window_->present(back_, r);
    }

protected:
    X11WindowSystem& system_;
    std::unique_ptr<X11Window> window_;
    Bitmap back_;
};

void drawButton(Canvas& canvas, const Rect& r, const std::string& label, bool isDefault) {
    canvas.fillRect(r, kBorder);
    canvas.fillRect(Rect{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1}, isDefault ? Rgba{214, 226, 240, 255} : kField);
    drawString(canvas, label, {r.left + (r.width() - stringWidth(label)) / 2, r.top + 4}, kInk);
}

// Keeps input to the given windows only while it lives.
class ModalScope {
public:
    ModalScope(X11WindowSystem& system, std::vector<unsigned long> windows) : system_(system), windows_(std::move(windows)) {
        for (unsigned long w : windows_) system_.addModalWindow(w);
    }
    ~ModalScope() {
        for (unsigned long w : windows_) system_.removeModalWindow(w);
    }
    void add(unsigned long w) {
        windows_.push_back(w);
        system_.addModalWindow(w);
    }
    void remove(unsigned long w) {
        std::erase(windows_, w);
        system_.removeModalWindow(w);
    }

private:
    X11WindowSystem& system_;
    std::vector<unsigned long> windows_;
};

// Runs the loop until done or the connection goes.
void runModalLoop(X11WindowSystem& system, const bool& done) {
    while (!done)
        if (!system.processEvents(50)) break;
}

Rect centredOver(X11Window& owner, int width, int height) {
    const Point o = owner.screenOrigin();
    const Rect b = owner.bounds();
    return Rect::ofSize(std::max(0, o.x + (b.width() - width) / 2), std::max(0, o.y + (b.height() - height) / 2),
                        width, height);
}

// ---------------------------------------------------------------------------------------------
// Menus

class MenuTracker;

// One level of a menu: the entries of the top level or of one submenu.
class MenuLevel : public Surface {
public:
    static constexpr int kRow = 20;
    static constexpr int kSeparator = 7;

    MenuLevel(MenuTracker& tracker, X11WindowSystem& system, std::vector<int> rows, const Rect& screenBounds)
        : Surface(system, 0, screenBounds, X11Window::Kind::Popup, "menu"), tracker_(tracker), rows_(std::move(rows)) {}

    static int heightOf(const std::vector<MenuEntry>& entries, const std::vector<int>& rows) {
        int h = 4;
        for (int i : rows) h += entries[static_cast<size_t>(i)].separator ? kSeparator : kRow;
        return h;
    }
    // The row (index into rows) at a point in this window, or -1.
    int rowAt(Point p) const;
    int rowTop(int row) const;
    const std::vector<int>& rows() const { return rows_; }
    int highlight = -1;

    void paint(Canvas& canvas, const Rect& r) override;
    void key(const KeyInput& k) override;
    void moved(Point p) override;
    void pressed(Point p, int, uint32_t) override;
    void released(Point p, int) override;

private:
    MenuTracker& tracker_;
    std::vector<int> rows_;
};

class MenuTracker {
public:
    MenuTracker(X11WindowSystem& system, X11Window& owner, const std::vector<MenuEntry>& entries)
        : system_(system), owner_(owner), entries_(entries), modal_(system, {}) {}

    int run(Point at) {
        std::vector<int> top;
        for (size_t i = 0; i < entries_.size(); ++i)
            if (entries_[i].depth == 0) top.push_back(static_cast<int>(i));
        if (top.empty()) return 0;
        open(top, owner_.screenOrigin() + at);
        Display* d = system_.display();
        const unsigned long grabWindow = levels_.front()->window().id();
        system_.sync();
        // Every pointer event and key comes to the top level, in its coordinates; presses
        // anywhere else dismiss the menu.
        XGrabPointer(d, grabWindow, False, ButtonPressMask | ButtonReleaseMask | PointerMotionMask, GrabModeAsync,
                     GrabModeAsync, None, None, CurrentTime);
        XGrabKeyboard(d, grabWindow, False, GrabModeAsync, GrabModeAsync, CurrentTime);
        runModalLoop(system_, done_);
        XUngrabKeyboard(d, CurrentTime);
        XUngrabPointer(d, CurrentTime);
        levels_.clear();
        XFlush(d);
        return result_;
    }

    // Ends the menu from code, choosing nothing (the owner is going away).
    void cancel() { finish(0); }

    const std::vector<MenuEntry>& entries() const { return entries_; }
    bool selectable(int entry) const {
        const MenuEntry& e = entries_[static_cast<size_t>(entry)];
        return !e.separator && e.enabled;
    }

    // Pointer positions arrive relative to the top level.
    MenuLevel* levelAt(Point screen, Point& local) {
        for (auto it = levels_.rbegin(); it != levels_.rend(); ++it) {
            const Rect b = (*it)->window().bounds();
            if (b.contains(screen)) {
                local = screen - b.topLeft();
                return it->get();
            }
        }
        return nullptr;
    }
    Point toScreen(Point topLocal) { return topLocal + levels_.front()->window().bounds().topLeft(); }

    void moved(Point topLocal) {
        Point p;
        MenuLevel* level = levelAt(toScreen(topLocal), p);
        if (!level) return;
        const int row = level->rowAt(p);
        hover(level, row);
    }
    void hover(MenuLevel* level, int row) {
        const size_t depth = depthOf(level);
        if (level->highlight != row) {
            level->highlight = row;
            level->changed();
        }
        if (row < 0) return;
        const int entry = level->rows()[static_cast<size_t>(row)];
        // A highlighted submenu shows its items; anything else closes deeper levels.
        closeBelow(depth);
        if (entries_[static_cast<size_t>(entry)].submenu && selectable(entry)) openSubmenu(level, row);
    }
    void pressed(Point topLocal) {
        Point p;
        if (!levelAt(toScreen(topLocal), p)) finish(0);
    }
    void released(Point topLocal) {
        Point p;
        MenuLevel* level = levelAt(toScreen(topLocal), p);
        if (!level) return;
        const int row = level->rowAt(p);
        if (row < 0) return;
        choose(level->rows()[static_cast<size_t>(row)]);
    }
    void choose(int entry) {
        const MenuEntry& e = entries_[static_cast<size_t>(entry)];
        if (!selectable(entry) || e.submenu) return;
        finish(e.number);
    }
    void key(const KeyInput& k) {
        MenuLevel* level = levels_.back().get();
        const size_t depth = levels_.size() - 1;
        const int count = static_cast<int>(level->rows().size());
        auto step = [&](int direction) {
            int row = level->highlight;
            for (int i = 0; i < count; ++i) {
                row = row < 0 ? (direction > 0 ? 0 : count - 1) : (row + direction + count) % count;
                if (selectable(level->rows()[static_cast<size_t>(row)])) break;
            }
            level->highlight = row;
            level->changed();
        };
        if (k.keysym == XK_Down) step(1);
        if (k.keysym == XK_Up) step(-1);
        if (k.keysym == XK_Escape || k.keysym == XK_Left) {
            if (depth == 0) {
                if (k.keysym == XK_Escape) finish(0);
            } else {
                closeBelow(depth - 1);
            }
        }
        if (level->highlight >= 0 && (k.keysym == XK_Right || isEnter(k))) {
            const int entry = level->rows()[static_cast<size_t>(level->highlight)];
            if (entries_[static_cast<size_t>(entry)].submenu && selectable(entry)) {
                MenuLevel* sub = openSubmenu(level, level->highlight);
                if (sub && !sub->rows().empty()) {
                    sub->highlight = -1;
                    levels_.back()->highlight = -1;
                    KeyInput down;
                    down.keysym = XK_Down;
                    key(down);
                }
            } else if (isEnter(k)) {
                choose(entry);
            }
        }
    }

private:
    size_t depthOf(MenuLevel* level) const {
        for (size_t i = 0; i < levels_.size(); ++i)
            if (levels_[i].get() == level) return i;
        return 0;
    }
    void open(std::vector<int> rows, Point screen) {
        int width = 60;
        for (int i : rows) width = std::max(width, stringWidth(displayText(entries_[static_cast<size_t>(i)].text)) + 48);
        const int height = MenuLevel::heightOf(entries_, rows);
        auto level = std::make_unique<MenuLevel>(*this, system_, std::move(rows), Rect::ofSize(screen.x, screen.y, width, height));
        modal_.add(level->window().id());
        levels_.push_back(std::move(level));
    }
    MenuLevel* openSubmenu(MenuLevel* level, int row) {
        const size_t depth = depthOf(level);
        const int entry = level->rows()[static_cast<size_t>(row)];
        if (levels_.size() > depth + 1 && openedFrom_ == entry) return levels_[depth + 1].get();
        closeBelow(depth);
        std::vector<int> children;
        const int d = entries_[static_cast<size_t>(entry)].depth;
        for (size_t i = static_cast<size_t>(entry) + 1; i < entries_.size() && entries_[i].depth > d; ++i)
            if (entries_[i].depth == d + 1) children.push_back(static_cast<int>(i));
        const Rect b = level->window().bounds();
        open(children, {b.right - 2, b.top + level->rowTop(row) - 2});
        openedFrom_ = entry;
        return levels_.back().get();
    }
    void closeBelow(size_t depth) {
        while (levels_.size() > depth + 1) {
            modal_.remove(levels_.back()->window().id());
            levels_.pop_back();
        }
    }
    void finish(int result) {
        result_ = result;
        done_ = true;
    }

public:
    // The entry text as shown: the doubled "&" of the native convention is one "&".
    static std::string displayText(const std::string& text) {
        std::string out;
        for (size_t i = 0; i < text.size(); ++i) {
            out += text[i];
            if (text[i] == '&' && i + 1 < text.size() && text[i + 1] == '&') ++i;
        }
        return out;
    }

private:
    X11WindowSystem& system_;
    X11Window& owner_;
    const std::vector<MenuEntry>& entries_;
    ModalScope modal_;
    std::vector<std::unique_ptr<MenuLevel>> levels_;
    int openedFrom_ = -1;
    bool done_ = false;
    int result_ = 0;
};

int MenuLevel::rowTop(int row) const {
    int y = 2;
    for (int i = 0; i < row; ++i) y += tracker_.entries()[static_cast<size_t>(rows_[static_cast<size_t>(i)])].separator ? kSeparator : kRow;
    return y;
}

int MenuLevel::rowAt(Point p) const {
    if (p.x < 0 || p.x >= window_->bounds().width()) return -1;
    int y = 2;
    for (size_t i = 0; i < rows_.size(); ++i) {
        const int h = tracker_.entries()[static_cast<size_t>(rows_[i])].separator ? kSeparator : kRow;
        if (p.y >= y && p.y < y + h) return static_cast<int>(i);
        y += h;
    }
    return -1;
}

void MenuLevel::paint(Canvas& canvas, const Rect& r) {
    canvas.fillRect(r, kBorder);
    canvas.fillRect(Rect{1, 1, r.right - 1, r.bottom - 1}, kFace);
    for (size_t i = 0; i < rows_.size(); ++i) {
        const MenuEntry& e = tracker_.entries()[static_cast<size_t>(rows_[i])];
        const int top = rowTop(static_cast<int>(i));
        if (e.separator) {
            canvas.fillRect(Rect{6, top + 3, r.right - 6, top + 4}, kGrey);
            continue;
        }
        const bool lit = static_cast<int>(i) == highlight && e.enabled;
        if (lit) canvas.fillRect(Rect{2, top, r.right - 2, top + kRow}, kHighlight);
        const Rgba ink = !e.enabled ? kGrey : lit ? kHighlightInk : kInk;
        if (e.checked) drawString(canvas, "\xE2\x9C\x93", {7, top + 3}, ink);
        drawString(canvas, MenuTracker::displayText(e.text), {22, top + 3}, ink);
        if (e.submenu) drawString(canvas, "\xE2\x96\xB8", {r.right - 14, top + 3}, ink);
    }
}

// The top level holds the grabs, so all input arrives here in its coordinates.
void MenuLevel::key(const KeyInput& k) {
    tracker_.key(k);
}
void MenuLevel::moved(Point p) {
    tracker_.moved(p);
}
void MenuLevel::pressed(Point p, int, uint32_t) {
    tracker_.pressed(p);
}
void MenuLevel::released(Point p, int) {
    tracker_.released(p);
}

// ---------------------------------------------------------------------------------------------
// Message box

class MessageSurface : public Surface {
public:
    MessageSurface(X11WindowSystem& system, X11Window& owner, const Rect& bounds, const std::string& text,
                   const std::string& caption, MessageBoxStyle style)
        : Surface(system, owner.topLevelAncestor(), bounds, X11Window::Kind::Dialog, caption), text_(text),
          style_(style) {
        window_->closeRequested = [this] { finish(ResultCancel); };
        window_->takeFocus();
    }

    static Rect sizeFor(X11Window& owner, const std::string& text) {
        int lines = 1, width = 0;
        size_t start = 0;
        for (size_t nl; (nl = text.find('\n', start)) != std::string::npos; start = nl + 1, ++lines)
            width = std::max(width, stringWidth(text.substr(start, nl - start)));
        width = std::max(width, stringWidth(text.substr(start)));
        return centredOver(owner, std::max(260, width + 40), 80 + lines * 16);
    }

    bool done = false;
    MessageBoxResult result = ResultCancel;

    void paint(Canvas& canvas, const Rect& r) override {
        canvas.fillRect(r, kFace);
        size_t start = 0;
        int y = 18;
        for (;;) {
            const size_t nl = text_.find('\n', start);
            drawString(canvas, text_.substr(start, nl == std::string::npos ? std::string::npos : nl - start), {20, y}, kInk);
            y += 16;
            if (nl == std::string::npos) break;
            start = nl + 1;
        }
        drawButton(canvas, okRect(), "OK", true);
        if (style_ == OkCancel) drawButton(canvas, cancelRect(), "Cancel", false);
    }
    void key(const KeyInput& k) override {
        if (isEnter(k)) finish(ResultOk);
        if (k.keysym == XK_Escape) finish(ResultCancel);
    }
    void released(Point p, int button) override {
        if (button != LeftButton) return;
        if (okRect().contains(p)) finish(ResultOk);
        if (style_ == OkCancel && cancelRect().contains(p)) finish(ResultCancel);
    }

private:
    Rect cancelRect() const {
        const Rect b = window_->bounds();
        return Rect::ofSize(b.width() - 96, b.height() - 38, 80, 24);
    }
    Rect okRect() const { return style_ == OkCancel ? cancelRect().movedBy(-90, 0) : cancelRect(); }
    void finish(MessageBoxResult r) {
        // With only OK to press, closing the box still answers OK.
        result = style_ == OkOnly ? ResultOk : r;
        done = true;
    }

    std::string text_;
    MessageBoxStyle style_;
};

// ---------------------------------------------------------------------------------------------
// File and folder choosers

class ChooserSurface : public Surface {
public:
    static constexpr int kWidth = 440;
    static constexpr int kHeight = 330;
    static constexpr int kRow = 18;
    static constexpr int kListTop = 44;
    static constexpr int kListBottom = 280;

    ChooserSurface(X11WindowSystem& system, X11Window& owner, const std::string& title, bool folders, bool save,
                   std::vector<std::string> patterns, std::string start)
        : Surface(system, owner.topLevelAncestor(), centredOver(owner, kWidth, kHeight), X11Window::Kind::Dialog, title),
          folders_(folders), save_(save), patterns_(std::move(patterns)) {
        window_->closeRequested = [this] { done = true; };
        window_->takeFocus();
        // The caret after the folder, ready for a name.
        field_.set(start);
        list();
    }

    bool done = false;
    bool chosen = false;
    std::string result;
    std::function<bool(const std::string&)> confirm;
    std::string defaultExtension;

    void paint(Canvas& canvas, const Rect& r) override {
        canvas.fillRect(r, kFace);
        const Rect field{12, 10, r.right - 12, 34};
        canvas.fillRect(field, kBorder);
        canvas.fillRect(Rect{field.left + 1, field.top + 1, field.right - 1, field.bottom - 1}, kField);
        canvas.setClip(Rect{field.left + 1, field.top + 1, field.right - 1, field.bottom - 1});
        field_.paint(canvas, field, kTextSize, 0, true);
        canvas.setClip(r);
        const Rect listRect{12, kListTop, r.right - 12, kListBottom};
        canvas.fillRect(listRect, kBorder);
        canvas.fillRect(Rect{listRect.left + 1, listRect.top + 1, listRect.right - 1, listRect.bottom - 1}, kField);
        canvas.setClip(Rect{listRect.left + 1, listRect.top + 1, listRect.right - 1, listRect.bottom - 1});
        for (size_t i = static_cast<size_t>(scroll_); i < entries_.size(); ++i) {
            const int y = kListTop + 1 + (static_cast<int>(i) - scroll_) * kRow;
            if (y >= kListBottom) break;
            if (static_cast<int>(i) == selected_)
                canvas.fillRect(Rect{listRect.left + 1, y, listRect.right - 1, y + kRow}, kHighlight);
            drawString(canvas, entries_[i], {listRect.left + 6, y + 2},
                       static_cast<int>(i) == selected_ ? kHighlightInk : kInk);
        }
        canvas.setClip(r);
        drawButton(canvas, okRect(), save_ ? "Save" : folders_ ? "Choose" : "Open", true);
        drawButton(canvas, cancelRect(), "Cancel", false);
    }

    void key(const KeyInput& k) override {
        if (k.keysym == XK_Escape) {
            done = true;
        } else if (isEnter(k)) {
            accept();
        } else if (k.keysym == XK_Down || k.keysym == XK_Up) {
            if (entries_.empty()) return;
            selected_ = std::clamp(selected_ + (k.keysym == XK_Down ? 1 : -1), 0, static_cast<int>(entries_.size()) - 1);
            scroll_ = std::clamp(scroll_, selected_ - visibleRows() + 1, selected_);
            pick(static_cast<size_t>(selected_), false);
        } else if (field_.key(k)) {
            changed();
        }
    }
    void pressed(Point p, int button, uint32_t time) override {
        if (button != LeftButton) return;
        if (p.y >= kListTop && p.y < kListBottom && p.x >= 12 && p.x < kWidth - 12) {
            const int row = scroll_ + (p.y - kListTop - 1) / kRow;
            if (row >= 0 && row < static_cast<int>(entries_.size())) {
                const bool twice = row == selected_ && time - lastPress_ <= 500;
                selected_ = row;
                lastPress_ = time;
                pick(static_cast<size_t>(row), twice);
            }
        }
    }
    void released(Point p, int button) override {
        if (button != LeftButton) return;
        if (okRect().contains(p)) accept();
        if (cancelRect().contains(p)) done = true;
    }
    void wheelTurned(const WheelMessage& m) override {
        const int maxScroll = std::max(0, static_cast<int>(entries_.size()) - visibleRows());
        scroll_ = std::clamp(scroll_ - m.delta / 40, 0, maxScroll);
        changed();
    }

private:
    int visibleRows() const { return (kListBottom - kListTop - 2) / kRow; }
    Rect cancelRect() const { return Rect::ofSize(kWidth - 96, kHeight - 38, 80, 24); }
    Rect okRect() const { return cancelRect().movedBy(-90, 0); }

    // The folder the field names: itself when it is one, else its parent.
    fs::path folder() const {
        std::error_code ec;
        const fs::path p = field_.text.empty() ? fs::path("/") : fs::path(field_.text);
        if (fs::is_directory(p, ec)) return p;
        return p.has_parent_path() ? p.parent_path() : fs::path("/");
    }
    bool matches(const std::string& name) const {
        if (patterns_.empty()) return true;
        for (const std::string& pattern : patterns_)
            if (fnmatch(pattern.c_str(), name.c_str(), 0) == 0) return true;
        return false;
    }
    void list() {
        entries_.clear();
        selected_ = -1;
        scroll_ = 0;
        const fs::path dir = folder();
        listed_ = dir;
        if (dir.has_parent_path() && dir != dir.root_path()) entries_.push_back("../");
        std::vector<std::string> dirs, files;
        std::error_code ec;
        for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
            const std::string name = it->path().filename().string();
            if (name.empty() || name[0] == '.') continue;
            std::error_code typeError;
            if (it->is_directory(typeError))
                dirs.push_back(name + "/");
            else if (!folders_ && matches(name))
                files.push_back(name);
        }
        std::sort(dirs.begin(), dirs.end());
        std::sort(files.begin(), files.end());
        entries_.insert(entries_.end(), dirs.begin(), dirs.end());
        entries_.insert(entries_.end(), files.begin(), files.end());
        changed();
    }
    void pick(size_t row, bool open) {
        const fs::path dir = folder();
        const std::string name = entries_[row];
        if (name == "../") {
            if (open) enter(dir.parent_path());
            return;
        }
        if (name.back() == '/') {
            const fs::path sub = dir / name.substr(0, name.size() - 1);
            if (open)
                enter(sub);
            else
                field_.set(sub.string() + (folders_ ? "/" : ""));
            changed();
            return;
        }
        field_.set((dir / name).string());
        changed();
        if (open) accept();
    }
    void enter(const fs::path& dir) {
        std::string text = dir.string();
        if (text.empty() || text.back() != '/') text += '/';
        field_.set(text);
        list();
    }
    void accept() {
        std::error_code ec;
        std::string path = field_.text;
        if (path.empty()) return;
        if (path[0] != '/') path = (listed_ / path).string();
        const bool isDir = fs::is_directory(path, ec);
        if (folders_) {
            if (!isDir) return;
            while (path.size() > 1 && path.back() == '/') path.pop_back();
            finish(path);
            return;
        }
        if (isDir) {
            enter(path);
            return;
        }
        if (save_) {
            if (!defaultExtension.empty() && !fs::path(path).has_extension())
                path += (defaultExtension[0] == '.' ? "" : ".") + defaultExtension;
            if (!fs::is_directory(fs::path(path).parent_path(), ec)) return;
            if (fs::exists(path, ec) && confirm && !confirm(path)) return;
        } else if (!fs::is_regular_file(path, ec)) {
            return;
        }
        finish(path);
    }
    void finish(const std::string& path) {
        result = path;
        chosen = true;
        done = true;
    }

    bool folders_;
    bool save_;
    std::vector<std::string> patterns_;
    LineEdit field_;
    // The folder the listing shows; names typed without a folder are in it.
    fs::path listed_;
    std::vector<std::string> entries_;
    int selected_ = -1;
    int scroll_ = 0;
    uint32_t lastPress_ = 0;
};

std::vector<std::string> patternsOf(const FileChooserRequest& request) {
    std::vector<std::string> patterns;
    if (request.filters.empty()) return patterns;
    // The first filter applies; "*.*" and "*" show everything.
    const std::string& list = request.filters.front().pattern;
    size_t start = 0;
    for (;;) {
        const size_t semi = list.find(';', start);
        std::string p = list.substr(start, semi == std::string::npos ? std::string::npos : semi - start);
        p.erase(0, p.find_first_not_of(' '));
        if (p == "*.*" || p == "*") return {};
        if (!p.empty()) patterns.push_back(p);
        if (semi == std::string::npos) break;
        start = semi + 1;
    }
    return patterns;
}

// ---------------------------------------------------------------------------------------------
// Edit field

class X11EditField : public EditField, public Surface {
public:
    X11EditField(X11WindowSystem& system, X11Window& owner, const EditFieldSetup& setup, EditFieldEvents& events)
        : Surface(system, owner.id(), setup.rect.isEmpty() ? Rect::ofSize(setup.rect.left, setup.rect.top, 60, 20) : setup.rect,
                  X11Window::Kind::Embedded),
          events_(events), alignment_(setup.alignment), size_(setup.font ? setup.font->size.get() : kTextSize) {
        line_.set(setup.text);
    }

    std::string text() const override { return line_.text; }
    void selectAll() override {
        line_.selectAll();
        changed();
    }
    void focus() override { window_->takeFocus(); }

    void paint(Canvas& canvas, const Rect& r) override {
        canvas.fillRect(r, kBorder);
        canvas.fillRect(Rect{1, 1, r.right - 1, r.bottom - 1}, kField);
        canvas.setClip(Rect{1, 1, r.right - 1, r.bottom - 1});
        line_.paint(canvas, r, size_, alignment_, true);
        canvas.setClip(r);
    }
    void key(const KeyInput& k) override {
        // The toolkit's keys first: Enter commits, Escape cancels, Tab and Ctrl+A are its own.
        int code = 0;
        if (isEnter(k)) code = 13;
        if (k.keysym == XK_Escape) code = 27;
        if (k.keysym == XK_Tab || k.keysym == XK_ISO_Left_Tab) code = 9;
        if ((k.flags & 4) && (k.keysym == XK_a || k.keysym == XK_A)) code = 'A';
        if (code) {
            // The answer may end the edit, which destroys this field.
            if (events_.editKeyPressed(code, k.flags) || code == 13 || code == 9) return;
        }
        if (line_.key(k)) changed();
    }

private:
    EditFieldEvents& events_;
    LineEdit line_;
    int alignment_;
    int size_;
};

}  // namespace

int X11WindowSystem::trackPopupMenu(Window& window, const std::vector<MenuEntry>& entries, Point at) {
    auto& owner = static_cast<X11Window&>(window);
    // The menu takes the pointer: a drag in progress on the window is over.
    owner.loseCapture();
    MenuTracker tracker(*this, owner, entries);
    cancelMenu_ = [&tracker] { tracker.cancel(); };
    const int result = tracker.run(at);
    cancelMenu_ = nullptr;
    return result;
}

void X11WindowSystem::cancelPopupMenu(Window&) {
    if (cancelMenu_) cancelMenu_();
}

MessageBoxResult X11WindowSystem::messageBox(Window& window, const std::string& text, const std::string& caption,
                                             MessageBoxStyle style) {
    auto& owner = static_cast<X11Window&>(window);
    owner.loseCapture();
    MessageSurface box(*this, owner, MessageSurface::sizeFor(owner, text), text, caption, style);
    ModalScope modal(*this, {box.window().id()});
    runModalLoop(*this, box.done);
    return box.result;
}

bool X11WindowSystem::chooseFile(Window& window, const FileChooserRequest& request, std::string& path) {
    auto& owner = static_cast<X11Window&>(window);
    owner.loseCapture();
    std::string start = request.initialName;
    if (start.find('/') == std::string::npos) {
        start = request.initialFolder;
        if (!start.empty() && start.back() != '/') start += '/';
        start += request.initialName;
    }
    ChooserSurface chooser(*this, owner, request.save ? "Save" : "Open", false, request.save, patternsOf(request), start);
    chooser.defaultExtension = request.defaultExtension;
    if (request.confirmOverwrite)
        chooser.confirm = [&](const std::string& file) {
            const std::string name = std::filesystem::path(file).filename().string();
            return messageBox(chooser.window(), name + " already exists.\nDo you want to replace it?", "Confirmation",
                              OkCancel) == ResultOk;
        };
    ModalScope modal(*this, {chooser.window().id()});
    runModalLoop(*this, chooser.done);
    if (!chooser.chosen) return false;
    path = chooser.result;
    return true;
}

bool X11WindowSystem::chooseFolder(Window& window, const FolderChooserRequest& request, std::string& path) {
    auto& owner = static_cast<X11Window&>(window);
    owner.loseCapture();
    std::string start = request.initialFolder;
    if (!start.empty() && start.back() != '/') start += '/';
    ChooserSurface chooser(*this, owner, request.title, true, false, {}, start);
    ModalScope modal(*this, {chooser.window().id()});
    runModalLoop(*this, chooser.done);
    if (!chooser.chosen) return false;
    path = chooser.result;
    return true;
}

std::unique_ptr<EditField> X11WindowSystem::createEditField(Window& window, const EditFieldSetup& setup,
                                                            EditFieldEvents& events) {
    return std::make_unique<X11EditField>(*this, static_cast<X11Window&>(window), setup, events);
}

}  // namespace gui::native
