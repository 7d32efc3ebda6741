#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

namespace gui::test {

// An X server of our own for one test: Xvfb on a display it picks itself (-displayfd), stopped
// and reaped when the object goes.
class XvfbServer {
public:
    XvfbServer() = default;
    ~XvfbServer();
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    // False with the reason when no server could be started.
    bool start(std::string& whyNot, int width = 640, int height = 480);
    void stop();
    const std::string& display() const { return display_; }

    // Runs a program with DISPLAY set to this server; answers its exit status (-1: not run).
    int run(const std::vector<std::string>& argv) const;
    // xdotool with the arguments; false when it failed.
    bool xdotool(const std::vector<std::string>& args) const;

    static bool haveProgram(const std::string& name);

private:
    pid_t pid_ = -1;
    std::string display_;
};

}  // namespace gui::test
