#pragma once

#include <vector>

#include "gui/OpenSaveDialog.h"
#include "gui/native/WindowSystem.h"

namespace gui {

class WindowInterface;

// The file chooser of the window system. UI thread.
class WindowOpenSaveDialog : public OpenSaveDialog {
public:
    WindowOpenSaveDialog(WindowInterface& ui, bool saves) : OpenSaveDialog(saves), ui_(ui) {}

    bool run() override;

    // Splits "description|pattern|description|pattern"; a description without a pattern is dropped.
    static std::vector<native::FileFilter> parseFilter(const std::string& filter);

private:
    WindowInterface& ui_;
};

}  // namespace gui
