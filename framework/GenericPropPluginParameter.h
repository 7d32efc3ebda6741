#pragma once

#include <string>
#include <vector>

#include "framework/GenericParameterOwner.h"

// A parameter of class Base that keeps a list of bound properties of class P up to date. The
// subclass's applyToEngine writes them.
template <typename P, typename Base>
class GenericPropPluginParameter : public Base {
public:
    GenericPropPluginParameter(GenericParameterOwner* owner, std::string name)
        : Base(owner, std::move(name)) {}

    // Construction. Answers the position of the new binding.
    int bind(P* property) {
        bound_.push_back(property);
        return static_cast<int>(bound_.size()) - 1;
    }
    const std::vector<P*>& bindings() const { return bound_; }

protected:
    std::vector<P*> bound_;
};
