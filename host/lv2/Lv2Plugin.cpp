#include "host/lv2/Lv2Plugin.h"

#include <lv2/atom/atom.h>
#include <lv2/atom/util.h>
#include <lv2/midi/midi.h>
#include <lv2/time/time.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <exception>
#include <sstream>

#include "host/lv2/Lv2PortLayout.h"
#include "host/lv2/Lv2Turtle.h"
#include "persistence/CollectionPresetLoader.h"
#include "persistence/ParameterCollection.h"
#include "persistence/PluginPresets.h"

namespace {
Lv2Plugin::PluginFactory& factorySlot() {
    static Lv2Plugin::PluginFactory factory = nullptr;
    return factory;
}

double numberOf(const LV2_Atom* atom, LV2_URID floatType, LV2_URID doubleType, LV2_URID intType, LV2_URID longType,
                double fallback) {
    if (!atom) return fallback;
    if (atom->type == floatType) return reinterpret_cast<const LV2_Atom_Float*>(atom)->body;
    if (atom->type == doubleType) return reinterpret_cast<const LV2_Atom_Double*>(atom)->body;
    if (atom->type == intType) return reinterpret_cast<const LV2_Atom_Int*>(atom)->body;
    if (atom->type == longType) return static_cast<double>(reinterpret_cast<const LV2_Atom_Long*>(atom)->body);
    return fallback;
}
}  // namespace

void Lv2Plugin::setPluginFactory(PluginFactory factory) { factorySlot() = factory; }

Lv2Plugin::PluginFactory Lv2Plugin::pluginFactory() { return factorySlot(); }

std::unique_ptr<Lv2Plugin> Lv2Plugin::create(double sampleRate, const LV2_Feature* const* features, std::string& error) {
    const LV2_URID_Map* map = nullptr;
    const LV2_Worker_Schedule* schedule = nullptr;
    for (int i = 0; features && features[i]; ++i) {
        if (std::strcmp(features[i]->URI, LV2_URID__map) == 0) map = static_cast<const LV2_URID_Map*>(features[i]->data);
        if (std::strcmp(features[i]->URI, LV2_WORKER__schedule) == 0)
            schedule = static_cast<const LV2_Worker_Schedule*>(features[i]->data);
    }
    if (!pluginFactory() || !(sampleRate > 0.0)) {
        error = "the plug-in cannot be created";
        return nullptr;
    }
    std::unique_ptr<Lv2Plugin> self(new Lv2Plugin());
    try {
        self->plugin_ = pluginFactory()();
    } catch (const std::exception& e) {
        error = e.what();
        return nullptr;
    }
    self->sampleRate_ = sampleRate;
    self->schedule_ = schedule;
    self->plugin_->setSampleRate(static_cast<float>(sampleRate));
    int count = self->plugin_->getParameterCount();
    // Padded to whole comparison blocks; an unconnected port reads its own last value, so it never
    // counts as moved and the comparison needs no test for missing ports.
    std::size_t padded = (std::size_t(count) + kControlBlock - 1) / kControlBlock * kControlBlock;
    self->lastRead_.assign(padded, NAN);
    self->controls_.resize(padded);
    for (std::size_t i = 0; i < padded; ++i) self->controls_[i] = &self->lastRead_[i];
    self->portParameters_ = Lv2PortLayout(*self->plugin_).parameters();

    // Without a URID map (simple hosts such as file processors) the event port is not read.
    if (!map) return self;
    auto id = [map](const char* uri) { return map->map(map->handle, uri); };
    self->urids_ = {id(LV2_ATOM__Blank),      id(LV2_ATOM__Object),       id(LV2_ATOM__Float),
                    id(LV2_ATOM__Double),     id(LV2_ATOM__Int),          id(LV2_ATOM__Long),
                    id(LV2_MIDI__MidiEvent),  id(LV2_TIME__Position),     id(LV2_TIME__bar),
                    id(LV2_TIME__barBeat),    id(LV2_TIME__beatsPerBar),  id(LV2_TIME__beatUnit),
                    id(LV2_TIME__beatsPerMinute), id(LV2_TIME__speed), id(LV2_ATOM__Chunk),
                    id(LV2_ATOM__String), id((std::string(lv2turtle::kPluginUri) + "#preset").c_str()),
                    id((std::string(lv2turtle::kPluginUri) + "#presetName").c_str())};
    return self;
}

Lv2Plugin::~Lv2Plugin() = default;

