#pragma once

#include <string>

struct _XDisplay;

// The test's own connection to an X server, to find a program's top-level windows and close them
// as a window manager does.
class TopLevelWindows {
public:
    explicit TopLevelWindows(const std::string& display);
    ~TopLevelWindows();
    TopLevelWindows(const TopLevelWindows&) = delete;
    TopLevelWindows& operator=(const TopLevelWindows&) = delete;

    bool connected() const { return display_ != nullptr; }
    // The top-level window of that name; 0 when there is none.
    unsigned long find(const std::string& name) const;
    // Sends WM_DELETE_WINDOW, the request a window manager sends when the user closes the window.
    void askToClose(unsigned long window) const;

private:
    _XDisplay* display_;
};
