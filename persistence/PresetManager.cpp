#include "persistence/PresetManager.h"

#include <iterator>

#include "persistence/FactoryBundle.h"
#include "streams/PathFunctions.h"
#include "streams/Resource.h"

PresetManager::PresetManager(const std::string& path, std::string extension, const MillisecondClock* clock)
    : PresetFolder(path, std::move(extension), kScanBudgetMs, clock) {}

PresetManager::~PresetManager() = default;

void PresetManager::setFolder(const std::string& path) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    scan(path, kScanBudgetMs);
    std::vector<PresetEntry*> list = flatten();
    for (std::size_t i = 0; i < list.size(); ++i) {
        PresetEntry* e = list[i];
        e->program = static_cast<int>(i % kProgramsPerBank);
        e->bank = static_cast<int>(i / kProgramsPerBank);
        e->label = "(" + std::to_string(e->bank) + "/" + std::to_string(e->program) + ") " + e->name;
    }
}

std::vector<PresetEntry*> PresetManager::flatten() {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    std::vector<PresetEntry*> list;
    appendEntries(list);
    mainCount_ = static_cast<int>(list.size());
    for (const auto& folder : extraFolders_) folder->appendEntries(list);
    return list;
}

PresetEntry* PresetManager::findByName(const std::string& name) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    for (PresetEntry* e : flatten())
        if (e->name == name) return e;
    return nullptr;
}

PresetEntry* PresetManager::neighbour(const std::string& path, int direction) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    std::vector<PresetEntry*> list = flatten();
    int n = static_cast<int>(list.size());
    int i = 0;
    while (i < n && list[i]->path != path) ++i;
    if (i == n) return nullptr;
    int j = direction == Previous ? (i + n - 1) % n : direction == Next ? (i + 1) % n : i;
    // Inside the root tree, stepping wraps within the root tree instead of entering the extra folders.
    if (i < mainCount_ && j >= mainCount_) {
        if (direction == Next)
            j = 0;
        else if (direction == Previous)
            j = mainCount_ - 1;
    }
    return list[j];
}

PresetEntry* PresetManager::byProgram(int bank, int program) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    if (bank < 0 || program < 0 || program >= kProgramsPerBank) return nullptr;
    std::vector<PresetEntry*> list = flatten();
    long long position = static_cast<long long>(bank) * kProgramsPerBank + program;
    return position < static_cast<long long>(list.size()) ? list[static_cast<std::size_t>(position)]
                                                          : nullptr;
}

std::optional<GenericPlugin::PresetRecord> PresetManager::recordByProgram(int bank, int program) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    if (PresetEntry* entry = byProgram(bank, program)) return entry->record();
    return std::nullopt;
}

std::optional<GenericPlugin::PresetRecord> PresetManager::recordByName(const std::string& name) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    if (PresetEntry* entry = findByName(name)) return entry->record();
    return std::nullopt;
}

void PresetManager::addExtraFolder(const std::string& path, const std::string& displayName) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    auto folder = std::make_unique<PresetFolder>(path, extension_, kScanBudgetMs, clock_);
    if (!displayName.empty()) folder->setDisplayName(displayName);
    extraFolders_.push_back(std::move(folder));
}

bool PresetManager::installFactoryContent(bool overwrite, const std::string& applicationData) {
    if (!resourceExists(kFactoryBundle)) return false;
    std::unique_ptr<std::istream> stream = openResource(kFactoryBundle);
    std::string bytes((std::istreambuf_iterator<char>(*stream)), std::istreambuf_iterator<char>());
    return installFactoryContent(overwrite, applicationData, bytes);
}

bool PresetManager::installFactoryContent(bool overwrite, const std::string& applicationData,
                                          std::string_view bundle) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    FactoryBundle content(bundle);
    content.unpackDirectory("ApplicationData", applicationData, overwrite);
    bool presets = !path().empty() && content.unpackDirectory("FactoryPresets", path(), overwrite);
    setFolder(path());
    return presets;
}
