#pragma once

namespace gui {

// Lets the host adjust the modifier flags of every mouse and wheel message before the toolkit
// sees them (for instance to add the host modifier, 128). UI thread.
class WindowMessageHook {
public:
    virtual ~WindowMessageHook() = default;
    virtual void adjustModifiers(int& flags) = 0;
};

}  // namespace gui
