#pragma once

#include <cstring>
#include <map>
#include <string>

// Writes preset files in the documented flat layout (tag, version, count, float32 values) for the
// older versions: every position holds 0 unless the test sets it, which is "nothing" for the old
// slot sources and targets and the shortest times and lowest levels elsewhere.
class OldPresetWriter {
public:
    OldPresetWriter(std::string tag, int version, int count)
        : tag_(std::move(tag)), version_(version), count_(count) {}

    OldPresetWriter& at(int position, float value) {
        values_[position] = value;
        return *this;
    }
    // An old modulation slot: five positions from first + 5 * slot (Source, Level, Bypassed,
    // Inverted, Target), source and target given in the old numbering (stored plus one).
    OldPresetWriter& slot(int first, int slot, int source, float level, int target) {
        int p = first + 5 * slot;
        return at(p, float(source + 1)).at(p + 1, level).at(p + 4, float(target + 1));
    }
    // The bytes, with the count as given but only the first `written` values (all when -1).
    std::string bytes(int written = -1) const {
        std::string out = tag_.substr(0, 4);
        auto put = [&](const void* p) { out.append(static_cast<const char*>(p), 4); };
        put(&version_);
        put(&count_);
        int n = written < 0 ? count_ : written;
        for (int i = 0; i < n; ++i) {
            auto it = values_.find(i);
            float v = it == values_.end() ? 0.0f : it->second;
            put(&v);
        }
        return out;
    }

private:
    std::string tag_;
    int version_;
    int count_;
    std::map<int, float> values_;
};
