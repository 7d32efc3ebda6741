#include "tools/lorimane/JackSession.h"

#include <jack/midiport.h>
#include <jack/transport.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace {
// JACK prints its own diagnostics on the error stream; the application says what went wrong in
// one line of its own instead.
void silent(const char*) {}
}  // namespace

std::unique_ptr<JackSession> JackSession::open(const std::string& clientName, int shutdownFd, std::string& error) {
    jack_set_error_function(silent);
    jack_set_info_function(silent);
    jack_status_t status{};
    jack_client_t* client = jack_client_open(clientName.c_str(), JackNoStartServer, &status);
    if (!client) {
        const char* server = std::getenv("JACK_DEFAULT_SERVER");
        if (status & JackServerFailed)
            error = std::string("no JACK server is running") + (server ? std::string(" (server '") + server + "')" : "");
        else if (status & JackNameNotUnique)
            error = "the JACK client name '" + clientName + "' is taken";
        else
            error = "the JACK server refused the client (status 0x" + [&] {
                char hex[16];
                std::snprintf(hex, sizeof hex, "%x", static_cast<unsigned>(status));
                return std::string(hex);
            }() + ")";
        return nullptr;
    }
    std::unique_ptr<JackSession> session(new JackSession(client, shutdownFd));
    if (!session->registerPorts(error)) return nullptr;
    return session;
}

JackSession::JackSession(jack_client_t* client, int shutdownFd) : client_(client), shutdownFd_(shutdownFd) {}

JackSession::~JackSession() {
    deactivate();
    jack_client_close(client_);
}

std::string JackSession::clientName() const { return jack_get_client_name(client_); }

double JackSession::sampleRate() const { return jack_get_sample_rate(client_); }

int JackSession::bufferSize() const { return static_cast<int>(jack_get_buffer_size(client_)); }

bool JackSession::registerPorts(std::string& error) {
    const char* inNames[] = {"in_l", "in_r", "sidechain_l", "sidechain_r"};
    const char* outNames[] = {"out_l", "out_r"};
    for (size_t i = 0; i < inputs_.size(); ++i)
        inputs_[i] = jack_port_register(client_, inNames[i], JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0);
    for (size_t i = 0; i < outputs_.size(); ++i)
        outputs_[i] = jack_port_register(client_, outNames[i], JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput, 0);
    midi_ = jack_port_register(client_, "midi_in", JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
    for (jack_port_t* p : inputs_)
        if (!p) midi_ = nullptr;
    for (jack_port_t* p : outputs_)
        if (!p) midi_ = nullptr;
    if (!midi_) {
        error = "the JACK server refused the application's ports";
        return false;
    }

    jack_set_process_callback(
        client_, [](jack_nframes_t frames, void* self) { return static_cast<JackSession*>(self)->process(frames); }, this);
    // Notifications come on JACK's own non-real-time thread.
    jack_set_sample_rate_callback(
        client_,
        [](jack_nframes_t rate, void* self) {
            if (StandaloneProcessor* p = static_cast<JackSession*>(self)->processor_.load()) p->setSampleRate(rate);
            return 0;
        },
        this);
    // Any block length is processed in the graph's own sub-blocks: nothing to prepare for a new one.
    jack_set_buffer_size_callback(client_, [](jack_nframes_t, void*) { return 0; }, this);
    jack_set_xrun_callback(
        client_,
        [](void* self) {
            ++static_cast<JackSession*>(self)->xruns_;
            return 0;
        },
        this);
    // Runs on a JACK thread, possibly inside a signal handler: only async-signal-safe calls.
    jack_on_info_shutdown(
        client_,
        [](jack_status_t, const char*, void* arg) {
            auto* self = static_cast<JackSession*>(arg);
            self->serverGone_ = true;
            char byte = 1;
            if (self->shutdownFd_ >= 0) {
                [[maybe_unused]] ssize_t n = ::write(self->shutdownFd_, &byte, 1);
            }
        },
        this);
    return true;
}

bool JackSession::activate(StandaloneProcessor& processor, std::string& error) {
    processor.setSampleRate(sampleRate());
    processor_ = &processor;
    if (jack_activate(client_) != 0) {
        processor_ = nullptr;
        error = "the JACK server did not start the application's processing";
        return false;
    }
    active_ = true;
    return true;
}

void JackSession::deactivate() {
    // After the server went away the client is a zombie: its calls would wait for an answer.
    if (active_ && !serverGone_) jack_deactivate(client_);
    active_ = false;
    processor_ = nullptr;
    // A callback that took the processor before it was cleared has announced itself first.
    for (int i = 0; i < 1000 && processing_.load(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

int JackSession::connectPhysicalPorts() {
    int made = 0;
    auto connect = [&](unsigned long flags, auto& ours, bool ourInputs) {
        const char** physical = jack_get_ports(client_, nullptr, JACK_DEFAULT_AUDIO_TYPE, JackPortIsPhysical | flags);
        for (size_t i = 0; physical && physical[i] && i < 2; ++i) {
            const char* mine = jack_port_name(ours[i]);
            int r = ourInputs ? jack_connect(client_, physical[i], mine) : jack_connect(client_, mine, physical[i]);
            if (r == 0 || r == EEXIST) ++made;
        }
        if (physical) jack_free(physical);
    };
    connect(JackPortIsOutput, inputs_, true);    // capture ports feed our inputs
    connect(JackPortIsInput, outputs_, false);   // our outputs feed the playback ports
    return made;
}

int JackSession::process(jack_nframes_t frames) {
    processing_.store(true);
    StandaloneProcessor* processor = processor_.load();
    StandaloneProcessor::Block block;
    block.frames = static_cast<int>(frames);
    for (size_t i = 0; i < inputs_.size(); ++i)
        block.inputs[i] = static_cast<const float*>(jack_port_get_buffer(inputs_[i], frames));
    for (size_t i = 0; i < outputs_.size(); ++i)
        block.outputs[i] = static_cast<float*>(jack_port_get_buffer(outputs_[i], frames));
    if (!processor) {
        for (float* out : block.outputs) std::memset(out, 0, sizeof(float) * frames);
        processing_.store(false);
        return 0;
    }

    void* midi = jack_port_get_buffer(midi_, frames);
    uint32_t count = jack_midi_get_event_count(midi);
    int n = 0;
    for (uint32_t i = 0; i < count && n < kMaxMidiPerBlock; ++i) {
        jack_midi_event_t event;
        if (jack_midi_event_get(&event, midi, i) != 0 || event.size == 0) continue;
        MidiMessage& m = midiEvents_[n++];
        m.status = event.buffer[0];
        m.data1 = event.size >= 2 ? event.buffer[1] : 0;
        m.data2 = event.size >= 3 ? event.buffer[2] : 0;
        m.offset = static_cast<int32_t>(event.time);
    }
    block.midi = midiEvents_.data();
    block.midiCount = n;

    jack_position_t position;
    jack_transport_query(client_, &position);
    // Bar, beat and tempo are valid only while a timebase master runs.
    if (position.valid & JackPositionBBT) {
        block.transport.fromMaster = true;
        block.transport.tempo = position.beats_per_minute;
        block.transport.quarters = StandaloneProcessor::quartersOf(position.bar, position.beat, position.tick,
                                                                   position.ticks_per_beat, position.beats_per_bar,
                                                                   position.beat_type);
    }
    processor->process(block);
    processing_.store(false);
    return 0;
}
