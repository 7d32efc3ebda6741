#pragma once

#include <memory>
#include <string>
#include <vector>

#include "gui/Bitmap.h"

struct _XDisplay;

namespace gui::test {

// A second client on the test's server: plays the host that embeds our window and reads back what
// the server shows. Keeps Xlib's macros out of the test files.
class XClient {
public:
    explicit XClient(const std::string& display);
    ~XClient();
    bool isOpen() const { return display_ != nullptr; }

    // A mapped top-level window that listens for key presses.
    unsigned long createHostWindow(int width, int height);
    Rect geometry(unsigned long window);
    void resize(unsigned long window, int width, int height);
    void unmap(unsigned long window);
    // Handles what arrived; answers whether a key press reached one of our windows so far.
    bool receivedKeyPress();
    // Binds the key symbols to unused key codes, so that typing them needs no remapping on the
    // fly (which races with the client reading the key).
    void mapKeysyms(const std::vector<unsigned long>& keysyms);
    // How many resources (windows, pixmaps, graphics contexts, shared segments, ...) the server
    // holds for the client that created the window; -1 when the server cannot tell.
    long resourcesOfClientOwning(unsigned long window);
    // The window holding the keyboard focus (0 none, 1 the pointer's root).
    unsigned long focusedWindow();
    // The window's contents as the server has them, as opaque pixels.
    std::unique_ptr<Bitmap> grab(unsigned long window, int width, int height);

private:
    _XDisplay* display_ = nullptr;
    bool keyPressed_ = false;
};

}  // namespace gui::test
