#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/Property.h"
#include "wave/filters/DesignFilter.h"
#include "wave/filters/GenericFilter.h"

// A channel filter of a filter slot. Its characteristic selects either the slot's group processor
// (a DesignFilter shared with the slot's other channel filter, with that characteristic's tables)
// or a unit of its own ("Clean", a biquad filter).
class MultiDesignFilter : public GenericFilter, public PropertyOwner {
public:
    // The display list of the characteristic parameter.
    static constexpr const char* kCharacteristicNames =
        "Brixholde Prime,Gentle,Raw,Tube,Metal,Easy Going,Smooth,Hard,Hollow,Extreme,Clean";

    // The characteristic list: built on the set-up thread, read-only afterwards, shared by the
    // filters created from it.
    class Style {
    public:
        Style() = default;
        Style(const Style&) = delete;
        Style& operator=(const Style&) = delete;

        // The ten characteristics from their embedded files, in display order. Throws EResource
        // when a file is missing from the build. Set-up thread.
        static std::unique_ptr<Style> createCharacteristics();

        void add(std::unique_ptr<DesignFilter::Style> characteristic) {
            characteristics_.push_back(std::move(characteristic));
        }
        int size() const { return static_cast<int>(characteristics_.size()); }
        const DesignFilter::Style* at(int i) const { return characteristics_[i].get(); }

    private:
        std::vector<std::unique_ptr<DesignFilter::Style>> characteristics_;
    };

    // One per filter slot and instance: the slot's group processor, constructed with the first
    // characteristic (whose clip table it keeps).
    class ParallelUnit {
    public:
        ParallelUnit(wave::Environment& environment, const Style& characteristics);
        virtual ~ParallelUnit();

        wave::Environment& environment() const { return *environment_; }
        DesignFilter& group() { return *group_; }
        const Style& characteristics() const { return *characteristics_; }

    private:
        wave::Environment* environment_;
        const Style* characteristics_;
        std::unique_ptr<DesignFilter> group_;
    };

    // What a characteristic selects.
    struct Entry {
        GenericFilter::FilterUnit* unit;  // own unit, or null
        DesignFilter* group;              // group processor, or null
        int index;                        // characteristic number in the list, -1 for none
    };

    // Starts with characteristic 0 as a client of the slot's group. Set-up thread.
    explicit MultiDesignFilter(ParallelUnit& parallelUnit);
    ~MultiDesignFilter() override;

    // 0 .. entry count - 1; bound to the filter's characteristic parameter. A value without an
    // entry is ignored. Audio thread (a property change); never allocates.
    Property<int> characteristic;

    // Appends an entry with a unit of the filter's own (the engine adds the biquad "Clean"). Set-up
    // thread.
    void addOwnUnit(std::unique_ptr<GenericFilter::FilterUnit> unit);
    int entryCount() const { return static_cast<int>(entries_.size()); }
    const Entry& entry(int i) const { return entries_[i]; }
    DesignFilter& slotGroup() const { return *slotGroup_; }

    void propertyChanged(AbstractProperty* property) override;

private:
    DesignFilter* slotGroup_;
    const Style* characteristics_;
    std::vector<Entry> entries_;
    std::vector<std::unique_ptr<GenericFilter::FilterUnit>> ownUnits_;
};
