#pragma once

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

// A child process with its own environment and output file, in a process group of its own, ended
// (and reaped) with the test.
class Child {
public:
    Child(const std::vector<std::string>& args, const std::vector<std::string>& environment, const std::string& input = "",
          const std::string& log = "/dev/null") {
        pid_ = fork();
        if (pid_ != 0) return;
        setpgid(0, 0);
        for (const std::string& e : environment) putenv(const_cast<char*>(e.c_str()));
        if (!input.empty()) freopen(input.c_str(), "r", stdin);
        freopen(log.c_str(), "w", stdout);
        freopen(log.c_str(), "a", stderr);
        std::vector<char*> argv;
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    ~Child() { stop(); }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    pid_t pid() const { return pid_; }
    bool running() const { return pid_ > 0; }
    // Sends a signal to the child alone (not its group).
    void signal(int number) const {
        if (pid_ > 0) kill(pid_, number);
    }
    // Asks the child to end, and kills it after the grace period.
    void stop(int graceSeconds = 1) {
        if (pid_ <= 0) return;
        kill(-pid_, SIGTERM);
        for (int i = 0; i < graceSeconds * 50 && waitpid(pid_, nullptr, WNOHANG) == 0; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        kill(-pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }
    // Waits for the child to end by itself; answers its exit status, or -1 after the timeout (the
    // child then still runs) or when a signal ended it.
    int wait(int seconds) {
        for (int i = 0; i < seconds * 50; ++i) {
            int status;
            if (waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return -1;
    }

private:
    pid_t pid_ = -1;
};

inline bool onPath(const char* program) {
    std::string command = std::string("command -v ") + program + " >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}

// Runs a shell command with the variables set; answers its exit status.
inline int runWith(const std::vector<std::string>& environment, const std::string& command) {
    std::string line;
    for (const std::string& e : environment) line += e + " ";
    return std::system((line + command + " >/dev/null 2>&1").c_str());
}

// Polls the condition every 20 ms until it holds or the time is up; answers whether it held.
template <typename Condition>
bool waitFor(Condition condition, int seconds) {
    for (int i = 0; i < seconds * 50; ++i) {
        if (condition()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return condition();
}

// A JACK server on its dummy backend under a name of its own (the test's process id and a tag), so
// that tests never meet another run's server.
class DummyJackServer {
public:
    DummyJackServer(const std::string& tag, const std::string& log, int rate = 48000, int period = 256)
        : name_("lorimane" + std::to_string(getpid()) + "_" + tag),
          environment_{"JACK_DEFAULT_SERVER=" + name_, "JACK_NO_AUDIO_RESERVATION=1"},
          server_({"jackd", "--no-realtime", "-n", name_, "-d", "dummy", "-r", std::to_string(rate), "-p",
                   std::to_string(period)},
                  environment_, "", log) {
        started_ = runWith(environment_, "jack_wait -w -t 5") == 0;
    }
    // A server that is killed leaves its registration behind: give it time to end by itself.
    ~DummyJackServer() { stop(); }
    void stop() { server_.stop(10); }

    bool started() const { return started_; }
    const std::string& name() const { return name_; }
    // JACK_DEFAULT_SERVER naming this server, for the clients started for it.
    const std::vector<std::string>& environment() const { return environment_; }

private:
    std::string name_;
    std::vector<std::string> environment_;
    Child server_;
    bool started_ = false;
};

// Sample positions where the signal rises through the threshold after at least `quiet` samples of
// quiet (480: 10 ms at 48 kHz).
inline std::vector<size_t> onsets(const std::vector<float>& s, float threshold, size_t quiet = 480) {
    std::vector<size_t> found;
    size_t still = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        if (std::fabs(s[i]) >= threshold && still >= quiet) found.push_back(i);
        still = std::fabs(s[i]) < threshold ? still + 1 : 0;
    }
    return found;
}
