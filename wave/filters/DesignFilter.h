#pragma once

#include <string>

#include "core/Property.h"
#include "wave/filters/FilterSettingTable.h"
#include "wave/filters/StateVariableFilter.h"

class BinaryDataReader;

// The state-variable filter shaped by a characteristic: drive, cubic saturation and damping come
// from the characteristic's tables, indexed by cut-off and peak, and the input gain from the
// characteristic. One per filter slot, shared by the slot's channel filters.
class DesignFilter : public StateVariableFilter {
public:
    // One characteristic: the clip shape, the frequency axis of its tables, the three tables and
    // the input gain. Built on the set-up thread, read-only while processing.
    class Style : public PropertyOwner {
    public:
        static constexpr int kTableSize = 11;

        // With a file name, loads the characteristic file from the embedded resources (throws
        // EResource when it is missing); without one, fills the default tables. Set-up thread.
        Style(const std::string& fileName, float inputGain);

        void propertyChanged(AbstractProperty* property) override;
        ~Style() override = default;
        // damping = min(row / (N - 1), 0.999), cubic 0, drive 0.1: the plain state-variable filter.
        virtual void fillDefaultTables();

        // Reads a characteristic file: "BXil", version, clip shape, axis low and high, then the
        // drive, cubic and damping tables. Answers false and changes nothing when the tag differs
        // (read no further), a table's size is not N (read no further) or the stream is short.
        bool load(BinaryDataReader& reader);

        // The stage-one parameters for a cut-off (log2 Hz) and a peak: damping parameter v, cubic
        // coefficient k, drive d (at least 0.1). Audio thread. Never blocks or allocates.
        void lookup(float frequency, float peak, float& v, float& k, float& d) const;

        float inputGain() const { return inputGain_; }
        float indexScale() const { return indexScale_; }
        const StateVariableFilter::ClipTable& clipTable() const { return clipTable_; }

        Property<float> clipShape;
        Property<float> frequencyLow;   // log2 Hz
        Property<float> frequencyHigh;  // log2 Hz
        Property<int> tableSize;

        FilterSettingTable drive;
        FilterSettingTable cubic;
        FilterSettingTable damping;

    private:
        void updateIndexScale();

        float indexScale_ = 0.0f;
        StateVariableFilter::ClipTable clipTable_;
        float inputGain_;
    };

    // The clip table is the given characteristic's and stays so. Set-up thread.
    DesignFilter(wave::Environment& environment, const Style* characteristic);

    // Switches the tables; the filter states stay. Audio thread. Never blocks or allocates.
    void setCharacteristic(const Style* characteristic) { characteristic_ = characteristic; }
    const Style* characteristic() const { return characteristic_; }

    void stageOneParameters(float frequency, float peak, float& v, float& k, float& d) const override;
    float inputGain() const override { return characteristic_->inputGain(); }
    const void* characteristicKey() const override { return characteristic_; }

private:
    const Style* characteristic_;
};
