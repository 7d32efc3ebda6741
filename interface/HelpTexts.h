#pragma once

// The help texts of the editor's own controls (parameters carry theirs). Each names its control
// first, then says what it does and which modifier keys change that.
namespace helptext {

inline constexpr const char* kWelcome =
    "Welcome! Rest the mouse on any control for a moment and this window explains it. You can switch these "
    "hints off in the Help menu, which also opens the user manual.";
inline constexpr const char* kUndo =
    "The Undo button undoes the last change you made to the plug-in, for example when adjusting a knob or "
    "loading a preset.";
inline constexpr const char* kRedo =
    "The Redo button brings back the change that Undo took away. It is available until you make a new change.";
inline constexpr const char* kAB =
    "The A/B button switches between two complete settings of the plug-in, so you can compare them. Each "
    "keeps the changes you make while it is active.";
inline constexpr const char* kCopy =
    "The Copy button copies the active A/B setting to the other one. It lights up while the two differ.";
inline constexpr const char* kPreviousPreset =
    "The Previous Preset button loads the preset before the current one in your preset folder, wrapping "
    "around at the start.";
inline constexpr const char* kPresets =
    "The Presets button shows the name of the current preset, dimmed once you change it. Click it to load, "
    "save and manage presets.";
inline constexpr const char* kNextPreset =
    "The Next Preset button loads the preset after the current one in your preset folder, wrapping around at "
    "the end.";
inline constexpr const char* kHelp =
    "The Help button opens the user manual, switches these help hints on or off, and leads to our web site.";
inline constexpr const char* kOptions =
    "The Options button sets how the plug-in answers MIDI program changes.";
inline constexpr const char* kMidiLearn =
    "The MIDI Learn button lets you assign MIDI controllers: click it, click a control, then move a knob or "
    "slider on your MIDI controller. Click it again when you are done.";
inline constexpr const char* kMidiLearnMenu =
    "The MIDI Learn menu button switches MIDI input on or off, removes controller assignments, and saves "
    "them or reverts to the saved ones.";
inline constexpr const char* kMidiLight = "The MIDI light flashes whenever the plug-in receives MIDI.";
inline constexpr const char* kResize =
    "The Resize button switches between the normal and the wide editor. Some hosts apply the new size only "
    "when you open the editor again.";
inline constexpr const char* kAudition =
    "The Audition button lets you listen to the plug-in's output, its input, or the side chain signal.";
inline constexpr const char* kChannelMode =
    "The Channel Mode option delays the left and right channels, or their sum and difference (Mid/Side).";
inline constexpr const char* kAutoMute =
    "The Auto Mute Self-Oscillation switch silences filters that keep ringing on their own after the input "
    "has stopped.";
inline constexpr const char* kModulation =
    "The Modulation button shows or hides the modulation section below the delays and filters.";
inline constexpr const char* kSaveFailed =
    "The preset could not be saved. Please make sure that the folder exists and is not read-only.";

}  // namespace helptext
