#include "framework/PluginWorker.h"

#include "framework/GenericPlugin.h"

PluginWorker::PluginWorker(GenericPlugin& plugin, int duties) : plugin_(plugin), duties_(duties) {}

PluginWorker::~PluginWorker() { stop(); }

void PluginWorker::start() {
    if (thread_.joinable()) return;
    stopping_ = false;
    woken_ = false;
    thread_ = std::thread([this] { run(); });
}

void PluginWorker::stop() {
    if (!thread_.joinable()) return;
    stopping_ = true;
    wake_.release();
    thread_.join();
    // Wakes the thread released but did not take are dropped with it.
    while (wake_.try_acquire()) {
    }
}

void PluginWorker::wakeIfNeeded() {
    bool work = (duties_ & DeferredWork) && plugin_.deferredWorkPending();
    bool reports = (duties_ & ParameterReports) && plugin_.parameterReportsPending();
    if ((work || reports) && !woken_.exchange(true)) wake_.release();
}

void PluginWorker::run() {
    for (;;) {
        wake_.acquire();
        if (stopping_) return;
        // Cleared before the work is looked at: a hand-off from now on wakes the thread again.
        woken_ = false;
        if (duties_ & ParameterReports) plugin_.deliverParameterReports();
        if ((duties_ & DeferredWork) && plugin_.deferredWorkPending()) plugin_.performDeferredWork();
    }
}
