#include "JackProbe.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "ChildProcess.h"

std::unique_ptr<JackProbe> JackProbe::open(const std::string& server, size_t recordFrames, int clickPeriod) {
    std::unique_ptr<JackProbe> p(new JackProbe());
    p->clickPeriod_ = clickPeriod;
    p->clicks_.assign(recordFrames, 0.0f);
    p->heard_.assign(recordFrames, 0.0f);
    auto options = static_cast<jack_options_t>(JackNoStartServer | JackServerName);
    p->sourceClient_ = jack_client_open("probe_source", options, nullptr, server.c_str());
    p->recorderClient_ = jack_client_open("probe_recorder", options, nullptr, server.c_str());
    if (!p->sourceClient_ || !p->recorderClient_) return nullptr;
    p->clickOut_ = jack_port_register(p->sourceClient_, "click", JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput, 0);
    p->midiOut_ = jack_port_register(p->sourceClient_, "midi", JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
    p->clickIn_ = jack_port_register(p->recorderClient_, "click", JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0);
    p->heardIn_ = jack_port_register(p->recorderClient_, "heard", JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0);
    if (!p->clickOut_ || !p->midiOut_ || !p->clickIn_ || !p->heardIn_) return nullptr;
    jack_set_process_callback(
        p->sourceClient_, [](jack_nframes_t n, void* self) { return static_cast<JackProbe*>(self)->source(n); }, p.get());
    jack_set_process_callback(
        p->recorderClient_, [](jack_nframes_t n, void* self) { return static_cast<JackProbe*>(self)->recorder(n); },
        p.get());
    if (jack_activate(p->sourceClient_) != 0 || jack_activate(p->recorderClient_) != 0) return nullptr;
    return p;
}

JackProbe::~JackProbe() {
    for (jack_client_t* c : {sourceClient_, recorderClient_})
        if (c) jack_client_close(c);
}

bool JackProbe::waitForApp(const std::string& app, int timeoutSeconds) {
    auto exists = [&](const char* port) { return jack_port_by_name(sourceClient_, (app + ":" + port).c_str()) != nullptr; };
    return waitFor([&] { return exists("in_l") && exists("in_r") && exists("out_l") && exists("midi_in"); }, timeoutSeconds);
}

bool JackProbe::connectTo(const std::string& app, int timeoutSeconds) {
    if (!waitForApp(app, timeoutSeconds)) return false;
    const std::string click = jack_port_name(clickOut_), midi = jack_port_name(midiOut_);
    auto link = [](jack_client_t* client, const std::string& from, const std::string& to) {
        const int result = jack_connect(client, from.c_str(), to.c_str());
        return result == 0 || result == EEXIST;
    };
    // The application's ports exist before it activates, and JACK connects only active clients:
    // keep trying until it is.
    return waitFor(
        [&] {
            return link(sourceClient_, click, app + ":in_l") && link(sourceClient_, click, app + ":in_r") &&
                   link(sourceClient_, midi, app + ":midi_in") &&
                   link(recorderClient_, click, jack_port_name(clickIn_)) &&
                   link(recorderClient_, app + ":out_l", jack_port_name(heardIn_));
        },
        timeoutSeconds);
}

std::vector<std::string> JackProbe::connections(const std::string& port) const {
    std::vector<std::string> names;
    jack_port_t* p = jack_port_by_name(sourceClient_, port.c_str());
    const char** connected = p ? jack_port_get_all_connections(sourceClient_, p) : nullptr;
    for (size_t i = 0; connected && connected[i]; ++i) names.emplace_back(connected[i]);
    if (connected) jack_free(connected);
    return names;
}

bool JackProbe::record(int timeoutSeconds) {
    recorded_ = 0;
    recording_ = true;
    return waitFor([&] { return !recording_.load(); }, timeoutSeconds);
}

bool JackProbe::sendMidi(uint8_t status, uint8_t data1, uint8_t data2, int timeoutSeconds) {
    midi_[0] = status;
    midi_[1] = data1;
    midi_[2] = data2;
    midiPending_ = true;
    return waitFor([&] { return !midiPending_.load(); }, timeoutSeconds);
}

int JackProbe::source(jack_nframes_t frames) {
    auto* out = static_cast<float*>(jack_port_get_buffer(clickOut_, frames));
    // A 2 ms click at the start of every period.
    for (jack_nframes_t i = 0; i < frames; ++i, ++phase_) out[i] = phase_ % clickPeriod_ < 96 ? 0.5f : 0.0f;
    void* midi = jack_port_get_buffer(midiOut_, frames);
    jack_midi_clear_buffer(midi);
    if (midiPending_.load() && jack_midi_event_write(midi, 0, midi_, 3) == 0) midiPending_ = false;
    return 0;
}

int JackProbe::recorder(jack_nframes_t frames) {
    if (!recording_.load()) return 0;
    const auto* click = static_cast<const float*>(jack_port_get_buffer(clickIn_, frames));
    const auto* heard = static_cast<const float*>(jack_port_get_buffer(heardIn_, frames));
    size_t at = recorded_.load();
    size_t n = std::min<size_t>(frames, clicks_.size() - at);
    std::memcpy(clicks_.data() + at, click, n * sizeof(float));
    std::memcpy(heard_.data() + at, heard, n * sizeof(float));
    recorded_ = at + n;
    if (recorded_ == clicks_.size()) recording_ = false;
    return 0;
}
