#pragma once

#include <jack/jack.h>

#include <array>
#include <atomic>
#include <memory>
#include <string>

#include "framework/MidiMessage.h"
#include "tools/lorimane/StandaloneProcessor.h"

// The application's JACK client: stereo in and out, a stereo side-chain input and a MIDI input,
// the plug-in processing in the process callback at the server's rate and buffer size.
class JackSession {
public:
    static constexpr int kMaxMidiPerBlock = 512;

    // [ui] Connects to a running server (never starts one); null with a message when none answers.
    // shutdownFd is written to (one byte) when the server goes away while the client runs.
    static std::unique_ptr<JackSession> open(const std::string& clientName, int shutdownFd, std::string& error);
    ~JackSession();
    JackSession(const JackSession&) = delete;
    JackSession& operator=(const JackSession&) = delete;

    // [ui] The name the server gave the client (it may differ from the one asked for).
    std::string clientName() const;
    double sampleRate() const;
    int bufferSize() const;

    // [ui] Starts processing through the processor, which lives until deactivate returns.
    bool activate(StandaloneProcessor& processor, std::string& error);
    // [ui] Stops processing; safe after the server went away.
    void deactivate();
    // [ui] Connects the inputs to the first physical capture ports and the outputs to the first
    // physical playback ports; answers how many connections were made.
    int connectPhysicalPorts();

    long xruns() const { return xruns_.load(); }
    bool serverGone() const { return serverGone_.load(); }

private:
    explicit JackSession(jack_client_t* client, int shutdownFd);
    bool registerPorts(std::string& error);
    int process(jack_nframes_t frames);

    jack_client_t* client_;
    const int shutdownFd_;
    std::array<jack_port_t*, 4> inputs_{};  // left, right, side chain left, side chain right
    std::array<jack_port_t*, 2> outputs_{};
    jack_port_t* midi_ = nullptr;
    std::atomic<StandaloneProcessor*> processor_{nullptr};
    // Set while the process callback runs: once the server is gone, deactivate waits for a callback
    // still under way instead of asking the server.
    std::atomic<bool> processing_{false};
    std::array<MidiMessage, kMaxMidiPerBlock> midiEvents_{};
    std::atomic<long> xruns_{0};
    std::atomic<bool> serverGone_{false};
    bool active_ = false;
};
