#pragma once

#include <array>
#include <memory>
#include <string>

#include "core/Property.h"
#include "engine/DelayPanController.h"
#include "engine/DelayParameterSetArray.h"
#include "engine/EFParameterSet.h"
#include "engine/EGParameterSet.h"
#include "engine/EngineTypes.h"
#include "engine/FilterParameterSetArray.h"
#include "engine/LorimaneChannel.h"
#include "engine/MidiSourceParameterSet.h"
#include "engine/Mixer.h"
#include "engine/Router.h"
#include "engine/XLFOParameterSet.h"
#include "engine/XYParameterSet.h"
#include "framework/MidiMultiVirtualPluginParameter.h"
#include "framework/PropPluginParameter.h"
#include "framework/ToggleFloatPluginParameter.h"
#include "modulation/EnvelopeFollower.h"
#include "modulation/EnvelopeGenerator.h"
#include "modulation/LevelPanTarget.h"
#include "modulation/MidiModSource.h"
#include "modulation/ModulationMatrix.h"
#include "modulation/ModulationMatrixPlugin.h"
#include "modulation/ModulationSlotParameterSetList.h"
#include "modulation/ModulationTargetParameter.h"
#include "modulation/Trigger.h"
#include "modulation/XLFO.h"
#include "modulation/XLFOFreqController.h"
#include "persistence/LorimanePresetFormats.h"
#include "persistence/PluginPresets.h"
#include "persistence/ProgramChangeQueue.h"
#include "wave/DelayLine.h"
#include "wave/FloatParameterSource.h"
#include "wave/MidSideConverter.h"
#include "wave/filters/FilterAnalyzer.h"
#include "wave/filters/MultiDesignFilter.h"

// The stereo delay effect: two delay lines with feedback and cross-feedback through two filter
// sections, dry/wet mix, mid/side operation, freeze and audition, and the modulation matrix with its
// sources (XY controllers, XLFOs, envelope generators and followers, MIDI sources). All parameters
// exist from construction on, in one fixed order; the graph never changes shape afterwards.
// Threads as for GenericPlugin: untagged operations are [any] queries or [ui] set-up.
class LorimanePlugin : public ModulationMatrixPlugin, public PropertyOwner {
public:
    static constexpr int kXLFOs = 6;
    static constexpr int kEGs = 6;
    static constexpr int kEFs = 4;
    static constexpr int kMidiSources = 10;
    static constexpr int kXYAxes = 8;

    // The engine side of one envelope generator: its audio trigger and the selector of the trigger's
    // level signal (input level, side-chain level, or silence for MIDI triggering).
    struct EnvelopeVoice {
        EnvelopeVoice(wave::Environment& environment, const EnvelopeGenerator::CurveTables* tables)
            : generator(environment, tables), trigger(environment), levelSelector(environment, 3) {}
        EnvelopeGenerator generator;
        Trigger trigger;
        Router levelSelector;
        Property<Triggering> triggering{nullptr, NormalInput};
    };

    struct FollowerVoice {
        explicit FollowerVoice(wave::Environment& environment)
            : follower(environment), inputSelector(environment, 2) {}
        EnvelopeFollower follower;
        Router inputSelector;
    };

    struct XLFOVoice {
        explicit XLFOVoice(wave::Environment& environment)
            : xlfo(environment), frequency(environment, xlfo) {}
        XLFO xlfo;
        XLFOFreqController frequency;
    };

    // Component preset kinds, in the order they are registered.
    enum ComponentKind { DelaysKind, FiltersKind, XLFOKind, EGKind, EFKind, MidiKind, kComponentKinds };

    LorimanePlugin();
    ~LorimanePlugin() override;

    // --- frame overrides -------------------------------------------------------------------------
    int getCategory() const override { return 3; }
    std::string getChunkTag() const override { return "BLms"; }
    bool hasSideChain() const override { return true; }
    int getEditorHeight() const override;
    int getEditorWidth() const override;
    int getDefaultEditorHeight() const override { return 514; }
    int getDefaultEditorWidth() const override { return 926; }
    std::unique_ptr<Settings> createSettings() override;
    // [audio] Never blocks or allocates.
    void parameterApplied(int index) override;
    // [ui] [worker] The delay parameters' names follow the channel mode.
    void parameterWillChange(int index, float value, int flags) override;
    void parameterReported(int index) override;
    // [audio] Never blocks or allocates.
    void noteOn(int note, float velocity) override;
    // [audio] Never blocks or allocates.
    void noteOff(int note, float velocity) override;
    // [audio] All notes off, or MIDI reception switched off. Never blocks or allocates.
    void allNotesOff(float velocity) override;
    // [audio] Never blocks or allocates.
    void transportChanged(double tempo, double position) override;
    ModulationMatrix* getMatrix() override { return matrix_.get(); }
    float getSourceDisplayValue(int source) override;

    // [audio] The link and routing properties, set as their parameters are applied.
    void propertyChanged(AbstractProperty* property) override;

    // --- persistence: [ui] [worker] ----------------------------------------------------------------
    void initGlobals(const std::string& productName) override;
    bool loadControllerMap() override;
    void loadDefaultControllerMap() override;
    void loadGlobalSettings(bool firstInstance) override;
    void saveControllerMap() override;
    void releaseGlobals() override;
    void* getPresetFolder(int index) const override;
    bool loadPresetFile(const PresetRecord& preset) override;
    bool savePresetFile(const PresetRecord& preset) override;
    bool findPreset(const std::string& name, PresetRecord& preset) override;
    PluginPresets& presets() { return presets_; }
    // [ui] [worker] Loads the preset of the latest MIDI program change, if one arrived since the last
    // call; the host's idle or the editor's timer calls it. False when nothing was loaded.
    bool deliverProgramChange();
    bool deferredWorkPending() const override { return programChanges_.pending(); }
    void performDeferredWork() override { deliverProgramChange(); }

