// The delay as a standalone JACK application: see README ("The standalone application").

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "engine/LorimanePlugin.h"
#include "framework/PluginWorker.h"
#include "persistence/PersistenceGlobals.h"
#include "product/ProductPlugin.h"
#include "tools/lorimane-preset/PresetFile.h"
#include "tools/lorimane-render/RenderCommand.h"
#include "tools/lorimane/EditorWindow.h"
#include "tools/lorimane/JackSession.h"
#include "tools/lorimane/StandaloneOptions.h"
#include "tools/lorimane/StandaloneProcessor.h"
#include "tools/lorimane/StandaloneState.h"

namespace {

int refuse(const std::string& message) {
    std::fprintf(stderr, "lorimane: %s\n", message.c_str());
    return 2;
}

// Closes a descriptor with its owner.
struct Descriptor {
    int fd = -1;
    ~Descriptor() {
        if (fd >= 0) ::close(fd);
    }
};

// Why the application stops.
enum class Stop { Running, Signal, ServerGone, WindowClosed, DisplayGone };

Stop drain(int signalFd, int shutdownFd) {
    signalfd_siginfo info;
    if (::read(signalFd, &info, sizeof info) == static_cast<ssize_t>(sizeof info)) return Stop::Signal;
    char byte;
    if (::read(shutdownFd, &byte, 1) == 1) return Stop::ServerGone;
    return Stop::Running;
}

}  // namespace

int main(int argc, char** argv) {
    StandaloneOptions options;
    std::string error;
    if (!parseStandaloneOptions(std::vector<std::string>(argv + 1, argv + argc), options, error)) {
        std::fputs(kStandaloneUsage, stderr);
        return refuse(error);
    }
    if (options.help) {
        std::fputs(kStandaloneUsage, stdout);
        return 0;
    }

    // SIGINT and SIGTERM are read from a descriptor by the main loop, never handled asynchronously;
    // the threads started from here on (JACK's, the worker) inherit the mask.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    signal(SIGPIPE, SIG_IGN);
    Descriptor signals{signalfd(-1, &stopSignals, SFD_CLOEXEC | SFD_NONBLOCK)};
    int pipeEnds[2];
    if (signals.fd < 0 || pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0) return refuse("cannot set up signal handling");
    Descriptor shutdownRead{pipeEnds[0]}, shutdownWrite{pipeEnds[1]};

    // The server first: without one nothing else is started and no state is touched.
    std::unique_ptr<JackSession> jack = JackSession::open(options.clientName, shutdownWrite.fd, error);
    if (!jack) return refuse(error);

    std::unique_ptr<GenericPlugin> plugin;
    try {
        plugin = makeProductPlugin();
    } catch (const std::exception& e) {
        return refuse(std::string("the plug-in cannot start: ") + e.what());
    }
    auto* product = dynamic_cast<LorimanePlugin*>(plugin.get());
    if (!product) return refuse("the plug-in cannot save its state");
    StandaloneState state(options.clientName);

    if (!options.preset.empty()) {
        std::string file;
        int kind = -1;
        if (!findPresetFile(options.preset, file, error) || !loadAnyPreset(*product, file, kind, error))
            return refuse("--preset: " + error);
        // The editor shows the preset loaded, unchanged.
        if (kind < 0) plugin->writePresetState(std::filesystem::path(file).stem().string(), file, false);
    } else if (!options.fresh && state.exists() && !state.restore(*product, error)) {
        std::fprintf(stderr, "lorimane: the last state was not restored: %s\n", error.c_str());
    }

    std::unique_ptr<EditorWindow> editor;
    if (options.editor) {
        editor = EditorWindow::open(*plugin, "Lorimane (" + jack->clientName() + ")", error);
        if (!editor) return refuse(error);
    }

    PluginWorker worker(*plugin, PluginWorker::DeferredWork | PluginWorker::ParameterReports);
    worker.start();
    StandaloneProcessor processor(*plugin, worker, jack->sampleRate(), options.tempo);
    if (!jack->activate(processor, error)) return refuse(error);
    if (options.connect && jack->connectPhysicalPorts() == 0)
        std::fprintf(stderr, "lorimane: --connect: the server has no physical ports to connect to\n");
    std::fprintf(stdout, "lorimane: running as JACK client '%s' at %.0f Hz, %d frames; state: %s\n",
                 jack->clientName().c_str(), jack->sampleRate(), jack->bufferSize(), state.path().c_str());
    std::fflush(stdout);

    // Stops processing and saves the state; answers the exit status.
    auto finish = [&](Stop stop) {
        jack->deactivate();
        worker.stop();
        int status = 0;
        if (stop == Stop::ServerGone) {
            std::fprintf(stderr, "lorimane: the JACK server stopped; saving the state and closing\n");
            status = 1;
        } else if (stop == Stop::DisplayGone) {
            std::fprintf(stderr, "lorimane: the connection to the X display was lost; saving the state and closing\n");
            status = 1;
            // The process ends without taking the editor and the plug-in down (that would need the
            // display): the controller map is saved here instead of by the last instance.
            plugin->saveControllerMap();
        }
        if (jack->xruns() > 0) std::fprintf(stderr, "lorimane: %ld xruns while running\n", jack->xruns());
        if (!state.save(*product, error)) {
            std::fprintf(stderr, "lorimane: the state was not saved: %s\n", error.c_str());
            status = 1;
        }
        return status;
    };

    Stop stop = Stop::Running;
    if (editor) {
        auto check = [&] {
            if (Stop s = drain(signals.fd, shutdownRead.fd); s != Stop::Running) {
                stop = s;
                editor->quit();
            }
        };
        editor->watch(signals.fd, check);
        editor->watch(shutdownRead.fd, check);
        // Xlib ends the process when the display goes away; the state is saved first.
        auto displayGone = [&] {
            int status = finish(Stop::DisplayGone);
            std::fflush(nullptr);
            std::_Exit(status);
        };
        EditorWindow::setDisplayLostHandler(displayGone);
        if (!editor->run()) displayGone();
        EditorWindow::setDisplayLostHandler(nullptr);
        if (stop == Stop::Running) stop = Stop::WindowClosed;
    } else {
        pollfd fds[2] = {{signals.fd, POLLIN, 0}, {shutdownRead.fd, POLLIN, 0}};
        while (stop == Stop::Running) {
            if (::poll(fds, 2, -1) > 0) stop = drain(signals.fd, shutdownRead.fd);
        }
    }
    int status = finish(stop);
    editor.reset();
    plugin.reset();  // the last instance saves the MIDI controller map
    jack.reset();
    return status;
}
