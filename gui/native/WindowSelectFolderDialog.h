#pragma once

#include "gui/SelectFolderDialog.h"

namespace gui {

class WindowInterface;

// The folder chooser of the window system. UI thread.
class WindowSelectFolderDialog : public SelectFolderDialog {
public:
    static constexpr char kSeparator = '/';

    explicit WindowSelectFolderDialog(WindowInterface& ui) : ui_(ui) {}

    bool run() override;

private:
    WindowInterface& ui_;
};

}  // namespace gui
