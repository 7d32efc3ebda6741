#include "XvfbServer.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

namespace gui::test {

namespace {

std::string findProgram(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/bin:/bin";
    size_t start = 0;
    while (start <= dirs.size()) {
        const size_t colon = dirs.find(':', start);
        const std::string dir = dirs.substr(start, colon == std::string::npos ? std::string::npos : colon - start);
        const std::string candidate = (dir.empty() ? "." : dir) + "/" + name;
        if (access(candidate.c_str(), X_OK) == 0) return candidate;
        if (colon == std::string::npos) break;
        start = colon + 1;
    }
    return {};
}

std::vector<char*> argvOf(const std::vector<std::string>& args) {
    std::vector<char*> out;
    for (const std::string& a : args) out.push_back(const_cast<char*>(a.c_str()));
    out.push_back(nullptr);
    return out;
}

}  // namespace

bool XvfbServer::haveProgram(const std::string& name) {
    return !findProgram(name).empty();
}

XvfbServer::~XvfbServer() {
    stop();
}

bool XvfbServer::start(std::string& whyNot, int width, int height) {
    const std::string xvfb = findProgram("Xvfb");
    if (xvfb.empty()) {
        whyNot = "Xvfb is not installed";
        return false;
    }
    int fds[2];
    if (pipe(fds) != 0) {
        whyNot = "no pipe";
        return false;
    }
    const std::string fdText = std::to_string(fds[1]);
    const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
    const std::vector<std::string> args = {xvfb, "-displayfd", fdText, "-screen", "0", screen, "-nolisten", "tcp",
                                           "-noreset"};
    std::vector<char*> argv = argvOf(args);
    pid_ = fork();
    if (pid_ == 0) {
        // The server goes with the test, however the test ends.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        close(fds[0]);
        const int null = open("/dev/null", O_RDWR);
        dup2(null, 0);
        dup2(null, 1);
        dup2(null, 2);
        execv(xvfb.c_str(), argv.data());
        _exit(127);
    }
    close(fds[1]);
    if (pid_ < 0) {
        close(fds[0]);
        whyNot = "fork failed";
        return false;
    }
    // The server writes its display number once it accepts connections.
    std::string number;
    pollfd p{fds[0], POLLIN, 0};
    while (poll(&p, 1, 10000) > 0) {
        char buffer[16];
        const ssize_t n = read(fds[0], buffer, sizeof buffer);
        if (n <= 0) break;
        number.append(buffer, static_cast<size_t>(n));
        if (number.find('\n') != std::string::npos) break;
    }
    close(fds[0]);
    while (!number.empty() && (number.back() == '\n' || number.back() == ' ')) number.pop_back();
    if (number.empty()) {
        stop();
        whyNot = "Xvfb did not start";
        return false;
    }
    display_ = ":" + number;
    return true;
}

void XvfbServer::stop() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = -1;
}

int XvfbServer::run(const std::vector<std::string>& args) const {
    const std::string program = findProgram(args.at(0));
    if (program.empty()) return -1;
    std::vector<char*> argv = argvOf(args);
    const std::string env = "DISPLAY=" + display_;
    const pid_t pid = fork();
    if (pid == 0) {
        setenv("DISPLAY", display_.c_str(), 1);
        const int null = open("/dev/null", O_RDWR);
        dup2(null, 1);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    if (pid < 0) return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool XvfbServer::xdotool(const std::vector<std::string>& args) const {
    std::vector<std::string> argv = {"xdotool"};
    argv.insert(argv.end(), args.begin(), args.end());
    return run(argv) == 0;
}

}  // namespace gui::test
