#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "persistence/PresetFolder.h"

// The root of a preset tree plus further top-level folders, flattened into the one ordered list
// that drives the preset menu, the previous/next buttons and MIDI program changes. Every operation is
// [ui] [worker]: the editor, or a host's worker delivering a program change (ProgramChangeQueue),
// one thread at a time; the managers have no locks.
class PresetManager : public PresetFolder {
public:
    enum Direction { Previous = 0, Same = 1, Next = 2 };
    static constexpr int kProgramsPerBank = 128;
    // The embedded factory-content bundle.
    static constexpr const char* kFactoryBundle = "WindowsSetupDocs";

    PresetManager(const std::string& path, std::string extension, const MillisecondClock* clock = nullptr);
    ~PresetManager() override;

    // Scans the folder and numbers every entry for MIDI program changes.
    void setFolder(const std::string& path);
    // Root tree first, then each extra folder; sets mainCount.
    std::vector<PresetEntry*> flatten();
    // The first entry whose name equals the text exactly.
    PresetEntry* findByName(const std::string& name);
    PresetEntry* neighbour(const std::string& path, int direction);
    // The flattened entry at program + 128 x bank; null outside the list.
    PresetEntry* byProgram(int bank, int program);
    void addExtraFolder(const std::string& path, const std::string& displayName);
    const std::vector<std::unique_ptr<PresetFolder>>& extraFolders() const { return extraFolders_; }
    int mainCount() const { return mainCount_; }

    // Unpacks "ApplicationData" into the application-data folder and "FactoryPresets" into this
    // manager's folder, then rescans. Without overwrite, existing files are kept. Answers whether
    // the presets were unpacked completely. The first form reads the embedded bundle.
    bool installFactoryContent(bool overwrite, const std::string& applicationData);
    bool installFactoryContent(bool overwrite, const std::string& applicationData, std::string_view bundle);

private:
    std::vector<std::unique_ptr<PresetFolder>> extraFolders_;
    int mainCount_ = 0;
};
