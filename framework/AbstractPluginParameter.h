#pragma once

#include <string>

#include "framework/GenericParameterOwner.h"

// Root of all automatable parameters. A parameter keeps its value in plain units and converts it to
// and from normalised values, display values, text and engine values. Values cross these operations
// as floats; indexed parameters pass their index as a float.
class AbstractPluginParameter {
public:
    enum Kind { Continuous = 0, Indexed = 1 };

    // Registers with the owner, which assigns the global index.
    AbstractPluginParameter(GenericParameterOwner* owner, std::string name, int kind)
        : name_(std::move(name)), owner_(owner), kind_(kind) {
        index_ = owner_ ? owner_->addParameter(this) : -1;
    }
    virtual ~AbstractPluginParameter() = default;
    AbstractPluginParameter(const AbstractPluginParameter&) = delete;
    AbstractPluginParameter& operator=(const AbstractPluginParameter&) = delete;

    virtual float displayToPlain(float display) const { return display; }
    virtual float plainToDisplay(float plain) const { return plain; }
    virtual float plainToNormalized(float plain) const = 0;
    virtual float plainToHostNormalized(float plain, int /*stepKey*/) const { return plainToNormalized(plain); }
    virtual float normalizedToPlain(float normalized) const = 0;
    // False, with the current value written out, when the text cannot be read.
    virtual bool textToPlain(const std::string& /*text*/, float& plain) const {
        plain = value();
        return false;
    }
    virtual bool hostNormalizedToPlain(float normalized, int /*stepKey*/, float& plain) const {
        plain = normalizedToPlain(normalized);
        return true;
    }
    virtual std::string plainToText(float plain) const = 0;
    virtual float defaultValue() const = 0;
    virtual int valueForKey(int /*key*/) const { return -1; }
    virtual float maxValue() const = 0;
    virtual float minValue() const = 0;
    virtual float value() const = 0;
    // [any], [audio] included (MIDI learn, LV2 control ports).
    virtual void setValue(float plain, int flags) = 0;
    virtual bool isNumeric() const = 0;
    // [audio] While the owner drains its parameter queue.
    virtual void applyToEngine(float /*plain*/) {}

    bool automatable() const { return automatable_; }
    // [ui] [worker]
    const std::string& name() const { return name_; }
    void setName(std::string name) { name_ = std::move(name); }
    // [ui] [worker] Replaces one character of the name in place, without allocating; never on the
    // audio thread, since hosts and the editor read names at any time.
    void setNameCharacter(std::size_t position, char c) {
        if (position < name_.size()) name_[position] = c;
    }
    int index() const { return index_; }
    const std::string& helpText() const { return helpText_; }
    void setHelpText(std::string text) { helpText_ = std::move(text); }
    GenericParameterOwner* owner() const { return owner_; }
    int kind() const { return kind_; }

protected:
    bool automatable_ = true;
    std::string name_;
    int index_;
    std::string helpText_;
    GenericParameterOwner* owner_;
    int kind_;
};
