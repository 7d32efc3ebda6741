#pragma once

#include <jack/jack.h>
#include <jack/midiport.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

// An in-test JACK client that plays a click train into the application and records what comes
// back, and sends MIDI on request. Two clients, so that the graph runs click source -> application
// -> recorder in one cycle and the recording holds the click and the application's output
// sample-aligned.
class JackProbe {
public:
    // Opens both clients on the server JACK_DEFAULT_SERVER names; null when it does not answer.
    static std::unique_ptr<JackProbe> open(const std::string& server, size_t recordFrames, int clickPeriod);
    ~JackProbe();

    // Waits until the application's ports exist.
    bool waitForApp(const std::string& app, int timeoutSeconds);
    // Waits until the application's ports exist, then connects click and MIDI to its inputs and its
    // left output to the recorder.
    bool connectTo(const std::string& app, int timeoutSeconds);
    // The ports connected to a port of any client.
    std::vector<std::string> connections(const std::string& port) const;
    // Starts recording from the next cycle and waits until the recording is full.
    bool record(int timeoutSeconds);
    // Sends the message in the next cycle and waits until it went out.
    bool sendMidi(uint8_t status, uint8_t data1, uint8_t data2, int timeoutSeconds);

    const std::vector<float>& clicks() const { return clicks_; }
    const std::vector<float>& heard() const { return heard_; }

private:
    JackProbe() = default;
    int source(jack_nframes_t frames);
    int recorder(jack_nframes_t frames);

    jack_client_t* sourceClient_ = nullptr;
    jack_client_t* recorderClient_ = nullptr;
    jack_port_t* clickOut_ = nullptr;
    jack_port_t* midiOut_ = nullptr;
    jack_port_t* clickIn_ = nullptr;
    jack_port_t* heardIn_ = nullptr;
    int clickPeriod_ = 24000;
    long phase_ = 0;
    std::vector<float> clicks_, heard_;
    std::atomic<bool> recording_{false};
    std::atomic<size_t> recorded_{0};
    uint8_t midi_[3] = {};
    std::atomic<bool> midiPending_{false};
};
