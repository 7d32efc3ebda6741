#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "framework/GenericPlugin.h"
#include "gui/Button.h"
#include "gui/Point.h"
#include "gui/UserInterface.h"
#include "gui/ValueControlListener.h"
#include "interface/ParameterEditor.h"

class AbstractChannelEventReceiver;
class EditorHost;
class HelpHintWindow;
class ValueDisplay;
class MidiLearnController;
class PresetManager;
struct PresetMenuItem;

namespace gui {
class Bitmap;
class Control;
class Light;
class Menu;
class MenuItem;
class PopupMenu;
class Timer;
class ValueControl;
}  // namespace gui

// The host-neutral editor frame over one plug-in instance, in one user interface: binds controls to
// parameters, turns the plug-in's notifications into control updates on the editor thread, records
// one undo step per finished gesture, and runs the top bar, the menus, the help hint window, MIDI
// learn and resizing. A derived editor creates the controls and hands the top-bar buttons over.
// Everything runs on the editor thread except notify. [ui]
class GenericPluginInterface : public ParameterEditor,
                               public GenericPlugin::Listener,
                               public gui::UserInterface::Listener,
                               public gui::ValueControlListener {
public:
    // Feature flags of the derived editor.
    enum Feature { EnableMidiItem = 1, RefreshAllAtOnce = 2, ComponentDisplaysItem = 4 };
    // Flags of showMessage: show even while hints are off; fade the window out afterwards.
    enum MessageFlag { ShowAlways = 1, FadeOut = 2 };
    // Codes of the requests the editor defers to its own thread.
    enum Request { OpenWebAddress = -1, OpenHelpDocument = -2, RefreshBindings = -4, Resize = -5 };
    // How long the MIDI light stays on after MIDI arrived, and how long a fading message lasts.
    static constexpr int kMidiLightMs = 250;
    static constexpr int kMessageFadeMs = 4000;
    static constexpr int kHousekeepingMs = 25;
    // A fading message dims over its last part.
    static constexpr int kFadeTailMs = 600;
    // The top bar's height; the help hint window sits under it.
    static constexpr int kTopBarHeight = 34;
    // Links of this kind move around the centre, proportionally to their distance from it.
    static constexpr int kRatioLink = 2;

    static constexpr const char* kPresetLoadFailed =
        "The preset file could not be opened. It could be corrupt, from another Brixholde plug-in, or it was "
        "written by an incompatible version of this plug-in.";
    static constexpr const char* kResizeRefused =
        "Your host cannot dynamically resize the plug-in interface. To apply the new interface size, simply "
        "close the plug-in interface and then re-open it.";
    static constexpr const char* kRestoreQuestion =
        "Are you sure you want to restore the factory presets?\n\nIf you have overwritten any factory presets "
        "or the default preset, your changes will be undone.";
    static constexpr const char* kRestoreFailed =
        "Error: Unable to restore all factory presets.\n\nPlease make sure that your current preset folder "
        "path is valid and that your preset folder is not read-only.";
    static constexpr const char* kLearnPrompt = "Click a control to activate it for MIDI Learn mode";
    static constexpr const char* kLearnTargetLong =
        "Move a slider/knob on your MIDI controller to associate it to: ";
    static constexpr const char* kLearnTargetShort = "Move a MIDI control to associate it to: ";

    // The buttons of the top bar, created by the derived editor in its styles; any may be null.
    struct TopBar {
        gui::Button* undo = nullptr;
        gui::Button* redo = nullptr;
        gui::Button* ab = nullptr;
        gui::Button* copy = nullptr;
        gui::Button* previousPreset = nullptr;
        gui::Button* presetName = nullptr;
        gui::Button* nextPreset = nullptr;
        gui::Button* help = nullptr;
        gui::Button* midiLearn = nullptr;
        gui::Button* midiMenu = nullptr;
        gui::Button* options = nullptr;
    };

    GenericPluginInterface(GenericPlugin& plugin, gui::UserInterface& ui, EditorHost& host);
    ~GenericPluginInterface() override;
    GenericPluginInterface(const GenericPluginInterface&) = delete;
    GenericPluginInterface& operator=(const GenericPluginInterface&) = delete;

    GenericPlugin& plugin() const { return plugin_; }
    gui::UserInterface& userInterface() const { return ui_; }
    EditorHost& host() const { return host_; }

    // [any], the audio thread included: only queues.
    void notify(int code, int value) override;

    // ParameterEditor.
    AbstractPluginParameter* parameter(int index) const override;
    void beginEdit(int index) override;
    void setNormalized(int index, float normalized) override;
    void endEdit(int index) override;
    void bindControl(int index, gui::ValueControl* control) override;
    void unbindControl(int index, gui::ValueControl* control) override;
    void refreshControls() override { refreshParameter(-1); }
    bool midiLearnActive() const override { return midiLearnActive_; }
    void showHint(const std::string& text) override;

    // A control of another parameter that follows drags of this one (kind kRatioLink: around the
    // centre, otherwise by the same distance).
    virtual void linkControl(int index, gui::ValueControl* control, int kind);
    // What tools and tests ask of a running editor.
    // The index of the parameter whose value control lies under the point, -1 if none.
    virtual int parameterAt(gui::Point point) const;
    // The text the help hint window shows now; empty while it is hidden.
    virtual std::string hintText() const;
    // 0: the maker's web site, 1: its support page.
    virtual std::string webAddress(int kind) const;
    virtual void changePresetFolder();
    virtual void buildHelpMenu(gui::PopupMenu& menu);
    virtual void buildMidiMenu(gui::PopupMenu& menu);
    virtual void buildPresetMenu(gui::PopupMenu& menu);
    // The options: the options button's menu and the preset menu's "Options" submenu.
    virtual void buildOptionsMenu(gui::Menu& menu);
    virtual void hideHelpHint();
    // Places the help hint window under the top bar; a derived editor first lays out its controls.
    virtual void layoutEditor();
    virtual void saveAsDefault();
    virtual void savePresetAs();
    virtual void savePreset();
    virtual void refreshParameter(int index);
    // The parameter's name and value beside a bound control while the pointer is over it or drags
    // it; hidden when the pointer leaves and no drag runs.
    virtual void showValueDisplay(gui::ValueControl* control);
    virtual void hideValueDisplay();
    ValueDisplay* valueDisplay() const { return valueDisplay_; }
    virtual void refreshPresetName();
    virtual void midiReceived();

    // Messages in the help hint window (see MessageFlag).
    void showMessage(const std::string& text, int flags);
    // Loads a preset as the user's step: an undo step on success, the failure message otherwise.
    bool loadPresetFromEditor(const GenericPlugin::PresetRecord& preset);
    // Asks the host for the plug-in's editor size; on another thread, repeated on the editor's.
    void resizeEditor();
    void setMidiLearnActive(bool active);
    // The plug-in's learn target: the parameter number the next controller is bound to, -1 none.
    void setLearnTarget(int parameterNumber);
    int learnTarget() const;
    void undo();
    void redo();
    void switchAB();
    void copyAB();
    void stepPreset(int direction);
    // The housekeeping the editor's timer runs: the plug-in's deferred work when the host has no
    // thread for it, the MIDI light, the learn overlay and the top bar's states.
    void housekeeping();

    int featureFlags() const { return featureFlags_; }
    const TopBar& topBar() const { return topBar_; }
    gui::Light* midiLight() const { return midiLight_; }
    MidiLearnController* midiLearnController() const { return learnController_; }
    // The controls bound to a parameter.
    const std::vector<gui::ValueControl*>& boundControls(int index) const;
    // An embedded image by name, loaded once; an empty bitmap when there is none.
    gui::Bitmap* image(const std::string& name);

protected:
    // Called by the derived editor once its controls exist: wires the top bar, the MIDI light and
    // the hint window, lays out, refreshes and shows the welcome hint.
    void finishConstruction(const TopBar& topBar, gui::Light* midiLight);
    void setFeatureFlags(int flags) { featureFlags_ = flags; }
    // Keeps a style (or any component) for the editor's lifetime: it outlives the controls using it.
    template <typename T>
    T& keep(std::unique_ptr<T> component) {
        T& kept = *component;
        kept_.push_back(std::move(component));
        return kept;
    }
    // Loads the named image as the user interface's background.
    void loadBackground(const std::string& name);
    virtual HelpHintWindow* createHelpHintWindow();
    // The learn overlay; the derived editor may add ghost targets to it.
    virtual MidiLearnController* createMidiLearnOverlay();
    // A value control without a parameter finished a gesture (the derived editor's own settings).
    virtual void unboundControlEdited(gui::ValueControl* /*control*/) {}
    HelpHintWindow* helpHintWindow() const { return hintWindow_; }

private:
    void boundControlHoverChanged(void* sender);
    struct Link {
        gui::ValueControl* control;
        int kind;
        double ratio = 1.0;
        double start = 0.0;
    };
    struct Binding {
        std::vector<gui::ValueControl*> controls;
        std::vector<Link> links;
    };
    class ActionItem;

    // gui::UserInterface::Listener
    void eventReceived(int code, int value) override;
    // gui::ValueControlListener
    int maxLinkedChange(gui::ValueControl* control, int delta) override;
    void valueEdited(gui::ValueControl* control, int phase, int delta) override;

    void touch(int index);
    void buttonClicked(void* sender);
    void menuOpening(void* sender);
    void timerFired(void*);
    void showControlValue(gui::ValueControl* control, int index);
    void recordIfChanged(const std::string& description);
    void refreshTopBar();
    // After the whole state changed (undo, A/B, a preset load): controls, preset name, top bar.
    void refreshAll();
    void openPresetFile();
    void restoreFactoryPresets();
    void setHintWindowText(const std::string& text, bool fade);
    gui::MenuItem* addAction(gui::Menu& menu, const std::string& text, std::function<void()> action);
    void addPresetItems(gui::Menu& menu, const std::vector<PresetMenuItem>& items);
    AbstractPluginParameter* midiReceiveParameter() const;
    void midiMapChanged();
    AbstractChannelEventReceiver* channelReceiver() const;
    bool hintsOn() const;
    PresetManager* presets() const;

    GenericPlugin& plugin_;
    gui::UserInterface& ui_;
    EditorHost& host_;
    std::vector<Binding> bindings_;
    TopBar topBar_;
    gui::Light* midiLight_ = nullptr;
    HelpHintWindow* hintWindow_ = nullptr;
    ValueDisplay* valueDisplay_ = nullptr;
    gui::ValueControl* valueDisplayControl_ = nullptr;
    MidiLearnController* learnController_ = nullptr;
    std::unique_ptr<gui::PopupMenu> presetMenu_;
    std::unique_ptr<gui::PopupMenu> midiMenu_;
    std::unique_ptr<gui::PopupMenu> helpMenu_;
    std::unique_ptr<gui::PopupMenu> optionsMenu_;
    gui::Timer* timer_ = nullptr;
    std::vector<std::unique_ptr<gui::Component>> kept_;
    std::map<std::string, std::unique_ptr<gui::Bitmap>> images_;
    std::string webAddressToOpen_;
    std::string backgroundName_;
    double linkOrigin_ = 0.0;
    // Value controls whose gesture began and has not ended.
    std::vector<gui::ValueControl*> openControls_;
    int featureFlags_ = 0;
    bool midiLearnActive_ = false;
    int gestureDepth_ = 0;
    std::string gestureDescription_;
    uint32_t midiLightOffAt_ = 0;
    bool midiLightOn_ = false;
    uint32_t messageFadeAt_ = 0;
    bool messageFading_ = false;
    bool shownModified_ = false;
};
