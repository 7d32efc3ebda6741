#include "gui/native/WindowOpenSaveDialog.h"

#include "gui/native/WindowInterface.h"

namespace gui {

std::vector<native::FileFilter> WindowOpenSaveDialog::parseFilter(const std::string& filter) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= filter.size() && !filter.empty()) {
        const size_t bar = filter.find('|', start);
        parts.push_back(filter.substr(start, bar == std::string::npos ? std::string::npos : bar - start));
        if (bar == std::string::npos) break;
        start = bar + 1;
    }
    std::vector<native::FileFilter> filters;
    for (size_t i = 0; i + 1 < parts.size(); i += 2) filters.push_back({parts[i], parts[i + 1]});
    return filters;
}

bool WindowOpenSaveDialog::run() {
    if (!ui_.isUiThread()) return false;
    native::FileChooserRequest request;
    request.save = saves();
    request.filters = parseFilter(filter);
    request.initialFolder = initialFolder;
    request.initialName = path;
    request.defaultExtension = defaultExtension;
    request.confirmOverwrite = saves();
    std::string chosen;
    const bool ok =
        ui_.runModal([&] { return ui_.windowSystem().chooseFile(ui_.window(), request, chosen); });
    if (!ok || chosen.empty()) return false;
    path = chosen;
    return true;
}

}  // namespace gui
