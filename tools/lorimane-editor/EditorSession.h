#pragma once

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "framework/GenericPlugin.h"
#include "gui/Point.h"
#include "gui/native/WindowMessageHook.h"
#include "interface/EditorHost.h"
#include "tools/lorimane-editor/ScriptedWindowSystem.h"

class AsyncEventQueue;
class GenericPluginInterface;

namespace gui {
class WindowInterface;
namespace native {
class HeadlessWindowSystem;
class X11WindowSystem;
}  // namespace native
}  // namespace gui

// The product's editor over a live plug-in instance, shown as a host shows it: the plug-in runs at a
// sample rate and processes silent blocks as the clock moves, MIDI reaches it through its MIDI
// path, and the editor lives in a window of the headless system (time moves only when told) or of
// the display (real time). Everything runs on the calling thread, the plug-in's blocks included. [ui]
class EditorSession : private EditorHost, private gui::WindowMessageHook {
public:
    struct Options {
        // Unset: the instance's stored layout settings. Set: for this session only; the stored
        // values come back when it ends.
        std::optional<bool> wide;
        std::optional<bool> modulation;
        std::string preset;                 // a file, or a preset's name
        std::vector<std::string> settings;  // "NAME=TEXT", after the preset
        bool hostRefusesResize = false;
        bool headless = true;
        std::string display;  // with headless false; empty: $DISPLAY
        double sampleRate = 48000.0;
        int blockLength = 480;
    };

    // Null with a message when the plug-in, a preset or a setting cannot be applied, or the display
    // cannot be opened. What the scripted window system shows goes to out.
    static std::unique_ptr<EditorSession> open(const Options& options, std::ostream& out, std::string& error);
    ~EditorSession() override;
    EditorSession(const EditorSession&) = delete;
    EditorSession& operator=(const EditorSession&) = delete;

    GenericPlugin& plugin() const { return *plugin_; }
    GenericPluginInterface& editor() const { return *editor_; }
    gui::WindowInterface& ui() const { return *ui_; }
    ScriptedWindowSystem& windows() const { return *scripted_; }
    // Null on a display.
    gui::native::HeadlessWindowSystem* headless() const { return headless_.get(); }

    // Moves the clock by ms: the editor's timers fire and the plug-in processes the blocks that
    // fall due on the way, in order.
    void advance(uint32_t ms);
    // On a display: runs until the user closes the window; the user answers menus and boxes.
    void runUntilClosed();
    // Delivers pending repaints and window-system work without moving the clock.
    void settle();
    uint32_t now() const;
    long blocksProcessed() const { return blocks_; }

    // Input to the editor's window; points in editor pixels, key state as native messages carry it.
    // The host modifier is added to every message while it is held.
    void movePointer(gui::Point point, int keyState);
    void pressButton(gui::Point point, int keyState);
    void releaseButton(gui::Point point, int keyState);
    void turnWheel(int notches, gui::Point point, int keyState, bool horizontal);
    void holdHostModifier(bool held) { hostModifier_ = held; }

    // [audio] side: queued for the next block.
    void sendMidi(uint8_t status, uint8_t data1, uint8_t data2);

    // False when the frame could not be drawn or written.
    bool writeShot(const std::string& path);

private:
    explicit EditorSession(std::unique_ptr<GenericPlugin> plugin, bool refusesResize);
    bool resizeRequested(int /*width*/, int /*height*/) override { return !refusesResize_; }
    void adjustModifiers(int& flags) override;
    void runAudio();
    void hostIdle();

    std::unique_ptr<GenericPlugin> plugin_;
    bool refusesResize_;
    std::unique_ptr<gui::native::HeadlessWindowSystem> headless_;
    std::unique_ptr<gui::native::X11WindowSystem> display_;
    std::unique_ptr<gui::native::HeadlessWindowSystem> fields_;  // on a display: the scripted edit fields
    std::unique_ptr<AsyncEventQueue> queue_;
    std::unique_ptr<ScriptedWindowSystem> scripted_;
    std::unique_ptr<gui::WindowInterface> ui_;
    std::unique_ptr<GenericPluginInterface> editor_;
    bool hostModifier_ = false;
    bool closed_ = false;
    std::optional<int> storedLayout_;
    std::optional<bool> storedModulation_;
    int buttons_ = 0;

    double sampleRate_ = 48000.0;
    int blockLength_ = 480;
    uint32_t start_ = 0;
    uint64_t samples_ = 0;
    long blocks_ = 0;
    std::vector<float> silence_, output_;
};
