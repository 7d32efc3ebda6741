#include "engine/LorimanePlugin.h"

#include <algorithm>

#include "engine/LorimaneSettings.h"
#include "framework/DefaultEventReceiver.h"
#include "framework/ParameterUnits.h"
#include "framework/Tapers.h"
#include "persistence/PersistenceGlobals.h"

namespace {

namespace layout = modulationlayout;
constexpr int kInputLevelTarget = layout::target(layout::MixTargets, 0, layout::InputLevel);
constexpr int kDryLevelTarget = layout::target(layout::MixTargets, 0, layout::DryLevel);
constexpr int kDryPanTarget = layout::target(layout::MixTargets, 0, layout::DryPan);
constexpr int kWetLevelTarget = layout::target(layout::MixTargets, 0, layout::WetLevel);
constexpr int kWetPanTarget = layout::target(layout::MixTargets, 0, layout::WetPan);
constexpr const char* kChannelLetters = "LRMS";
// The letter after "Delay " in every delay parameter name.
constexpr std::size_t kChannelLetterPosition = 6;

// Tables shared by all instances, built by the first one and read-only afterwards.
const MultiDesignFilter::Style& filterCharacteristics() {
    static const std::unique_ptr<MultiDesignFilter::Style> style =
        MultiDesignFilter::Style::createCharacteristics();
    return *style;
}
const EnvelopeGenerator::CurveTables& envelopeCurves() {
    static const std::unique_ptr<EnvelopeGenerator::CurveTables> tables =
        EnvelopeGenerator::CurveTables::createShaped();
    return *tables;
}

void configureLevel(ModulationTargetParameter& p, const char* help) {
    p.setRange(0.0f, 1.0f, 1.0f);
    p.setTaper(tapers::gain, tapers::gainInverse);
    p.setUnit(&DBParameterUnit::instance());
    p.setDisplayFunctions(tapers::ratioToDecibel, tapers::decibelToRatio);
    p.setValue(1.0f, 0);
    p.setHelpText(help);
}

void configurePan(ModulationTargetParameter& p, const char* help) {
    p.setRange(-1.0f, 1.0f, 0.0f);
    p.setValue(0.0f, 0);
    p.setHelpText(help);
}

template <typename P>
void configureSwitch(P& p, int maximum, int defaultIndex, const char* items, const char* help) {
    p.setIndexRange(0, maximum, defaultIndex);
    p.setItemNames(items);
    p.setHelpText(help);
}

}  // namespace