void Lv2Plugin::connectPort(uint32_t port, void* data) {
    switch (port) {
        case kInputLeft:
        case kInputRight:
            audioIn_[port] = static_cast<const float*>(data);
            break;
        case kSideChainLeft:
        case kSideChainRight:
            audioIn_[2 + port - kSideChainLeft] = static_cast<const float*>(data);
            break;
        case kOutputLeft:
        case kOutputRight:
            audioOut_[port - kOutputLeft] = static_cast<float*>(data);
            break;
        case kEvents:
            events_ = data;
            break;
        case kEnabled:
            enabled_ = static_cast<const float*>(data);
            break;
        default:
            if (port >= kFirstParameter && port - kFirstParameter < portParameters_.size()) {
                std::size_t i = std::size_t(portParameters_[port - kFirstParameter]);
                controls_[i] = data ? static_cast<const float*>(data) : &lastRead_[i];
            }
    }
}

void Lv2Plugin::activate() {
    activated_ = true;
    quarters_ = 0.0;
}

float Lv2Plugin::portValue(const AbstractPluginParameter& p, float plain) {
    return p.kind() == AbstractPluginParameter::Indexed ? plain : p.plainToDisplay(plain);
}

float Lv2Plugin::plainValue(const AbstractPluginParameter& p, float value) {
    float plain = p.kind() == AbstractPluginParameter::Indexed ? std::round(value) : p.displayToPlain(value);
    return std::clamp(plain, p.minValue(), p.maxValue());
}

void Lv2Plugin::readControls() {
    bool adopt = adoptPorts_.exchange(false);
    // Hosts move few ports per block: a whole block of ports whose bits are unchanged is skipped
    // after one vectorised comparison.
    for (std::size_t block = 0; block < controls_.size(); block += kControlBlock) {
        const float* const* ports = controls_.data() + block;
        const float* last = lastRead_.data() + block;
        std::uint32_t moved = 0;
        for (std::size_t k = 0; k < kControlBlock; ++k)
            moved |= std::bit_cast<std::uint32_t>(*ports[k]) ^ std::bit_cast<std::uint32_t>(last[k]);
        if (moved == 0) continue;
        for (std::size_t i = block; i < block + kControlBlock; ++i) {
            float value = *controls_[i];
            if (!std::isfinite(value)) continue;
            // Only a port that moved counts: an unchanged port must not undo a change made inside
            // the plug-in (a preset, MIDI learn, a program change).
            bool same = value == lastRead_[i];
            lastRead_[i] = value;  // also for -0 against 0, so the block compares equal next time
            if (same || adopt) continue;
            AbstractPluginParameter* p = plugin_->getParameter(static_cast<int>(i));
            p->setValue(plainValue(*p, value), FromHost);
        }
    }
}

void Lv2Plugin::readEvents() {
    const auto* sequence = static_cast<const LV2_Atom_Sequence*>(events_);
    if (!sequence || !urids_.midiEvent) return;
    LV2_ATOM_SEQUENCE_FOREACH(sequence, event) {
        if (event->body.type == urids_.midiEvent) {
            const auto* bytes = reinterpret_cast<const uint8_t*>(event + 1);
            uint32_t size = event->body.size;
            if (size == 0) continue;
            MidiMessage m;
            m.status = bytes[0];
            m.data1 = size >= 2 ? bytes[1] : 0;
            m.data2 = size >= 3 ? bytes[2] : 0;
            m.offset = static_cast<int32_t>(event->time.frames);
            plugin_->receiveMidi(m);
        } else if (event->body.type == urids_.atomObject || event->body.type == urids_.atomBlank) {
            const auto* object = reinterpret_cast<const LV2_Atom_Object*>(&event->body);
            if (object->body.otype != urids_.timePosition) continue;
            const LV2_Atom *bar = nullptr, *barBeat = nullptr, *beatsPerBar = nullptr, *beatUnit = nullptr,
                           *bpm = nullptr, *speed = nullptr;
            lv2_atom_object_get(object, urids_.timeBar, &bar, urids_.timeBarBeat, &barBeat, urids_.timeBeatsPerBar,
                                &beatsPerBar, urids_.timeBeatUnit, &beatUnit, urids_.timeBeatsPerMinute, &bpm,
                                urids_.timeSpeed, &speed, 0);
            auto number = [&](const LV2_Atom* a, double fallback) {
                return numberOf(a, urids_.atomFloat, urids_.atomDouble, urids_.atomInt, urids_.atomLong, fallback);
            };
            tempo_ = number(bpm, tempo_);
            speed_ = number(speed, speed_);
            if (bar || barBeat) {
                double perBar = number(beatsPerBar, 4.0), unit = number(beatUnit, 4.0);
                if (!(unit > 0.0)) unit = 4.0;
                // Beats of the meter to quarter notes: a 6/8 bar is three quarter notes.
                quarters_ = (number(bar, 0.0) * perBar + number(barBeat, 0.0)) * 4.0 / unit;
            }
        }
    }
}

