#pragma once

#include <cstdint>

#include "gui/native/WindowMessageHook.h"

class AaxWindowsEditor;

// Merges the host's modifier keys into the flags of every mouse and wheel message: the host's
// Option key reads as Alt, its own modifier as the toolkit's host modifier. [ui]
class AaxWindowsMessageHook : public gui::WindowMessageHook {
public:
    explicit AaxWindowsMessageHook(AaxWindowsEditor& editor) : editor_(editor) {}

    void adjustModifiers(int& flags) override;

    // The toolkit flags the host's modifier bits add.
    static int toolkitFlags(uint32_t hostModifiers);

private:
    AaxWindowsEditor& editor_;
};
