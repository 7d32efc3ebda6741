#include "wave/filters/FilterSettingTable.h"

#include <algorithm>
#include <cmath>

#include "streams/BinaryDataReader.h"

FilterSettingTable::FilterSettingTable(int n) : size(this, n < 1 ? 1 : n) { allocate(); }

void FilterSettingTable::propertyChanged(AbstractProperty* property) {
    if (property == &size) allocate();
}

void FilterSettingTable::allocate() {
    int n = std::max(size.get(), 1);
    values_.assign(static_cast<std::size_t>(n + 1) * (n + 1), 0.0f);
    slopes_.assign(values_.size(), 0.0f);
}

void FilterSettingTable::fill(float v) {
    int n = size.get();
    for (int r = 0; r < n; ++r)
        for (int c = 0; c < n; ++c) setValue(r, c, v);
    updateSlopes();
}

void FilterSettingTable::updateSlopes() {
    int n = size.get();
    for (int r = 0; r <= n; ++r) {
        for (int c = 0; c <= n; ++c) {
            int i = index(r, c);
            slopes_[i] = c < n - 1 ? values_[i + 1] - values_[i] : 0.0f;
        }
    }
}

bool FilterSettingTable::readValues(BinaryDataReader& reader, int expectedSize, std::vector<float>& values) {
    std::int32_t n = reader.readInt32();
    if (!reader.ok()) return false;
    if (n != expectedSize) {
        reader.stream().setstate(std::ios::failbit);
        return false;
    }
    std::vector<float> read(static_cast<std::size_t>(n) * n);
    for (float& v : read) v = reader.readFloat32();
    if (!reader.ok()) return false;
    values.swap(read);
    return true;
}

void FilterSettingTable::assign(int n, const std::vector<float>& values) {
    size.set(n);
    allocate();
    for (int r = 0; r < n; ++r)
        for (int c = 0; c < n; ++c) setValue(r, c, values[static_cast<std::size_t>(r) * n + c]);
    updateSlopes();
}

bool FilterSettingTable::read(BinaryDataReader& reader, int expectedSize) {
    std::vector<float> values;
    if (!readValues(reader, expectedSize, values)) return false;
    assign(expectedSize, values);
    return true;
}

float FilterSettingTable::lookup(float x, float y) const {
    const float last = static_cast<float>(size.get() - 1);
    x = x >= 0.0f ? std::min(x, last) : 0.0f;
    y = y >= 0.0f ? std::min(y, last) : 0.0f;
    int r = static_cast<int>(y);
    int c = static_cast<int>(x);
    float dx = x - static_cast<float>(c);
    int i = index(r, c);
    int below = index(r + 1, c);
    float a = dx * slopes_[i] + values_[i];
    float b = dx * slopes_[below] + values_[below];
    return a + (b - a) * (y - static_cast<float>(r));
}