void Lv2Plugin::run(uint32_t frames) {
    GenericPlugin& p = *plugin_;
    GenericPlugin::AudioThreadScope audioThread(p);
    p.setBypass(enabled_ && *enabled_ < 0.5f);
    readControls();
    if (activated_) {
        // Start from the ports' settings as they are: the reset applies them without ramps.
        activated_ = false;
        p.reset();
    }
    readEvents();
    p.setTransport(tempo_ > 0.0 ? tempo_ : 120.0, static_cast<float>(std::fmod(std::max(quarters_, 0.0), 256.0)));
    if (audioOut_[0] && audioOut_[1]) p.process(audioIn_, 4, audioOut_, 2, static_cast<int>(frames));
    // A program change decoded in this block loads its preset in the host's worker thread, which
    // also reports the changes made here.
    if (schedule_ && (p.deferredWorkPending() || p.parameterReportsPending()) && !workScheduled_.exchange(true))
        if (schedule_->schedule_work(schedule_->handle, 0, nullptr) != LV2_WORKER_SUCCESS) workScheduled_ = false;
    // The host reports positions only when they change; while it plays, move on by this block.
    quarters_ += speed_ * frames * tempo_ / (60.0 * sampleRate_);
}

LV2_State_Status Lv2Plugin::saveState(LV2_State_Store_Function store, LV2_State_Handle handle) {
    if (!urids_.statePreset) return LV2_STATE_ERR_NO_FEATURE;  // no URID map: nothing to name the keys with
    ParameterCollection all(*plugin_, plugin_->getChunkTag());
    all.addAll();
    std::string bytes = all.serialize(PluginPresets::kPresetVersion);
    const std::string name = plugin_->presetState().record().name;
    uint32_t flags = LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE;
    LV2_State_Status status = store(handle, urids_.statePreset, bytes.data(), bytes.size(), urids_.atomChunk, flags);
    if (status != LV2_STATE_SUCCESS) return status;
    return store(handle, urids_.statePresetName, name.c_str(), name.size() + 1, urids_.atomString, flags);
}

LV2_State_Status Lv2Plugin::restoreState(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle) {
    if (!urids_.statePreset) return LV2_STATE_ERR_NO_FEATURE;
    size_t size = 0;
    uint32_t type = 0, flags = 0;
    const void* data = retrieve(handle, urids_.statePreset, &size, &type, &flags);
    if (!data || type != urids_.atomChunk) return LV2_STATE_ERR_NO_PROPERTY;
    ParameterCollection all(*plugin_, plugin_->getChunkTag());
    all.addAll();
    CollectionPresetLoader loader(all, plugin_->getChunkTag());
    std::istringstream stream(std::string(static_cast<const char*>(data), size));
    BinaryDataReader reader(stream);
    if (!loader.load(reader, -1)) return LV2_STATE_ERR_UNKNOWN;  // refused: the instance is unchanged
    plugin_->pushResetMarker();
    const void* name = retrieve(handle, urids_.statePresetName, &size, &type, &flags);
    if (name && type == urids_.atomString && size > 0) {
        const char* text = static_cast<const char*>(name);
        plugin_->presetState().setName(std::string(text, strnlen(text, size)));
    }
    adoptPorts_ = true;
    return LV2_STATE_SUCCESS;
}

const LV2_State_Interface* Lv2Plugin::stateInterface() {
    static const LV2_State_Interface interface = {
        [](LV2_Handle h, LV2_State_Store_Function store, LV2_State_Handle handle, uint32_t, const LV2_Feature* const*) {
            return static_cast<Lv2Plugin*>(h)->saveState(store, handle);
        },
        [](LV2_Handle h, LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle, uint32_t, const LV2_Feature* const*) {
            return static_cast<Lv2Plugin*>(h)->restoreState(retrieve, handle);
        }};
    return &interface;
}

LV2_Worker_Status Lv2Plugin::work() {
    workScheduled_ = false;
    plugin_->deliverParameterReports();
    // The preset's values reach the audio thread as one batch through the parameter queue; run
    // applies nothing of it before the batch is complete.
    plugin_->performDeferredWork();
    return LV2_WORKER_SUCCESS;
}

const LV2_Worker_Interface* Lv2Plugin::workerInterface() {
    static const LV2_Worker_Interface interface = {
        [](LV2_Handle h, LV2_Worker_Respond_Function, LV2_Worker_Respond_Handle, uint32_t, const void*) {
            return static_cast<Lv2Plugin*>(h)->work();
        },
        [](LV2_Handle, uint32_t, const void*) { return LV2_WORKER_SUCCESS; }, nullptr};
    return &interface;
}
