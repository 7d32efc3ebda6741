#pragma once

#include <atomic>
#include <semaphore>
#include <thread>

class GenericPlugin;

// A plug-in instance's own non-audio thread for hosts that give it none: the audio thread wakes it
// (without blocking or allocating) when the plug-in deferred work (a MIDI program change's preset
// load) or, when asked for, when changes made on the audio thread wait to be reported. It then
// performs the work and delivers the reports, whether or not an editor is open.
class PluginWorker {
public:
    enum Duties { DeferredWork = 1, ParameterReports = 2 };

    // [ui] duties: a combination of Duties.
    PluginWorker(GenericPlugin& plugin, int duties);
    // [ui] Stops the thread.
    ~PluginWorker();
    PluginWorker(const PluginWorker&) = delete;
    PluginWorker& operator=(const PluginWorker&) = delete;

    // [ui] Starts and stops the thread; stop runs no more work once it returns. Both may be called
    // again.
    void start();
    void stop();
    // [audio] After a block: wakes the thread when the plug-in has something for it.
    void wakeIfNeeded();

private:
    void run();

    GenericPlugin& plugin_;
    const int duties_;
    std::thread thread_;
    std::counting_semaphore<> wake_{0};
    std::atomic<bool> woken_{false};
    std::atomic<bool> stopping_{false};
};
