#pragma once

#include <string>

class LorimanePlugin;

// The application's last state: a full preset file per client name in the application-data folder,
// "$XDG_DATA_HOME/Brixholde/Lorimane 2/Standalone/<client>.bxp", beside it "<client>.preset" with
// the current preset's name, path and modified mark (one per line), each written atomically when
// the application closes and read when it starts. [ui]
class StandaloneState {
public:
    // The plug-in's version names the folder: call once an instance exists.
    explicit StandaloneState(const std::string& clientName);

    const std::string& path() const { return path_; }
    bool exists() const;
    // Loads the stored state; false with a message, and no parameter changed, when it cannot be
    // read. An unreadable file is moved aside (".unreadable") so that the next save cannot destroy
    // it. Without a readable preset record the values still load, under the name they had.
    bool restore(LorimanePlugin& plugin, std::string& error);
    // Writes every parameter atomically; false with a message when the file could not be written.
    bool save(LorimanePlugin& plugin, std::string& error);

private:
    std::string recordPath() const;

    std::string path_;
};
