#pragma once

#include <memory>
#include <string>
#include <vector>

// Walks the entries of one folder that match a pattern: a folder path followed by a name pattern
// with '*' wildcards, e.g. "/presets/*" or "/presets/*.bxp". Names match without regard to case.
// Mode Directories lists only folders ("." and ".." included, callers skip them); any other mode
// lists only files. UI thread.
class FileEnumerator {
public:
    enum Mode { Files = 0, Directories = 1 };

    virtual ~FileEnumerator() = default;
    // Moves to the next matching entry; false when there is none.
    virtual bool next() = 0;
    virtual std::string currentName() const = 0;

    static std::unique_ptr<FileEnumerator> create(const std::string& pattern, int mode);
};

class PosixFileEnumerator : public FileEnumerator {
public:
    PosixFileEnumerator(std::string pattern, int mode);
    bool next() override;
    std::string currentName() const override { return current_; }

private:
    void search();

    std::string pattern_;
    int mode_;
    std::string current_;
    bool started_ = false;
    std::vector<std::string> names_;  // matching entries in name order, read on the first next()
    size_t position_ = 0;
};