LorimanePlugin::LorimanePlugin()
    : delays(this, this),
      feedbackLink(this, "Feedback Link"),
      delayLink(this, "Delay Link"),
      delayReadStyle(this, "Delay Buffer Read Style"),
      delayFreeze(this, "Delay Freeze"),
      filters(this, this),
      filterRouting(this, "Filter Routing"),
      inputLevel(this, "Input Level", this, kInputLevelTarget),
      dryLevel(this, "Dry Level", this, kDryLevelTarget),
      dryPan(this, "Dry Pan", this, kDryPanTarget),
      wetLevel(this, "Wet Level", this, kWetLevelTarget),
      wetPan(this, "Wet Pan", this, kWetPanTarget),
      channelMode(this, "Channel Mode"),
      xyControllers(this, this),
      xlfos(this, this),
      egs(this, this),
      efs(this, this),
      midiSources(this, this),
      receiveMidiParameter(this, "Receive Midi"),
      slots(this, this, sourceNames(), targetNames()),
      autoMute(this, "Auto Mute Self-Osc"),
      auditionSignal(this, "Audition Signal"),
      dryEnabled(this, "Dry Enabled"),
      filterLinkFreq(*this, "Filter Link Freq"),
      filterLinkPeak(*this, "Filter Link Peak"),
      delayLinkState(this, LinkSeparate),
      feedbackLinkState(this, LinkSeparate),
      filterRoutingState(this, RoutingSerial),
      syncState0_(this, SyncFree),
      syncState1_(this, SyncFree),
      presets_(*this, "BLms") {
    configureSwitch(feedbackLink, 1, 0, "Separate,Linked",
                    "Linked makes the second delay line use the first one's feedback and cross feedback.");
    configureSwitch(delayLink, 1, 0, "Separate,Linked",
                    "Linked makes the second delay line follow the first one's delay time.");
    configureSwitch(
        delayReadStyle, 1, 0, DelayLine::kReadTypeNames,
        "Tape bends the pitch while the delay time changes, like a tape machine. Stretch keeps the "
        "pitch.");
    configureSwitch(
        delayFreeze, 1, 0, "Off,On",
        "On keeps repeating what the delay lines hold, without decay, and takes in no new input.");
    configureSwitch(filterRouting, 2, 0, "Serial,Parallel,Per Channel",
                    "Serial runs filter 1 into filter 2, Parallel mixes both, Per Channel gives each channel "
                    "one filter.");

    inputLevel.setRange(-layout::kInputGainRangeDb, layout::kInputGainRangeDb, 0.0f);
    inputLevel.setTaper(tapers::decibelToRatio, tapers::ratioToDecibel);
    inputLevel.setUnit(&DBParameterUnit::instance());
    inputLevel.setDisplayFunctions(tapers::ratioToDecibel, tapers::decibelToRatio);
    inputLevel.setValue(0.0f, 0);
    inputLevel.setHelpText(
        "The level of the signal that enters the delay lines. The dry signal is not affected.");
    configureLevel(dryLevel, "The level of the unprocessed input in the output.");
    configurePan(dryPan, "Moves the unprocessed input between the two output channels.");
    configureLevel(wetLevel, "The level of the echoes in the output.");
    configurePan(wetPan, "Moves the echoes between the two output channels.");
    configureSwitch(channelMode, 1, 0, "Left/Right,Mid/Side",
                    "Left/Right delays the left and right channels. Mid/Side delays their sum and difference "
                    "instead.");
    configureSwitch(receiveMidiParameter, 1, 0, "Enabled,Disabled",
                    "Disabled ignores incoming MIDI notes, controllers and program changes.");
    configureSwitch(autoMute, 1, 0, "Off,On",
                    "On silences filters that ring on their own while no input arrives.");
    configureSwitch(auditionSignal, 2, 0, "Output,Input,Side Chain",
                    "Lets you listen to the plug-in's input or its side chain instead of its output.");
    configureSwitch(
        dryEnabled, 1, 1, "Disabled,Enabled",
        "Disabled removes the unprocessed input from the output. It keeps its setting when a preset "
        "is loaded.");

    for (int i = 0; i < slots.slotSetCount(); ++i) {
        ModulationSlotParameterSet& slot = slots.slotSet(i);
        slot.source.setHelpText("The modulation source of this slot.");
        slot.level.setHelpText(
            "How strongly the source moves the target. Other slots can modulate this level.");
        slot.bypass.setHelpText("Bypassed keeps the slot's settings but stops its modulation.");
        slot.invert.setHelpText(
            "Inverted turns the source's signal upside down before it reaches the target.");
        slot.target.setHelpText("The parameter this slot modulates.");
    }
    xyControllers.numActiveParameter().setHelpText("How many XY controllers are in use.");
    xlfos.numActiveParameter().setHelpText("How many XLFOs are in use.");
    for (int n = 0; n < kXLFOs; ++n)
        xlfos.set(n).steps.numActiveParameter().setHelpText("How many steps make up one cycle of this XLFO.");
    egs.numActiveParameter().setHelpText("How many envelope generators are in use.");
    efs.numActiveParameter().setHelpText("How many envelope followers are in use.");
    midiSources.numActiveParameter().setHelpText("How many MIDI sources are in use.");
    slots.numActiveParameter().setHelpText("How many modulation slots are in use.");

    filterLinkFreq.addMember(&filters.set(0).freq);
    filterLinkFreq.addMember(&filters.set(1).freq);
    filterLinkPeak.addMember(&filters.set(0).peak);
    filterLinkPeak.addMember(&filters.set(1).peak);

    initialize("Lorimane");
    createGraph();
    createSources();

    for (int f = 0; f < 2; ++f)
        parallelUnits_[std::size_t(f)] =
            std::make_unique<MultiDesignFilter::ParallelUnit>(environment(), filterCharacteristics());
    for (int c = 0; c < 2; ++c) channels_[std::size_t(c)] = std::make_unique<LorimaneChannel>(*this, c);
    channels_[0]->connectTo(*channels_[1]);
    channels_[1]->connectTo(*channels_[0]);

    bindParameters();

    // Bring the graph and the parameter names in line with the parameters, then drop the changes
    // that construction queued: they were just applied.
    for (int i = 0; i < getParameterCount(); ++i) {
        AbstractPluginParameter* p = getParameter(i);
        p->applyToEngine(p->value());
        parameterApplied(i);
    }
    renameDelayParameters(channelMode.rawValue());
    applyParameterChanges();
    setupPresets();
    loadDefaultPreset();
}

