#include "platform/FileEnumerator.h"

#include <dirent.h>
#include <fnmatch.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>

std::unique_ptr<FileEnumerator> FileEnumerator::create(const std::string& pattern, int mode) {
    return std::make_unique<PosixFileEnumerator>(pattern, mode);
}

PosixFileEnumerator::PosixFileEnumerator(std::string pattern, int mode) : pattern_(std::move(pattern)), mode_(mode) {}

void PosixFileEnumerator::search() {
    size_t slash = pattern_.rfind('/');
    std::string folder = slash == std::string::npos ? std::string(".") : pattern_.substr(0, slash + 1);
    std::string namePattern = slash == std::string::npos ? pattern_ : pattern_.substr(slash + 1);

    DIR* dir = opendir(folder.c_str());
    if (!dir) return;
    while (dirent* entry = readdir(dir)) {
        std::string name = entry->d_name;
        if (fnmatch(namePattern.c_str(), name.c_str(), FNM_CASEFOLD) != 0) continue;
        struct stat info;
        if (fstatat(dirfd(dir), entry->d_name, &info, 0) != 0) continue;
        bool isDirectory = S_ISDIR(info.st_mode);
        if (isDirectory != (mode_ == Directories)) continue;
        names_.push_back(std::move(name));
    }
    closedir(dir);
    // Directory order is arbitrary on most file systems; name order makes listings repeatable.
    std::sort(names_.begin(), names_.end());
}

bool PosixFileEnumerator::next() {
    if (!started_) {
        started_ = true;
        search();
    }
    if (position_ >= names_.size()) return false;
    current_ = names_[position_++];
    return true;
}
