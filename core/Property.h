#pragma once

#include <algorithm>

// Observable values. A property holds an owner (or none) and a value; setting it to a different
// value stores it and then tells the owner which property changed. Engine objects and toolkit
// controls expose their settings as properties, and parameters drive them.

class AbstractProperty;

class PropertyOwner {
public:
    virtual ~PropertyOwner() = default;
    // Called on the thread that set the property, after the new value is stored.
    virtual void propertyChanged(AbstractProperty* property) = 0;
};

class AbstractProperty {
public:
    explicit AbstractProperty(PropertyOwner* owner = nullptr) : owner_(owner) {}
    virtual ~AbstractProperty() = default;
    AbstractProperty(const AbstractProperty&) = delete;
    AbstractProperty& operator=(const AbstractProperty&) = delete;

    PropertyOwner* owner() const { return owner_; }
    void setOwner(PropertyOwner* owner) { owner_ = owner; }

protected:
    void notifyOwner() {
        if (owner_) owner_->propertyChanged(this);
    }

private:
    PropertyOwner* owner_;
};

template <typename T>
class Property : public AbstractProperty {
public:
    explicit Property(PropertyOwner* owner = nullptr, T value = T()) : AbstractProperty(owner), value_(value) {}

    const T& get() const { return value_; }
    operator const T&() const { return value_; }

    // Stores the value and notifies the owner when it differs from the current one.
    virtual void set(const T& value) {
        if (value == value_) return;
        value_ = value;
        notifyOwner();
    }
    Property& operator=(const T& value) {
        set(value);
        return *this;
    }

protected:
    T value_;
};

template <typename T>
class LimitedProperty : public Property<T> {
public:
    LimitedProperty(PropertyOwner* owner, T value, T minimum, T maximum)
        : Property<T>(owner, std::clamp(value, minimum, maximum)), minimum_(minimum), maximum_(maximum) {}

    T minimum() const { return minimum_; }
    T maximum() const { return maximum_; }

    // Narrowing the limits moves a value that falls outside them to the nearest limit.
    void setLimits(T minimum, T maximum) {
        minimum_ = minimum;
        maximum_ = std::max(minimum, maximum);
        set(this->value_);
    }

    void set(const T& value) override {
        T limited = std::clamp(value, minimum_, maximum_);
        if (limited == this->value_) return;
        this->value_ = limited;
        this->notifyOwner();
    }
    LimitedProperty& operator=(const T& value) {
        set(value);
        return *this;
    }

private:
    T minimum_;
    T maximum_;
};