LorimanePlugin::~LorimanePlugin() {
    // The last instance writes the settings and releases the shared preset managers while this
    // class's overrides still exist.
    releaseInstance();
    // The graph goes before the matrix it reads and the environment it lives in.
    channels_ = {};
    parallelUnits_ = {};
    midiSources_ = {};
    midiCache_.reset();
    efVoices_ = {};
    egVoices_ = {};
    xlfoVoices_ = {};
    xyAxes_ = {};
    analyzer_.reset();
    sideChainPeak_.reset();
    inputPeak_.reset();
    delayPan_ = {};
    wetVoice_.reset();
    wetTarget_.reset();
    dryVoice_.reset();
    dryTarget_.reset();
    filterFreqVoices_ = {};
    filterFreqTargets_ = {};
    matrix_.reset();
    outputConverter_.reset();
    inputConverter_.reset();
}

void LorimanePlugin::createGraph() {
    wave::Environment& env = environment();
    inputConverter_ = std::make_unique<MidSideConverter>(env);
    inputConverter_->mode.set(MidSideConverter::Encode);
    outputConverter_ = std::make_unique<MidSideConverter>(env);
    outputConverter_->mode.set(MidSideConverter::Decode);

    matrix_ = std::make_unique<ModulationMatrix>(env);
    configureMatrix(*matrix_);

    for (int f = 0; f < 2; ++f) {
        filterFreqTargets_[std::size_t(f)] = std::make_unique<LevelPanTarget>(
            env, *matrix_, layout::target(layout::FilterTargets, f, layout::FilterFreq),
            layout::target(layout::FilterTargets, f, layout::FilterPan), LevelPanTarget::SumAndDifference);
        filterFreqVoices_[std::size_t(f)] =
            std::make_unique<LevelPanTarget::VoiceController>(*filterFreqTargets_[std::size_t(f)]);
    }
    dryTarget_ = std::make_unique<LevelPanTarget>(env, *matrix_, kDryLevelTarget, kDryPanTarget,
                                                  LevelPanTarget::Balance);
    dryVoice_ = std::make_unique<LevelPanTarget::VoiceController>(*dryTarget_);
    wetTarget_ = std::make_unique<LevelPanTarget>(env, *matrix_, kWetLevelTarget, kWetPanTarget,
                                                  LevelPanTarget::Balance);
    wetVoice_ = std::make_unique<LevelPanTarget::VoiceController>(*wetTarget_);

    for (int d = 0; d < 2; ++d)
        delayPan_[std::size_t(d)] = std::make_unique<DelayPanController>(
            env, matrix_->getTargetController(layout::target(layout::DelayTargets, d, layout::DelayPan)));

    inputPeak_ = std::make_unique<Mixer>(env, 2);
    inputPeak_->combineType.set(Mixer::Peak);
    sideChainPeak_ = std::make_unique<Mixer>(env, 2);
    sideChainPeak_->combineType.set(Mixer::Peak);
    analyzer_ = std::make_unique<FilterAnalyzer>(env);
    analyzer_->setInput(inputPeak_.get());
}

