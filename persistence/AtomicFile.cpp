#include "persistence/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <vector>

bool writeFileAtomically(const std::string& path, std::string_view bytes) {
    if (path.empty()) return false;
    std::string pattern = path + ".tmp-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    int fd = ::mkstemp(name.data());
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
    // mkstemp creates the file readable by its owner only; stored files follow the umask like any other.
    mode_t mask = ::umask(0);
    ::umask(mask);
    ok = ok && ::fchmod(fd, 0666 & ~mask) == 0;
    ok = ok && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    ok = ok && ::rename(name.data(), path.c_str()) == 0;
    if (!ok) ::unlink(name.data());
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
