#pragma once

#include <memory>
#include <utility>
#include <vector>

#include "framework/AbstractParameterSetList.h"

// A list of sets of class T of which the first n are active. The concrete list sets the active
// count's range (numActiveParameter ().setIndexRange) and creates every set in its constructor, in
// order; getSetCount counts all created sets, not the active ones.
template <typename T>
class ParameterSetList : public AbstractParameterSetList {
public:
    using AbstractParameterSetList::AbstractParameterSetList;

    int getSetCount() override { return static_cast<int>(sets_.size()); }
    PluginParameterSet* getSet(int i) override { return sets_[std::size_t(i)]; }
    T& set(int i) { return *sets_[std::size_t(i)]; }

protected:
    // Construction. Creates and owns the next set.
    template <typename... Args>
    T& createSet(Args&&... args) {
        owned_.push_back(std::make_unique<T>(std::forward<Args>(args)...));
        sets_.push_back(owned_.back().get());
        return *sets_.back();
    }
    // Construction. Appends a set that another object owns.
    void addSharedSet(T* set) { sets_.push_back(set); }

private:
    std::vector<T*> sets_;
    std::vector<std::unique_ptr<T>> owned_;
};