void LorimanePlugin::createSources() {
    wave::Environment& env = environment();
    ModulationMatrix& m = *matrix_;

    for (int a = 0; a < kXYAxes; ++a) {
        xyAxes_[std::size_t(a)] = std::make_unique<FloatParameterSource>(env, 0.0f);
        xyAxes_[std::size_t(a)]->setRange(-1.0f, 1.0f);
        m.setSourceProducer(a, xyAxes_[std::size_t(a)].get());
    }

    for (int n = 0; n < kXLFOs; ++n) {
        auto voice = std::make_unique<XLFOVoice>(env);
        int target = XLFOParameterSetList::kFirstTarget + XLFOParameterSet::kTargetsPerSet * n;
        voice->xlfo.setFrequencyInput(&voice->frequency);
        voice->frequency.setFrequencyTarget(m.getTargetController(target));
        voice->xlfo.setGlideOffsetInput(m.getTargetController(target + 1));
        voice->xlfo.setPhaseOffsetInput(m.getTargetController(target + 2));
        m.setSourceProducer(XLFOParameterSetList::kFirstSource + n, &voice->xlfo);
        xlfoTable_[std::size_t(n)] = &voice->xlfo;
        xlfoVoices_[std::size_t(n)] = std::move(voice);
    }
    xlfos.addProducerTable(xlfoTable_.data());

    const EnvelopeGenerator::CurveTables* curves = &envelopeCurves();
    for (int n = 0; n < kEGs; ++n) {
        auto voice = std::make_unique<EnvelopeVoice>(env, curves);
        int target = EGParameterSetList::kFirstTarget + EGParameterSet::kTargetsPerSet * n;
        for (int k = 0; k < EnvelopeGenerator::InputCount; ++k)
            voice->generator.setInput(EnvelopeGenerator::Input(k), m.getTargetController(target + k));
        voice->levelSelector.setInput(0, inputPeak_.get());
        voice->levelSelector.setInput(1, sideChainPeak_.get());
        voice->trigger.setLevelInput(&voice->levelSelector);
        voice->generator.setTrigger(&voice->trigger);
        m.setSourceProducer(EGParameterSetList::kFirstSource + n, &voice->generator);
        egTable_[std::size_t(n)] = &voice->generator;
        egVoices_[std::size_t(n)] = std::move(voice);
    }
    egs.addProducerTable(egTable_.data());

    for (int n = 0; n < kEFs; ++n) {
        auto voice = std::make_unique<FollowerVoice>(env);
        int target = EFParameterSetList::kFirstTarget + EFParameterSet::kTargetsPerSet * n;
        voice->inputSelector.setInput(0, inputPeak_.get());
        voice->inputSelector.setInput(1, sideChainPeak_.get());
        voice->follower.setInput(&voice->inputSelector);
        voice->follower.setAttackInput(m.getTargetController(target));
        voice->follower.setReleaseInput(m.getTargetController(target + 1));
        m.setSourceProducer(EFParameterSetList::kFirstSource + n, &voice->follower);
        efVoices_[std::size_t(n)] = std::move(voice);
    }

    midiCache_ = std::make_unique<MidiModSource::Cache>();
    for (auto& receiver : eventReceiver().channelReceivers)
        if (receiver.get()) receiver.get()->addMidiListener(midiCache_.get());
    for (int n = 0; n < kMidiSources; ++n) {
        midiSources_[std::size_t(n)] = std::make_unique<MidiModSource>(env, *midiCache_);
        m.setSourceProducer(MidiSourceParameterSetList::kFirstSource + n, midiSources_[std::size_t(n)].get());
    }
    // Velocity and keyboard tracking start at their centre values.
    midiCache_->noteOn(48, 0.5f);
}

