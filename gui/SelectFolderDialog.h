#pragma once

#include <string>

#include "core/Property.h"

namespace gui {

// The platform's folder chooser.
class SelectFolderDialog {
public:
    virtual ~SelectFolderDialog() = default;

    // The initial folder, and the chosen folder (ending in the separator) after a successful run.
    Property<std::string> path;
    Property<std::string> title;

    // Runs the chooser modally; false when cancelled, path then unchanged. UI thread.
    virtual bool run() = 0;
};

}  // namespace gui
