#pragma once

#include <memory>
#include <utility>
#include <vector>

#include "framework/AbstractParameterSetArray.h"

// An array of sets of class T, all always in use. The concrete array creates its sets in its
// constructor, which fixes their global indices.
template <typename T>
class ParameterSetArray : public AbstractParameterSetArray {
public:
    int getSetCount() override { return static_cast<int>(sets_.size()); }
    PluginParameterSet* getSet(int i) override { return sets_[std::size_t(i)].get(); }
    T& set(int i) { return *sets_[std::size_t(i)]; }

protected:
    // Construction. Creates the next set and answers it.
    template <typename... Args>
    T& createSet(Args&&... args) {
        sets_.push_back(std::make_unique<T>(std::forward<Args>(args)...));
        return *sets_.back();
    }

private:
    std::vector<std::unique_ptr<T>> sets_;
};
