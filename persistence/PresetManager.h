#pragma once

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "persistence/PresetFolder.h"

// The root of a preset tree plus further top-level folders, flattened into the one ordered list
// that drives the preset menu, the previous/next buttons and MIDI program changes.
//
// Threads: the editor rescans and browses ([ui]) while a host's worker or library thread looks up
// the preset of a program change or a name ([worker]). Rescans and lookups hold the manager's lock;
// the lookups for other threads answer copies (recordByProgram, recordByName), since a rescan on the
// editor's thread replaces the entries. Operations answering entry pointers are [ui]: the pointers
// stay valid until that thread rescans. Never on the audio thread.
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
    // [any] but audio: copies of byProgram's and findByName's entries.
    std::optional<GenericPlugin::PresetRecord> recordByProgram(int bank, int program);
    std::optional<GenericPlugin::PresetRecord> recordByName(const std::string& name);
    void addExtraFolder(const std::string& path, const std::string& displayName);
    const std::vector<std::unique_ptr<PresetFolder>>& extraFolders() const { return extraFolders_; }
    int mainCount() const { return mainCount_; }

    // Unpacks "ApplicationData" into the application-data folder and "FactoryPresets" into this
    // manager's folder, then rescans. Without overwrite, existing files are kept. Answers whether
    // the presets were unpacked completely. The first form reads the embedded bundle.
    bool installFactoryContent(bool overwrite, const std::string& applicationData);
    bool installFactoryContent(bool overwrite, const std::string& applicationData, std::string_view bundle);

private:
    // Recursive: rescans and lookups call each other.
    std::recursive_mutex mutex_;
    std::vector<std::unique_ptr<PresetFolder>> extraFolders_;
    int mainCount_ = 0;
};