void LorimanePlugin::bindParameters() {
    for (int c = 0; c < 2; ++c) {
        LorimaneChannel& ch = *channels_[std::size_t(c)];
        DelayParameterSet& d = delays.set(c);
        d.sync.bind(c == 0 ? &syncState0_ : &syncState1_);
        d.feedbackInvert.bind(&ch.gainAdjuster().gain());
        delayReadStyle.bind(&ch.delayLine().readType);
        delayFreeze.bind(&ch.freezeRouter().selected);
        channelMode.bind(&ch.inputModeRouter().selected);
        channelMode.bind(&ch.outputModeRouter().selected);
        auditionSignal.bind(&ch.auditionRouter().selected);
        dryEnabled.bind(&ch.dryGate().gainSource().value());
        for (LorimaneChannel::FilterCombo* combo : {&ch.feedbackCombo(), &ch.outputCombo()}) {
            filterRouting.bind(&combo->routing);
            for (int f = 0; f < 2; ++f) {
                FilterParameterSet& s = filters.set(f);
                MultiDesignFilter& filter = combo->filter(f);
                s.characteristic.bind(&filter.characteristic);
                s.response.bind(&filter.response);
                s.slope.bind(&filter.slope);
                s.enabled.bind(&filter.wetSource().value());
                autoMute.bind(&filter.peakMultiplierEnabled);
            }
        }
    }
    // The combos reconnect before the channels follow their outputs.
    filterRouting.bind(&filterRoutingState);
    delayLink.bind(&delayLinkState);
    feedbackLink.bind(&feedbackLinkState);

    for (int a = 0; a < kXYAxes; ++a) {
        XYParameterSet& xy = xyControllers.set(a / 2);
        (a % 2 == 0 ? xy.hor : xy.ver).bind(&xyAxes_[std::size_t(a)]->value());
    }
    for (int n = 0; n < kXLFOs; ++n) {
        XLFOParameterSet& s = xlfos.set(n);
        XLFOVoice& v = *xlfoVoices_[std::size_t(n)];
        s.frequencyOffset.bind(&v.frequency.defaultOffsetFactor().value());
        s.balance.bind(&v.xlfo.balance);
        s.syncMode.bind(&v.frequency.syncMode);
        s.midiTrigger.bind(&v.xlfo.midiTrigger);
        s.snap.bind(&v.xlfo.snap);
        s.steps.numActiveParameter().bind(&v.xlfo.stepCount);
        for (int k = 0; k < XLFO::kMaxSteps; ++k) {
            XLFOParameterSet::StepParameterSet& step = s.steps.set(k);
            step.value.bind(&v.xlfo.step(k).value);
            step.glide.bind(&v.xlfo.step(k).glide);
            step.glideFunction.bind(&v.xlfo.step(k).curve);
            step.random.bind(&v.xlfo.step(k).random);
        }
    }
    for (int n = 0; n < kEGs; ++n) {
        EnvelopeVoice& v = *egVoices_[std::size_t(n)];
        egs.set(n).threshold.bind(&v.trigger.threshold);
        egs.set(n).triggering.bind(&v.triggering);
    }
    for (int n = 0; n < kEFs; ++n) efs.set(n).input.bind(&efVoices_[std::size_t(n)]->inputSelector.selected);
    for (int n = 0; n < kMidiSources; ++n) {
        MidiSourceParameterSet& s = midiSources.set(n);
        MidiModSource& source = *midiSources_[std::size_t(n)];
        s.input.bind(&source.midiInput);
        s.controllerNumber.bind(&source.controllerNumber);
        s.responseCurve.bind(&source.responseCurve);
    }

    setMidiReceiveParameter(&receiveMidiParameter);
    keptParameters().push_back(&dryEnabled);
}

// --- persistence ---------------------------------------------------------------------------------

void LorimanePlugin::setupPresets() {
    presets_.collectAllParameters();
    presets_.setFreezeParameter(&delayFreeze);
    olderFormats_ = std::make_unique<LorimanePresetFormats>(
        *this, *this, LorimanePresetFormats::Lists{&xlfos, &egs, &midiSources});
    presets_.setOlderFormats(olderFormats_.get());

    // Registration order fixes the kind numbers.
    static constexpr struct {
        const char* folder;
        const char* extension;
    } kKinds[kComponentKinds] = {{"Delays", ".delays"}, {"Filters", ".filters"}, {"XLFO", ".xlfo"},
                                 {"EG", ".eg"},         {"EF", ".ef"},           {"MIDI", ".midi"}};
    for (const auto& kind : kKinds) presets_.registerComponentKind(kind.folder, kind.extension);

    std::vector<AbstractPluginParameter*> section;
    delays.collectParameters(section);
    section.insert(section.end(), {&feedbackLink, &delayLink, &delayReadStyle});
    presets_.addComponentCollection(DelaysKind, section);
    section.clear();
    filters.collectParameters(section);
    section.push_back(&filterRouting);
    presets_.addComponentCollection(FiltersKind, section);
    auto addSets = [&](auto& list, int count, int kind) {
        for (int n = 0; n < count; ++n) {
            section.clear();
            list.set(n).appendParametersTo(section);
            presets_.addComponentCollection(kind, section);
        }
    };
    addSets(xlfos, kXLFOs, XLFOKind);
    addSets(egs, kEGs, EGKind);
    addSets(efs, kEFs, EFKind);
    addSets(midiSources, kMidiSources, MidiKind);

    // Program changes leave the audio thread through the queue; deliverProgramChange loads them.
    // Controllers drive parameters through the map every instance shares.
    if (auto* receiver = dynamic_cast<DefaultEventReceiver*>(&eventReceiver())) {
        receiver->channelReceiver().setProgramChangeHandler(&programChanges_);
        if (PersistenceGlobals* globals = PersistenceGlobals::instance())
            receiver->channelReceiver().setControllerMap(&globals->controllerMap());
    }
}

