#include "gui/native/WindowSelectFolderDialog.h"

#include "gui/native/WindowInterface.h"

namespace gui {

bool WindowSelectFolderDialog::run() {
    if (!ui_.isUiThread()) return false;
    native::FolderChooserRequest request;
    request.title = title;
    if (request.title.empty() || request.title.back() != ':') request.title += ':';
    request.initialFolder = path;
    // The root folder keeps its separator.
    while (request.initialFolder.size() > 1 && request.initialFolder.back() == kSeparator)
        request.initialFolder.pop_back();
    std::string chosen;
    const bool ok =
        ui_.runModal([&] { return ui_.windowSystem().chooseFolder(ui_.window(), request, chosen); });
    if (!ok || chosen.empty()) return false;
    if (chosen.back() != kSeparator) chosen += kSeparator;
    path = chosen;
    return true;
}

}  // namespace gui
