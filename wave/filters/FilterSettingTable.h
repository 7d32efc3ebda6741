#pragma once

#include <vector>

#include "core/Property.h"

class BinaryDataReader;

// A square table of floats indexed by peak (rows) and cut-off (columns), read with bilinear
// interpolation. One extra zero row and column keep the interpolation at the upper edges inside the
// storage. Set-up thread for changes; lookups are read-only and real-time safe.
class FilterSettingTable : public PropertyOwner {
public:
    explicit FilterSettingTable(int n = 11);

    // The table size N; a change reallocates the table, all zeros.
    Property<int> size;

    void propertyChanged(AbstractProperty* property) override;

    float value(int row, int column) const { return values_[index(row, column)]; }
    void setValue(int row, int column, float v) { values_[index(row, column)] = v; }
    void fill(float v);
    // Recomputes the slopes after values were changed.
    void updateSlopes();

    // Reads an int32 N and N * N float32 values, rows first. A size other than expectedSize or a
    // short stream is refused: the stream is left failed, nothing after the size is read (for a
    // wrong size), and values answers false with the table unchanged.
    static bool readValues(BinaryDataReader& reader, int expectedSize, std::vector<float>& values);
    // Takes N * N values, rows first, and recomputes the slopes.
    void assign(int n, const std::vector<float>& values);
    // readValues, then assign when the read succeeded.
    bool read(BinaryDataReader& reader, int expectedSize);

    // Bilinear interpolation at a column position x and a row position y, each kept within
    // 0 .. N - 1 (NaN reads position 0).
    float lookup(float x, float y) const;

private:
    int index(int row, int column) const { return row * (size.get() + 1) + column; }
    void allocate();

    std::vector<float> values_;
    std::vector<float> slopes_;
};