void LorimanePlugin::initGlobals(const std::string& productName) {
    GenericPlugin::initGlobals(productName);
    PersistenceGlobals::create(*versionRecord());
}

bool LorimanePlugin::loadControllerMap() { return PersistenceGlobals::instance()->loadControllerMap(); }

void LorimanePlugin::loadDefaultControllerMap() { PersistenceGlobals::instance()->controllerMap().loadDefault(); }

void LorimanePlugin::loadGlobalSettings(bool firstInstance) {
    PersistenceGlobals::instance()->readSettings(*sharedSettings(), &settings(), firstInstance);
}

void LorimanePlugin::saveControllerMap() {
    if (PersistenceGlobals* globals = PersistenceGlobals::instance()) globals->saveControllerMapAtExit();
}

void LorimanePlugin::releaseGlobals() {
    if (PersistenceGlobals* globals = PersistenceGlobals::instance())
        globals->writeSettings(*sharedSettings(), &settings());
    GenericPlugin::releaseGlobals();
    PersistenceGlobals::release();
}

void* LorimanePlugin::getPresetFolder(int index) const {
    PersistenceGlobals* globals = PersistenceGlobals::instance();
    return globals ? globals->presetFolder(index) : nullptr;
}

bool LorimanePlugin::loadPresetFile(const PresetRecord& preset) { return presets_.loadPresetFile(preset); }

bool LorimanePlugin::savePresetFile(const PresetRecord& preset) { return presets_.savePresetFile(preset); }

bool LorimanePlugin::findPreset(const std::string& name, PresetRecord& preset) {
    return presets_.findPreset(name, preset);
}

bool LorimanePlugin::deliverProgramChange() {
    PersistenceGlobals* globals = PersistenceGlobals::instance();
    return globals && programChanges_.deliver(*this, globals->mainPresets());
}

// --- frame overrides -----------------------------------------------------------------------------

std::unique_ptr<GenericPlugin::Settings> LorimanePlugin::createSettings() {
    const VersionRecord* version = versionRecord();
    return std::make_unique<LorimaneSettings>(version ? *version : VersionRecord{});
}

int LorimanePlugin::getEditorHeight() const {
    auto* s = dynamic_cast<LorimaneSettings*>(&const_cast<LorimanePlugin*>(this)->settings());
    return s && s->showModulation.get() ? 514 : 321;
}

int LorimanePlugin::getEditorWidth() const {
    auto* s = dynamic_cast<LorimaneSettings*>(&const_cast<LorimanePlugin*>(this)->settings());
    return s && s->interfaceLayout.get() == 1 ? 926 : 640;
}

void LorimanePlugin::parameterApplied(int index) {
    ModulationMatrixPlugin::parameterApplied(index);
    if (xlfos.containsParameter(index)) {
        for (int n = 0; n < kXLFOs; ++n)
            matrix_->setSourceType(XLFOParameterSetList::kFirstSource + n,
                                   xlfos.set(n).snap.rawValue() ? SnappedXLFOSource : XLFOSource);
    }
    if (egs.containsParameter(index)) {
        for (int n = 0; n < kEGs; ++n) matrix_->setSourceType(EGParameterSetList::kFirstSource + n, EGSource);
        applyTriggerSettings();
    }
}

