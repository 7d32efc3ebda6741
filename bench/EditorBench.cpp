// What the editor costs: an open editor left alone (the share of one core it keeps using, in
// software and through OpenGL), a full repaint of the largest layout, and opening it. Each figure
// is also given as a fraction of what the editor may cost at most ("of_budget": 1 is the limit).
#include <benchmark/benchmark.h>

#include <GL/gl.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <thread>

#include "engine/LorimaneSettings.h"
#include "gui/Canvas.h"
#include "gui/RootControl.h"
#include "gui/gl/AcceleratedRenderer.h"
#include "gui/gl/GlRenderer.h"
#include "gui/native/WindowInterface.h"
#include "gui/native/egl/EglContext.h"
#include "gui/native/headless/HeadlessWindowSystem.h"
#include "interface/EditorHost.h"
#include "interface/LorimaneEditor.h"
#include "persistence/TemporaryHome.h"
#include "product/ProductPlugin.h"

namespace {

constexpr double kIdleBudgetPercent = 1.0;
constexpr double kRepaintBudgetMs = 4.0;
constexpr double kOpenBudgetMs = 150.0;

// Settings, presets and documents of the plug-ins made here stay out of the user's home.
void useBenchHome() {
    static TemporaryHome home("lorimane-editor-bench", {.createFolders = true});
}

class AcceptingHost : public EditorHost {
public:
    bool resizeRequested(int, int) override { return true; }
};

// One open editor over a product plug-in in a headless window.
struct EditorSession {
    EditorSession(int layout, bool modulation, bool accelerated) {
        useBenchHome();
        plugin = makeProductPlugin();
        if (auto* settings = dynamic_cast<LorimaneSettings*>(&plugin->settings())) {
            settings->interfaceLayout = layout;
            settings->showModulation = modulation;
        }
        const int w = plugin->getEditorWidth(), h = plugin->getEditorHeight();
        ui = std::make_unique<gui::WindowInterface>(system, nullptr, gui::Rect{0, 0, w, h});
        if (accelerated) this->accelerated = gui::enableAcceleration(*ui, gui::native::EglContext::createHeadless(w, h));
        editor = createLorimaneEditor(*plugin, *ui, host);
        system.pump();
    }
    ~EditorSession() {
        editor.reset();
        ui.reset();
    }
    gui::native::HeadlessWindow& window() { return static_cast<gui::native::HeadlessWindow&>(ui->window()); }
    gui::RootControl& root() { return *ui->getRootControl(); }

    gui::native::HeadlessWindowSystem system;
    std::unique_ptr<GenericPlugin> plugin;
    std::unique_ptr<gui::WindowInterface> ui;
    AcceptingHost host;
    std::unique_ptr<GenericPluginInterface> editor;
    bool accelerated = false;
};

double processCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// An open editor nobody touches, its timers run in real time for a few seconds: the share of one
// core the process spends meanwhile (the render thread's included).
void BM_EditorIdle(benchmark::State& state) {
    const bool accelerated = state.range(0) != 0;
    EditorSession session(0, false, accelerated);
    if (accelerated && !session.accelerated) {
        state.SkipWithError("no OpenGL context");
        return;
    }
    constexpr int kTickMs = 10, kSeconds = 3;
    auto runFor = [&](int seconds) {
        for (int t = 0; t < seconds * 1000 / kTickMs; ++t) {
            std::this_thread::sleep_for(std::chrono::milliseconds(kTickMs));
            session.system.advance(kTickMs);
        }
    };
    // Past the welcome hint's fade, and a second of real time for what runs once after opening
    // (the OpenGL driver compiles its shaders while the first frames are drawn).
    session.system.advance(6000);
    runFor(1);
    double share = 0, frames = 0;
    auto framesShown = [&] {
        if (auto* renderer = dynamic_cast<gui::AcceleratedRenderer*>(session.ui->renderer()))
            return renderer->thread().framesDrawn();
        return session.window().presentCount();
    };
    for (auto _ : state) {
        const int frames0 = framesShown();
        const double cpu0 = processCpuSeconds();
        const auto wall0 = std::chrono::steady_clock::now();
        runFor(kSeconds);
        const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wall0).count();
        share = 100.0 * (processCpuSeconds() - cpu0) / wall;
        frames = (framesShown() - frames0) / wall;
    }
    state.counters["cpu_percent"] = share;
    state.counters["frames_per_s"] = frames;
    state.counters["of_budget"] = share / kIdleBudgetPercent;
}
BENCHMARK(BM_EditorIdle)->ArgName("opengl")->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond);

// A full repaint of the Wide layout with the modulation section shown, in software (into the
// window's back buffer and presented) and through OpenGL (the renderer's frame, finished).
void BM_EditorFullRepaint(benchmark::State& state) {
    const bool accelerated = state.range(0) != 0;
    EditorSession session(1, true, false);
    session.system.advance(6000);
    gui::RootControl& root = session.root();
    std::unique_ptr<gui::native::EglContext> context;
    gui::GlRenderer renderer;
    if (accelerated) {
        context = gui::native::EglContext::createHeadless(root.width(), root.height());
        if (!context || !context->makeCurrent() || !renderer.initialise(*context)) {
            state.SkipWithError("no OpenGL context");
            return;
        }
    }
    double totalMs = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        if (accelerated) {
            renderer.beginFrame(root.width(), root.height());
            gui::Canvas canvas(&renderer);
            canvas.setOrigin({0, 0});
            canvas.setClip(root.localRect());
            root.paintTree(canvas);
            renderer.endFrame();
            glFinish();
        } else {
            root.invalidateAll();
            session.window().deliverPaint();
        }
        totalMs += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    }
    if (accelerated) {
        renderer.releaseTextures();
        context->release();
    }
    const double ms = totalMs / static_cast<double>(state.iterations());
    state.counters["ms"] = ms;
    state.counters["of_budget"] = ms / kRepaintBudgetMs;
    state.SetLabel(std::to_string(root.width()) + "x" + std::to_string(root.height()));
}
BENCHMARK(BM_EditorFullRepaint)->ArgName("opengl")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Opening the editor over a running plug-in: the window, the editor and its first frame shown (in
// software, or drawn by the render thread through OpenGL in a new context).
void BM_EditorOpen(benchmark::State& state) {
    const bool accelerated = state.range(0) != 0;
    useBenchHome();
    std::unique_ptr<GenericPlugin> plugin = makeProductPlugin();
    gui::native::HeadlessWindowSystem system;
    AcceptingHost host;
    double totalMs = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const int w = plugin->getEditorWidth(), h = plugin->getEditorHeight();
        auto ui = std::make_unique<gui::WindowInterface>(system, nullptr, gui::Rect{0, 0, w, h});
        if (accelerated && !gui::enableAcceleration(*ui, gui::native::EglContext::createHeadless(w, h))) {
            state.SkipWithError("no OpenGL context");
            break;
        }
        auto editor = createLorimaneEditor(*plugin, *ui, host);
        system.pump();
        if (auto* renderer = dynamic_cast<gui::AcceleratedRenderer*>(ui->renderer()))
            while (renderer->thread().framesDrawn() < 1) std::this_thread::sleep_for(std::chrono::microseconds(200));
        totalMs += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        state.PauseTiming();
        editor.reset();
        ui.reset();
        state.ResumeTiming();
    }
    const double ms = totalMs / static_cast<double>(std::max<benchmark::IterationCount>(state.iterations(), 1));
    state.counters["ms"] = ms;
    state.counters["of_budget"] = ms / kOpenBudgetMs;
}
BENCHMARK(BM_EditorOpen)->ArgName("opengl")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
