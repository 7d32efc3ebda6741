#pragma once

#include <array>
#include <vector>

#include "core/Property.h"
#include "framework/AbstractMusicEventReceiver.h"
#include "wave/Producer.h"
#include "wave/SmoothedValue.h"

// Turns one kind of incoming MIDI data (modulation wheel, pitch bend, velocity, aftertouch, keyboard
// tracking or any controller) into a smoothed modulation signal between -1 and 1, through one of six
// response curves. All sources of an instance share one Cache, which remembers the latest value of
// every kind of data and tells the sources about each change.
class MidiModSource : public wave::Source, public PropertyOwner {
public:
    enum MidiInput { ModWheel = 0, PitchBend = 1, Velocity = 2, Aftertouch = 3, KbTrack = 4, Controller = 5 };
    enum ResponseCurve { Linear = 0, Exp = 1, Log = 2, Sqr = 3, Sqrt = 4, Sine = 5 };

    // Receives the MIDI events of the channel event receiver and keeps the last value of each kind.
    class Cache : public AbstractChannelEventReceiver::MidiListener {
    public:
        static constexpr int kModWheel = 128;
        static constexpr int kPitchBend = 129;
        static constexpr int kVelocity = 130;
        static constexpr int kAftertouch = 131;
        static constexpr int kNote = 132;
        static constexpr int kEntryCount = 133;

        Cache() { values_.fill(0.0f); }

        // Audio thread. Never blocks or allocates. Each stores the value, then tells every
        // registered source which entry changed. Out-of-range controller and note numbers are
        // ignored; values are limited to their ranges.
        void channelPressure(float value) override;
        void polyPressure(int note, float value) override;
        void controller(int controller, float value) override;
        void modulationWheel(float value) override;
        void noteOff(int note, float velocity) override;
        void noteOn(int note, float velocity) override;
        void pitchBend(float value) override;

        float value(int entry) const { return values_[entry]; }

        // Set-up: sources register themselves at construction and leave at destruction.
        void addSource(MidiModSource* source) { sources_.push_back(source); }
        void removeSource(MidiModSource* source);

    private:
        void store(int entry, float value);

        std::array<float, kEntryCount> values_;
        std::vector<MidiModSource*> sources_;
    };

    using CurveFunction = float (*)(float);

    MidiModSource(wave::Environment& environment, Cache& cache);
    ~MidiModSource() override;

    LimitedProperty<int> controllerNumber;  // 0 .. 127, used with the "Controller" input
    Property<MidiInput> midiInput;          // default "Mod Wheel"
    Property<ResponseCurve> responseCurve;  // default "Linear"

    // The cache entry this source follows: 128 + input for inputs 0 to 4, else the controller number.
    int cacheIndex() const;
    // Audio thread. Never blocks or allocates. Retargets the output when `entry` is this source's.
    void entryChanged(int entry, float value);
    // The value the editor shows for this source (0 .. 1 for pitch bend, velocity and keyboard
    // tracking; the output otherwise).
    float displayValue() const;
    SmoothedValue& output() { return output_; }

    static CurveFunction curveFunction(ResponseCurve curve);

    // Audio thread. Never blocks or allocates.
    void produce(SampleBuffer& buffer, int count, int flags) override;
    void propertyChanged(AbstractProperty* property) override;

private:
    Cache& cache_;
    CurveFunction curve_;
    SmoothedValue output_;
};
