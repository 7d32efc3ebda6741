#pragma once

// Host parameters: typed values with taper delegates (normalised <-> real) and display delegates
// (real <-> text), kept by a manager in registration order. Values are normalised doubles held
// atomically, since hosts automate from their own threads while packets are generated elsewhere.

#include <algorithm>
#include <atomic>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "host/aax/sdk/AAX_Types.h"

template <typename T>
class AAX_ITaperDelegate {
public:
    virtual ~AAX_ITaperDelegate() = default;
    virtual T GetMaximumValue() const = 0;
    virtual T GetMinimumValue() const = 0;
    virtual T ConstrainRealValue(T value) const = 0;
    virtual T NormalizedToReal(double normalized) const = 0;
    virtual double RealToNormalized(T real) const = 0;
};

template <typename T>
class AAX_IDisplayDelegate {
public:
    virtual ~AAX_IDisplayDelegate() = default;
    virtual bool ValueToString(T value, std::string& text) const = 0;
    virtual bool StringToValue(const std::string& text, T& value) const = 0;
};

// Whole steps from minimum to maximum.
template <typename T>
class AAX_CStateTaperDelegate : public AAX_ITaperDelegate<T> {
public:
    AAX_CStateTaperDelegate(T minimum, T maximum) : min_(minimum), max_(std::max(minimum, maximum)) {}
    T GetMaximumValue() const override { return max_; }
    T GetMinimumValue() const override { return min_; }
    T ConstrainRealValue(T v) const override { return std::clamp(v, min_, max_); }
    T NormalizedToReal(double n) const override {
        double span = static_cast<double>(max_ - min_);
        return ConstrainRealValue(static_cast<T>(static_cast<double>(min_) + std::clamp(n, 0.0, 1.0) * span + 0.5));
    }
    double RealToNormalized(T v) const override {
        return max_ == min_ ? 0.0 : static_cast<double>(ConstrainRealValue(v) - min_) / static_cast<double>(max_ - min_);
    }

private:
    T min_, max_;
};

class AAX_CBinaryTaperDelegate : public AAX_ITaperDelegate<bool> {
public:
    bool GetMaximumValue() const override { return true; }
    bool GetMinimumValue() const override { return false; }
    bool ConstrainRealValue(bool v) const override { return v; }
    bool NormalizedToReal(double n) const override { return n >= 0.5; }
    double RealToNormalized(bool v) const override { return v ? 1.0 : 0.0; }
};

class AAX_CBinaryDisplayDelegate : public AAX_IDisplayDelegate<bool> {
public:
    AAX_CBinaryDisplayDelegate(std::string offText, std::string onText) : off_(std::move(offText)), on_(std::move(onText)) {}
    bool ValueToString(bool v, std::string& text) const override {
        text = v ? on_ : off_;
        return true;
    }
    bool StringToValue(const std::string& text, bool& v) const override {
        if (text == on_) v = true;
        else if (text == off_) v = false;
        else return false;
        return true;
    }

private:
    std::string off_, on_;
};

// The type-independent face of a host parameter.
class AAX_IParameter {
public:
    enum ValueType { Bool, Long, Float };

    AAX_IParameter(AAX_CParamID identifier, std::string name, bool automatable)
        : id_(std::move(identifier)), name_(std::move(name)), automatable_(automatable) {}
    virtual ~AAX_IParameter() = default;

    const AAX_CParamID& Identifier() const { return id_; }
    const std::string& Name() const { return name_; }
    bool Automatable() const { return automatable_; }
    int32_t GetNumberOfSteps() const { return steps_; }
    void SetNumberOfSteps(int32_t steps) { steps_ = steps; }
    AAX_EParameterType GetType() const { return type_; }
    void SetType(AAX_EParameterType type) { type_ = type; }

    double GetNormalizedValue() const { return normalized_.load(); }
    void SetNormalizedValue(double n) { normalized_.store(std::clamp(n, 0.0, 1.0)); }
    virtual double GetNormalizedDefaultValue() const = 0;
    virtual ValueType valueType() const = 0;
    // The real value in the widest type of its kind.
    virtual double GetValueAsDouble() const = 0;
    virtual void SetValueFromDouble(double real) = 0;
    virtual bool GetValueString(std::string& text) const = 0;
    virtual bool SetValueFromString(const std::string& text) = 0;

private:
    AAX_CParamID id_;
    std::string name_;
    bool automatable_;
    int32_t steps_ = 2;
    AAX_EParameterType type_ = AAX_eParameterType_Continuous;
    std::atomic<double> normalized_{0.0};
};

template <typename T>
class AAX_CParameter : public AAX_IParameter {
public:
    // The parameter owns its delegates.
    AAX_CParameter(AAX_CParamID identifier, std::string name, T defaultValue,
                   std::unique_ptr<AAX_ITaperDelegate<T>> taper, std::unique_ptr<AAX_IDisplayDelegate<T>> display,
                   bool automatable)
        : AAX_IParameter(std::move(identifier), std::move(name), automatable),
          taper_(std::move(taper)),
          display_(std::move(display)),
          default_(taper_->ConstrainRealValue(defaultValue)) {
        SetNormalizedValue(taper_->RealToNormalized(default_));
    }

    T GetValue() const { return taper_->NormalizedToReal(GetNormalizedValue()); }
    void SetValue(T v) { SetNormalizedValue(taper_->RealToNormalized(taper_->ConstrainRealValue(v))); }
    T GetDefaultValue() const { return default_; }
    double GetNormalizedDefaultValue() const override { return taper_->RealToNormalized(default_); }
    ValueType valueType() const override {
        if constexpr (std::is_same_v<T, bool>) return Bool;
        else if constexpr (std::is_integral_v<T>) return Long;
        else return Float;
    }
    double GetValueAsDouble() const override { return static_cast<double>(GetValue()); }
    void SetValueFromDouble(double real) override { SetValue(static_cast<T>(real)); }
    bool GetValueString(std::string& text) const override { return display_->ValueToString(GetValue(), text); }
    bool SetValueFromString(const std::string& text) override {
        T v;
        if (!display_->StringToValue(text, v)) return false;
        SetValue(v);
        return true;
    }
    const AAX_ITaperDelegate<T>& taper() const { return *taper_; }

private:
    std::unique_ptr<AAX_ITaperDelegate<T>> taper_;
    std::unique_ptr<AAX_IDisplayDelegate<T>> display_;
    T default_;
};

class AAX_CParameterManager {
public:
    void AddParameter(std::unique_ptr<AAX_IParameter> parameter) { parameters_.push_back(std::move(parameter)); }
    int NumParameters() const { return static_cast<int>(parameters_.size()); }
    AAX_IParameter* GetParameter(int index) const {
        return index >= 0 && index < NumParameters() ? parameters_[index].get() : nullptr;
    }
    AAX_IParameter* GetParameterByID(const AAX_CParamID& id) const;
    void RemoveAllParameters() { parameters_.clear(); }

private:
    std::vector<std::unique_ptr<AAX_IParameter>> parameters_;
};
