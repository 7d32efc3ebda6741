#pragma once

#include <memory>
#include <string>
#include <vector>

#include "gui/Point.h"
#include "gui/Rect.h"
#include "gui/native/EditField.h"
#include "gui/native/Window.h"
#include "platform/IntervalTimer.h"

namespace gui {
class Bitmap;
class Text;
}  // namespace gui

namespace gui::native {

// One entry of a native pop-up menu, flattened in insertion order: submenu entries follow the
// entry that owns them with a depth one higher.
struct MenuEntry {
    int number = 0;
    int depth = 0;
    // The text to show, "&" already doubled so that no mnemonic is underlined.
    std::string text;
    bool separator = false;
    bool checked = false;
    bool enabled = true;
    bool submenu = false;
};

enum MessageBoxStyle { OkOnly = 0, OkCancel = 1 };
enum MessageBoxResult { ResultOk = 0, ResultCancel = 1 };

struct FileFilter {
    std::string description;
    std::string pattern;
};

struct FileChooserRequest {
    bool save = false;
    std::vector<FileFilter> filters;
    std::string initialFolder;
    std::string initialName;
    std::string defaultExtension;
    bool confirmOverwrite = false;
};

struct FolderChooserRequest {
    std::string title;
    // Without a trailing separator.
    std::string initialFolder;
};

// The services the toolkit needs from a windowing system. UI thread.
//
// What a backend promises:
// - Windows report pointer, button and wheel messages with the key state held at the time and
//   the clock's time; while a window holds the mouse capture it keeps hearing the pointer outside
//   its rectangle. Losing the capture to someone else is reported as mouseInteractionCancelled.
// - Double-clicks may be detected by the backend (ButtonMessage::doubleClick) or left to the
//   toolkit, which pairs presses by doubleClickTime and doubleClickDistance.
// - Keys typed into the toolkit's own window belong to the host: the backend passes them on to the
//   top-level window. Keys of an edit field go to its EditFieldEvents first.
// - Timers are periodic; invalidate leads to one paintRequested soon after, covering at least the
//   union of the invalidated areas.
// - The modal calls (menu, message box, choosers) return when the user has answered and keep the
//   user from the application's other windows meanwhile; the toolkit releases its render lock
//   around them.
class WindowSystem {
public:
    virtual ~WindowSystem() = default;

    // A visible child window of parent (none: a top-level window) at bounds.
    virtual std::unique_ptr<Window> createWindow(void* parent, const Rect& bounds, WindowEvents& events) = 0;

    // Answers the chosen entry's number, or 0 when the menu was dismissed. The point is the
    // menu's top-left corner in window coordinates.
    virtual int trackPopupMenu(Window& window, const std::vector<MenuEntry>& entries, Point at) = 0;
    virtual MessageBoxResult messageBox(Window& window, const std::string& text, const std::string& caption,
                                        MessageBoxStyle style) = 0;
    // True with the chosen path; false (path untouched) when cancelled.
    virtual bool chooseFile(Window& window, const FileChooserRequest& request, std::string& path) = 0;
    virtual bool chooseFolder(Window& window, const FolderChooserRequest& request, std::string& path) = 0;
    virtual std::unique_ptr<EditField> createEditField(Window& window, const EditFieldSetup& setup,
                                                       EditFieldEvents& events) = 0;
    // Ends a trackPopupMenu running on the window as if the user had dismissed the menu. Nothing
    // by default: the menu then stays up until the user answers, and the toolkit ignores the answer.
    virtual void cancelPopupMenu(Window& window);

    // Hands a document to the desktop's handler for its type, or a web address (http or https
    // only) to the browser, without waiting for them. Answers whether the handler was started:
    // false for a document that does not exist, an address of another kind, or no launcher. The
    // default runs xdg-open.
    virtual bool openDocument(const std::string& path);
    virtual bool openWebAddress(const std::string& address);

    // Bitmaps and text objects that suit this system's presentation and fonts.
    virtual std::unique_ptr<Bitmap> createBitmap() = 0;
    virtual std::unique_ptr<Text> createText() = 0;

    virtual const MillisecondClock& clock() const = 0;
    virtual int doubleClickTime() const = 0;
    virtual int doubleClickDistance() const = 0;
};

// What openDocument and openWebAddress accept: an existing file (made absolute, so that no name
// reads as a launcher option), and an http or https address. Empty when refused.
std::string openableDocument(const std::string& path);
bool isWebAddress(const std::string& address);

// Runs "xdg-open target" in the background, the target passed as one argument (never through a
// shell's parsing); false when xdg-open is not on the PATH or cannot be started.
bool launchDesktopOpener(const std::string& target);

}  // namespace gui::native
