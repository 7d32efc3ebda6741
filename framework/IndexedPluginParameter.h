#pragma once

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "framework/AbstractPluginParameter.h"

// Helpers shared by every indexed parameter, whatever its value type.
namespace indexed {
bool equalIgnoringCase(const std::string& a, const std::string& b);
// Reads a decimal integer after optional leading spaces; anything after the digits is ignored.
bool parseInteger(const std::string& text, int& result);
std::vector<std::string> splitAtCommas(const std::string& text);
}  // namespace indexed

// Indexed parameter: an enumeration, a switch or a stepped number. Its plain value is an index; the
// stored raw value is the index itself or, with a value table, the table's entry for the index.
// T is bool, int or an enumeration.
template <typename T>
class IndexedPluginParameter : public AbstractPluginParameter {
public:
    IndexedPluginParameter(GenericParameterOwner* owner, std::string name)
        : AbstractPluginParameter(owner, std::move(name), Indexed) {
        deriveIndexRange();
    }

    float plainToNormalized(float plain) const override {
        int span = maxIndex_ - minIndex_;
        if (span == 0) return 0.0f;
        return float(toIndex(plain) - minIndex_) / float(span);
    }

    // Rounds half up to the nearest index.
    float normalizedToPlain(float normalized) const override {
        double span = double(maxIndex_) - double(minIndex_);
        if (span <= 0.0 || std::isnan(normalized)) return float(minIndex_);
        double steps = std::clamp((0.5 / span + double(normalized)) * span, 0.0, span);
        return float(minIndex_ + int(steps));
    }

    // [ui] An item name (exactly, else ignoring case) or a number inside the index range
    // (without a value table) or an entry of the value table; anything else is refused.
    bool textToPlain(const std::string& text, float& plain) const override {
        plain = value();
        const std::vector<std::string>& names = *itemNames_;
        for (int pass = 0; pass < 2; ++pass) {
            for (std::size_t i = 0; i < names.size(); ++i) {
                bool match = pass == 0 ? names[i] == text : indexed::equalIgnoringCase(names[i], text);
                if (match) {
                    plain = float(minIndex_ + int(i));
                    return true;
                }
            }
        }
        int number = 0;
        if (!indexed::parseInteger(text, number)) return false;
        // Without names, a table parameter shows its raw values, so typed numbers are raw values.
        if (valueTable_ && names.empty()) {
            for (int i = 0; i < tableLength_; ++i) {
                if (valueTable_[i] == number) {
                    plain = float(firstTableIndex_ + i);
                    return true;
                }
            }
            return false;
        }
        if (number < minIndex_ || number > maxIndex_) return false;
        plain = float(number);
        return true;
    }

    std::string plainToText(float plain) const override {
        const std::vector<std::string>& names = *itemNames_;
        int index = toIndex(plain);
        int position = index - minIndex_;
        if (position >= 0 && position < int(names.size())) return names[std::size_t(position)];
        return std::to_string(rawOfIndex(index));
    }

    float defaultValue() const override { return float(indexOfRaw(default_)); }
    float maxValue() const override { return float(maxIndex_); }
    float minValue() const override { return float(minIndex_); }
    float value() const override { return float(indexOfRaw(int(rawValue()))); }

    // [any] Truncates and clamps to the index range; an unchanged index is dropped. Never
    // allocates.
    void setValue(float plain, int flags) override {
        if (std::isnan(plain)) return;
        int index = toIndex(plain);
        if (index == indexOfRaw(int(rawValue()))) return;
        value_.store(toValue(rawOfIndex(index)), std::memory_order_relaxed);
        if (owner_) owner_->parameterChanged(index_, float(index), flags);
    }

    bool isNumeric() const override { return itemNames_->empty(); }

    // Configuration: the raw range and default; the value becomes the default and the item names are
    // cleared.
    void setIndexRange(int rawMinimum, int rawMaximum, int defaultRaw) {
        rawMinimum_ = rawMinimum;
        rawMaximum_ = rawMaximum;
        default_ = defaultRaw;
        value_.store(toValue(defaultRaw), std::memory_order_relaxed);
        ownNames_.clear();
        itemNames_ = &ownNames_;
        deriveIndexRange();
    }
    // "Normal,Inverted" gives two items.
    void setItemNames(const std::string& text) {
        ownNames_ = indexed::splitAtCommas(text);
        itemNames_ = &ownNames_;
    }
    // Points the item names at a list owned elsewhere and shared by several parameters.
    void shareItemNames(const std::vector<std::string>* names) { itemNames_ = names ? names : &ownNames_; }
    // Index first + i stands for raw value table[i]. The table is not owned.
    void setValueTable(const int* table, int length, int first) {
        valueTable_ = length > 0 ? table : nullptr;
        tableLength_ = length;
        firstTableIndex_ = first;
        deriveIndexRange();
    }

    // The raw value an index stands for, and the index of a raw value.
    int rawOfIndex(int index) const {
        if (!valueTable_) return index;
        return valueTable_[std::clamp(index - firstTableIndex_, 0, tableLength_ - 1)];
    }
    int indexOfRaw(int raw) const {
        if (!valueTable_) return raw;
        for (int i = 0; i < tableLength_; ++i)
            if (valueTable_[i] == raw) return firstTableIndex_ + i;
        return firstTableIndex_;
    }

    // [any]
    T rawValue() const { return value_.load(std::memory_order_relaxed); }
    const std::vector<std::string>& itemNames() const { return *itemNames_; }

protected:
    // The plain value truncated toward zero and clamped to the index range; NaN gives the minimum.
    int toIndex(float plain) const {
        if (std::isnan(plain)) return minIndex_;
        return int(std::clamp(plain, float(minIndex_), float(maxIndex_)));
    }

    static T toValue(int raw) {
        if constexpr (std::is_same_v<T, bool>)
            return raw != 0;
        else
            return static_cast<T>(raw);
    }

    void deriveIndexRange() {
        if (valueTable_) {
            minIndex_ = firstTableIndex_;
            maxIndex_ = firstTableIndex_ + tableLength_ - 1;
        } else {
            minIndex_ = rawMinimum_;
            maxIndex_ = rawMaximum_;
        }
    }

    int default_ = 0;
    int maxIndex_ = 1;
    int minIndex_ = 0;
    const int* valueTable_ = nullptr;
    int tableLength_ = 0;
    int firstTableIndex_ = 0;
    int rawMaximum_ = 1;
    int rawMinimum_ = 0;
    // Written by the editor, host and worker threads, read by all of them and the audio thread.
    std::atomic<T> value_{T()};
    const std::vector<std::string>* itemNames_ = &ownNames_;
    std::vector<std::string> ownNames_;
};
