#include "gui/native/WindowSystem.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <string_view>
#include <system_error>

extern char** environ;

namespace gui::native {

namespace {

bool onPath(const char* program) {
    const char* path = std::getenv("PATH");
    if (!path) return false;
    for (std::string_view rest = path; !rest.empty();) {
        const size_t colon = rest.find(':');
        const std::string_view folder = rest.substr(0, colon);
        rest = colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
        const std::filesystem::path candidate =
            std::filesystem::path(folder.empty() ? std::string_view(".") : folder) / program;
        if (::access(candidate.c_str(), X_OK) == 0) return true;
    }
    return false;
}

bool startsWithNoCase(const std::string& text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
    return true;
}

}  // namespace

void WindowSystem::cancelPopupMenu(Window&) {}

bool WindowSystem::openDocument(const std::string& path) {
    const std::string document = openableDocument(path);
    return !document.empty() && launchDesktopOpener(document);
}

bool WindowSystem::openWebAddress(const std::string& address) {
    return isWebAddress(address) && launchDesktopOpener(address);
}

std::string openableDocument(const std::string& path) {
    std::error_code error;
    if (path.empty() || !std::filesystem::is_regular_file(path, error)) return {};
    std::filesystem::path absolute = std::filesystem::absolute(path, error);
    return error ? std::string() : absolute.lexically_normal().string();
}

bool isWebAddress(const std::string& address) {
    const size_t host = startsWithNoCase(address, "https://")  ? 8
                        : startsWithNoCase(address, "http://") ? 7
                                                               : 0;
    if (host == 0 || address.size() == host) return false;
    for (char c : address)
        if (static_cast<unsigned char>(c) <= ' ' || c == 0x7F) return false;
    return true;
}

bool launchDesktopOpener(const std::string& target) {
    if (target.empty() || target[0] == '-' || !onPath("xdg-open")) return false;
    // The shell only puts xdg-open in the background and exits, so the wait below is short and
    // leaves no child behind, however long the handler runs. The target stays "$1": the shell
    // never parses it.
    const char* script = "xdg-open \"$1\" </dev/null >/dev/null 2>&1 &";
    char* const argv[] = {const_cast<char*>("sh"),           const_cast<char*>("-c"),
                          const_cast<char*>(script),         const_cast<char*>("sh"),
                          const_cast<char*>(target.c_str()), nullptr};
    pid_t pid = 0;
    if (posix_spawn(&pid, "/bin/sh", nullptr, nullptr, argv, environ) != 0) return false;
    // A host that reaps every child itself leaves nothing to wait for (ECHILD): count that as started.
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace gui::native