void LorimanePlugin::parameterWillChange(int index, float value, int) {
    // Names change off the audio thread only: hosts and the editor read them at any time. A change
    // made on the audio thread renames when it is reported. Compared by address: the parameters
    // built before the channel mode call this while it does not exist yet.
    if (getParameter(index) == &channelMode && !onAudioThread()) renameDelayParameters(static_cast<int>(value));
}

void LorimanePlugin::parameterReported(int index) {
    if (index == channelMode.index() || index == -1) renameDelayParameters(channelMode.rawValue());
}

void LorimanePlugin::applyTriggerSettings() {
    for (auto& voice : egVoices_) {
        Triggering t = voice->triggering.get();
        // MIDI-triggered envelopes read silence, so audio never starts them.
        voice->levelSelector.selected.set(t == Midi ? 2 : int(t));
        voice->trigger.enabled.set(t == Midi ? 0 : 1);
    }
}

void LorimanePlugin::renameDelayParameters(int mode) {
    if (mode == lastChannelMode_) return;
    lastChannelMode_ = mode;
    for (int d = 0; d < 2; ++d) {
        char letter = kChannelLetters[std::clamp(2 * mode + d, 0, 3)];
        for (AbstractPluginParameter* p : delays.set(d).parameters())
            p->setNameCharacter(kChannelLetterPosition, letter);
    }
}

void LorimanePlugin::noteOn(int note, float) {
    if (note == 0) {
        // Note 0 is the "release everything" note of the MIDI decoder.
        heldNotes_ = 0;
        for (auto& voice : egVoices_)
            if (voice->triggering.get() == Midi) voice->generator.noteOff();
        return;
    }
    ++heldNotes_;
    for (auto& voice : xlfoVoices_) voice->xlfo.noteOn();
    for (auto& voice : egVoices_)
        if (voice->triggering.get() == Midi) voice->generator.noteOn();
}

void LorimanePlugin::noteOff(int, float) {
    if (heldNotes_ <= 0) return;
    if (--heldNotes_ == 0)
        for (auto& voice : egVoices_) voice->generator.noteOff();
}

void LorimanePlugin::allNotesOff(float) {
    heldNotes_ = 0;
    for (auto& voice : egVoices_) voice->generator.noteOff();
}

void LorimanePlugin::transportChanged(double tempo, double position) {
    float beats = tempo == 0.0 ? 120.0f : float(tempo);
    for (auto& voice : xlfoVoices_) voice->frequency.transportChanged(beats, float(position));
    for (auto& c : channels_) c->timeController().retarget(tempo);
}

float LorimanePlugin::getSourceDisplayValue(int source) {
    if (source >= MidiSourceParameterSetList::kFirstSource &&
        source < MidiSourceParameterSetList::kFirstSource + kMidiSources)
        return midiSources_[std::size_t(source - MidiSourceParameterSetList::kFirstSource)]->displayValue();
    return 0.0f;
}

void LorimanePlugin::propertyChanged(AbstractProperty* property) {
    if (property == &syncState0_ || property == &syncState1_) {
        int c = property == &syncState0_ ? 0 : 1;
        DelaySync sync = c == 0 ? syncState0_.get() : syncState1_.get();
        channels_[std::size_t(c)]->timeController().syncIndex.set(int(sync));
    } else if (property == &delayLinkState) {
        channels_[0]->setTimeSource(&channels_[0]->timeController());
        channels_[1]->setTimeSource(delayLinkState.get() == LinkLinked ? &channels_[0]->timeController()
                                                                       : &channels_[1]->timeController());
    } else if (property == &feedbackLinkState) {
        bool linked = feedbackLinkState.get() == LinkLinked;
        // A linked second line reads the first line's feedback targets.
        for (int c = 0; c < 2; ++c) {
            int set = linked ? 0 : c;
            channels_[std::size_t(c)]->setFeedbackTargets(
                layout::target(layout::DelayTargets, set, layout::DelayFeedback),
                layout::target(layout::DelayTargets, set, layout::DelayCrossFeedback));
        }
    } else if (property == &filterRoutingState) {
        for (auto& c : channels_) c->routingChanged();
    }
}
