#pragma once

#include <string>
#include <vector>

#include "framework/AbstractParameterSetArray.h"
#include "framework/PropPluginParameter.h"

namespace wave {
class Producer;
}

// A fixed number of sets of which only the first n are active (sources, slots, steps). Every set that
// can exist is created with the plug-in, so the host sees a fixed parameter list; adding and removing
// only changes the active count and moves values between sets, which never move in memory.
class AbstractParameterSetList : public AbstractParameterSetArray {
public:
    // The active count n. Its index precedes those of the list's sets. Applying it also enables the
    // registered producers of the active sets and disables the others.
    class NumActiveParameter : public PropPluginParameter<int> {
    public:
        NumActiveParameter(AbstractParameterSetList& list, GenericParameterOwner* owner,
                           const std::string& listName);
        // Audio thread. Never blocks or allocates.
        void applyToEngine(float plain) override;

    private:
        AbstractParameterSetList& list_;
    };

    AbstractParameterSetList(GenericParameterOwner* owner, const std::string& listName);

    // Appends the active-count parameter, then the parameters of every set.
    void collectParameters(std::vector<AbstractPluginParameter*>& collection) override;
    // The active-count parameter's index.
    int firstParameterIndex() override;
    // UI thread. Removes the active set at position: the sets behind it move down by one and the set
    // that becomes inactive returns to its defaults. Nothing happens outside the active range or at
    // the minimum count.
    virtual void removeAt(int position);
    ~AbstractParameterSetList() override = default;

    // UI thread. Makes room at position (0 behaves like 1) by duplicating the set before it; the sets
    // behind move up by one. Nothing happens beyond the active range or at the maximum count.
    void insertAt(int position);
    // Construction. A table of producers, one entry per set (null allowed), that run only while their
    // set is active. The table is not owned.
    void addProducerTable(wave::Producer* const* table);

    int activeCount() const { return numActive_.rawValue(); }
    int minimumCount() const { return int(numActive_.minValue()); }
    int maximumCount() const { return int(numActive_.maxValue()); }
    NumActiveParameter& numActiveParameter() { return numActive_; }
    GenericParameterOwner* owner() const { return owner_; }

    // Whether removeAt removes the set at position: inside the active range, above the minimum.
    bool canRemove(int position) const;

private:
    void applyActiveCount(int count);

    NumActiveParameter numActive_;
    GenericParameterOwner* owner_;
    std::vector<wave::Producer* const*> producerTables_;
};
