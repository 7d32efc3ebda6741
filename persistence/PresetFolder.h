#pragma once

#include <memory>
#include <string>
#include <vector>

#include "framework/GenericPlugin.h"

class MillisecondClock;

// One preset file as the menus, the previous/next buttons and MIDI program changes see it.
struct PresetEntry {
    std::string path;   // full path of the file
    std::string name;   // the file name without extension
    std::string label;  // "(bank/program) name" once numbered
    int bank = -1;
    int program = -1;

    GenericPlugin::PresetRecord record() const { return {name, path}; }
};

// The scanned image of one folder tree: the files with one extension and the subfolders, each
// sorted. A folder whose name begins with "_" sorts before the others and is shown without the
// underscore. Scanning is bounded by a time budget: folders reached after it is spent stay empty.
// UI thread.
class PresetFolder {
public:
    static constexpr int kScanBudgetMs = 2500;

    PresetFolder(const std::string& path, std::string extension, int budgetMs = kScanBudgetMs,
                 const MillisecondClock* clock = nullptr);
    virtual ~PresetFolder();
    PresetFolder(const PresetFolder&) = delete;
    PresetFolder& operator=(const PresetFolder&) = delete;

    // Forgets the previous content and scans the path again.
    void scan(const std::string& path, int budgetMs);

    const std::string& path() const { return path_; }
    const std::string& displayName() const { return displayName_; }
    void setDisplayName(std::string name) { displayName_ = std::move(name); }
    bool sortsFirst() const { return sortsFirst_; }
    const std::string& extension() const { return extension_; }
    const std::vector<std::unique_ptr<PresetFolder>>& subfolders() const { return subfolders_; }
    const std::vector<std::unique_ptr<PresetEntry>>& entries() const { return entries_; }
    // True when the folder holds neither entries nor subfolders.
    bool empty() const { return entries_.empty() && subfolders_.empty(); }

    // Depth first: the entries of the subfolders (in order, recursively), then the folder's own.
    void appendEntries(std::vector<PresetEntry*>& list) const;

protected:
    std::string extension_;
    const MillisecondClock* clock_;

private:
    std::string path_;
    std::string displayName_;
    bool sortsFirst_ = false;
    std::vector<std::unique_ptr<PresetFolder>> subfolders_;
    std::vector<std::unique_ptr<PresetEntry>> entries_;
};
