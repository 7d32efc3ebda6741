#pragma once

#include <string>
#include <vector>

#include "framework/AbstractPluginParameter.h"
#include "framework/GenericParameterOwner.h"

// An ordered list of parameters that a preset file addresses by position: all parameters of the
// plug-in (a full preset), one section (a component preset) or the parameters a preset load must
// leave alone. The parameters are not owned. UI thread unless said otherwise.
class ParameterCollection {
public:
    // owner: the plug-in whose beginUpdate/endUpdate brackets a load; tag: the file tag written.
    ParameterCollection(GenericParameterOwner& owner, std::string tag)
        : owner_(owner), tag_(std::move(tag)) {}

    void add(AbstractPluginParameter* parameter) { parameters_.push_back(parameter); }
    void clear() { parameters_.clear(); }
    // Appends the owner's parameters first to first + count - 1 (a section given as an index range).
    void addRange(int first, int count);
    // Every parameter of the owner in index order.
    void addAll() { addRange(0, owner_.getParameterCount()); }

    const std::vector<AbstractPluginParameter*>& parameters() const { return parameters_; }
    int size() const { return static_cast<int>(parameters_.size()); }
    AbstractPluginParameter* at(int position) const {
        return parameters_[static_cast<std::size_t>(position)];
    }
    GenericParameterOwner& owner() const { return owner_; }
    const std::string& tag() const { return tag_; }

    // Writes tag, version, count and every value as float32, atomically: a failed save leaves the
    // previous file (or none) in place. Answers whether the file was written.
    bool saveToFile(const std::string& path, int version) const;
    // The file's bytes as saveToFile writes them.
    std::string serialize(int version) const;
    std::vector<float> captureValues() const;
    // Sets the first min(list size, collection size) parameters (flags 0).
    void applyValues(const std::vector<float>& values) const;
    // One value per parameter, each within the float epsilon of the parameter's value.
    bool matches(const std::vector<float>& values) const;

private:
    GenericParameterOwner& owner_;
    std::string tag_;
    std::vector<AbstractPluginParameter*> parameters_;
};