    // --- parameters, in global index order -------------------------------------------------------
    DelayParameterSetArray delays;
    PropPluginParameter<DelayLinkState> feedbackLink;
    PropPluginParameter<DelayLinkState> delayLink;
    PropPluginParameter<DelayLine::ReadType> delayReadStyle;
    PropPluginParameter<int> delayFreeze;
    FilterParameterSetArray filters;
    PropPluginParameter<FilterRouting> filterRouting;
    ModulationTargetParameter inputLevel;
    ModulationTargetParameter dryLevel;
    ModulationTargetParameter dryPan;
    ModulationTargetParameter wetLevel;
    ModulationTargetParameter wetPan;
    PropPluginParameter<int> channelMode;
    XYParameterSetList xyControllers;
    XLFOParameterSetList xlfos;
    EGParameterSetList egs;
    EFParameterSetList efs;
    MidiSourceParameterSetList midiSources;
    PropPluginParameter<GenericPlugin::MidiState> receiveMidiParameter;
    ModulationSlotParameterSetList slots;
    PropPluginParameter<bool> autoMute;
    PropPluginParameter<int> auditionSignal;
    ToggleFloatPluginParameter<bool> dryEnabled;
    MidiMultiVirtualPluginParameter filterLinkFreq;
    MidiMultiVirtualPluginParameter filterLinkPeak;

    // --- link properties -------------------------------------------------------------------------
    Property<DelayLinkState> delayLinkState;
    Property<DelayLinkState> feedbackLinkState;
    Property<FilterRouting> filterRoutingState;

    // --- graph -----------------------------------------------------------------------------------
    ModulationMatrix& matrix() { return *matrix_; }
    LorimaneChannel& channel(int i) { return *channels_[std::size_t(i)]; }
    MidSideConverter& inputConverter() { return *inputConverter_; }
    MidSideConverter& outputConverter() { return *outputConverter_; }
    LevelPanTarget::VoiceController& filterFrequencyController(int f) {
        return *filterFreqVoices_[std::size_t(f)];
    }
    LevelPanTarget::VoiceController& dryController() { return *dryVoice_; }
    LevelPanTarget::VoiceController& wetController() { return *wetVoice_; }
    DelayPanController& delayPanController(int d) { return *delayPan_[std::size_t(d)]; }
    Mixer& inputPeakMixer() { return *inputPeak_; }
    Mixer& sideChainPeakMixer() { return *sideChainPeak_; }
    FilterAnalyzer& filterAnalyzer() { return *analyzer_; }
    MultiDesignFilter::ParallelUnit& parallelUnit(int f) { return *parallelUnits_[std::size_t(f)]; }
    XLFOVoice& xlfoVoice(int n) { return *xlfoVoices_[std::size_t(n)]; }
    EnvelopeVoice& envelopeVoice(int n) { return *egVoices_[std::size_t(n)]; }
    FollowerVoice& followerVoice(int n) { return *efVoices_[std::size_t(n)]; }
    MidiModSource& midiSource(int n) { return *midiSources_[std::size_t(n)]; }
    FloatParameterSource& xyAxis(int axis) { return *xyAxes_[std::size_t(axis)]; }
    int heldNotes() const { return heldNotes_; }

private:
    void createGraph();
    void createSources();
    void bindParameters();
    void setupPresets();
    void renameDelayParameters(int mode);
    void applyTriggerSettings();

    std::unique_ptr<MidSideConverter> inputConverter_;
    std::unique_ptr<MidSideConverter> outputConverter_;
    std::unique_ptr<ModulationMatrix> matrix_;
    std::array<std::unique_ptr<LevelPanTarget>, 2> filterFreqTargets_;
    std::array<std::unique_ptr<LevelPanTarget::VoiceController>, 2> filterFreqVoices_;
    std::unique_ptr<LevelPanTarget> dryTarget_;
    std::unique_ptr<LevelPanTarget::VoiceController> dryVoice_;
    std::unique_ptr<LevelPanTarget> wetTarget_;
    std::unique_ptr<LevelPanTarget::VoiceController> wetVoice_;
    std::array<std::unique_ptr<DelayPanController>, 2> delayPan_;
    std::unique_ptr<Mixer> inputPeak_;
    std::unique_ptr<Mixer> sideChainPeak_;
    std::unique_ptr<FilterAnalyzer> analyzer_;

    std::array<std::unique_ptr<FloatParameterSource>, kXYAxes> xyAxes_;
    std::array<std::unique_ptr<XLFOVoice>, kXLFOs> xlfoVoices_;
    std::array<wave::Producer*, kXLFOs> xlfoTable_{};
    std::array<std::unique_ptr<EnvelopeVoice>, kEGs> egVoices_;
    std::array<wave::Producer*, kEGs> egTable_{};
    std::array<std::unique_ptr<FollowerVoice>, kEFs> efVoices_;
    std::unique_ptr<MidiModSource::Cache> midiCache_;
    std::array<std::unique_ptr<MidiModSource>, kMidiSources> midiSources_;

    std::array<std::unique_ptr<MultiDesignFilter::ParallelUnit>, 2> parallelUnits_;
    std::array<std::unique_ptr<LorimaneChannel>, 2> channels_;
    Property<DelaySync> syncState0_;
    Property<DelaySync> syncState1_;

    int heldNotes_ = 0;
    int lastChannelMode_ = -1;

    PluginPresets presets_;
    std::unique_ptr<LorimanePresetFormats> olderFormats_;
    ProgramChangeQueue programChanges_;
};
