#include "persistence/PresetFolder.h"

#include <algorithm>

#include "streams/PathFunctions.h"
#include "platform/FileEnumerator.h"
#include "platform/IntervalTimer.h"

PresetFolder::PresetFolder(const std::string& path, std::string extension, int budgetMs,
                           const MillisecondClock* clock)
    : extension_(std::move(extension)), clock_(clock) {
    scan(path, budgetMs);
}

PresetFolder::~PresetFolder() = default;

void PresetFolder::scan(const std::string& path, int budgetMs) {
    std::unique_ptr<IntervalTimer> timer =
        IntervalTimer::create(clock_ ? *clock_ : MillisecondClock::monotonic());
    subfolders_.clear();
    entries_.clear();
    path_ = addTrailingBackslash(path);
    displayName_ = lastPathComponent(removeTrailingBackslash(path));
    sortsFirst_ = !displayName_.empty() && displayName_[0] == '_';
    if (sortsFirst_) displayName_.erase(0, 1);
    if (path.empty() || budgetMs <= 0) return;

    std::unique_ptr<FileEnumerator> dirs = FileEnumerator::create(path_ + "*", FileEnumerator::Directories);
    while (dirs->next()) {
        std::string name = dirs->currentName();
        if (name == "." || name == "..") continue;
        subfolders_.push_back(
            std::make_unique<PresetFolder>(path_ + name, extension_, budgetMs - timer->elapsedMs(), clock_));
    }
    std::stable_sort(subfolders_.begin(), subfolders_.end(), [](const auto& a, const auto& b) {
        if (a->sortsFirst_ != b->sortsFirst_) return a->sortsFirst_;
        return a->displayName_ < b->displayName_;
    });

    std::unique_ptr<FileEnumerator> files =
        FileEnumerator::create(path_ + "*" + extension_, FileEnumerator::Files);
    while (files->next()) {
        auto entry = std::make_unique<PresetEntry>();
        entry->path = path_ + files->currentName();
        entry->name = fileTitle(entry->path);
        entry->label = entry->name;
        entries_.push_back(std::move(entry));
    }
    std::stable_sort(entries_.begin(), entries_.end(),
                     [](const auto& a, const auto& b) { return a->name < b->name; });
}

void PresetFolder::appendEntries(std::vector<PresetEntry*>& list) const {
    for (const auto& folder : subfolders_) folder->appendEntries(list);
    for (const auto& entry : entries_) list.push_back(entry.get());
}
