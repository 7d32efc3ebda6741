#pragma once

#include <string>

#include "core/Property.h"

namespace gui {

// The platform's file chooser, for opening or for saving.
class OpenSaveDialog {
public:
    explicit OpenSaveDialog(bool saves) : saves_(saves) {}
    virtual ~OpenSaveDialog() = default;

    // The initial file name, and the chosen file after a successful run.
    Property<std::string> path;
    Property<std::string> initialFolder;
    // "|"-separated pairs of description and pattern, e.g. "Presets|*.bxp|All files|*".
    Property<std::string> filter;
    Property<std::string> defaultExtension;

    bool saves() const { return saves_; }

    // Runs the chooser modally. True when the user chose a file (now in path); a cancelled chooser
    // answers false and leaves path unchanged. UI thread.
    virtual bool run() = 0;

private:
    bool saves_;
};

}  // namespace gui
