#include "persistence/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <fstream>
#include <string>

namespace {
// Creates a temporary file beside path that no other writer uses; -1 when none can be made. A new
// target gets the usual permissions (0666 less the umask, applied by the system), an existing one
// keeps its own.
int createTemporary(const std::string& path, std::string& name) {
    static std::atomic<unsigned> sequence{0};
    struct stat existing;
    bool replace = ::stat(path.c_str(), &existing) == 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = path + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(sequence.fetch_add(1));
        int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return -1;
        }
        if (replace && ::fchmod(fd, existing.st_mode & 07777) != 0) {
            ::close(fd);
            ::unlink(name.c_str());
            return -1;
        }
        return fd;
    }
    return -1;
}
}  // namespace

bool writeFileAtomically(const std::string& path, std::string_view bytes) {
    if (path.empty()) return false;
    std::string name;
    int fd = createTemporary(path, name);
    if (fd < 0) return false;
    bool ok = true;
    std::size_t written = 0;
    while (ok && written < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0)
            ok = false;
        else
            written += static_cast<std::size_t>(n);
    }
    ok = ok && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    ok = ok && ::rename(name.c_str(), path.c_str()) == 0;
    if (!ok) ::unlink(name.c_str());
    return ok;
}

bool readWholeFile(const std::string& path, std::string& bytes, std::size_t maxBytes) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    file.seekg(0, std::ios::end);
    std::streamoff size = file.tellg();
    if (size < 0 || static_cast<unsigned long long>(size) > maxBytes) return false;
    file.seekg(0, std::ios::beg);
    std::string content(static_cast<std::size_t>(size), '\0');
    if (size > 0 && !file.read(content.data(), size)) return false;
    bytes = std::move(content);
    return true;
}
