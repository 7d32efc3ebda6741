#pragma once

// Builds characteristic files in memory from the documented layout: "BXil", version, clip shape,
// axis low and high, then three tables, each an int32 N and N * N float32 values by rows.

#include <functional>
#include <sstream>
#include <string>

#include "streams/BinaryDataWriter.h"

namespace filtertest {

struct FilterFile {
    std::string tag = "BXil";
    int version = 1;
    float clipShape = 0.3f;
    float low = 2.2666f;
    float high = 16.2064f;
    int sizes[3] = {11, 11, 11};
    // Value of table t (0 drive, 1 cubic, 2 damping) at row r and column c.
    std::function<float(int t, int r, int c)> value = [](int t, int r, int c) {
        return t == 0 ? 0.1f + 0.01f * c : t == 1 ? 0.001f * r : 0.1f * r + 0.01f * c;
    };

    std::string bytes() const {
        std::ostringstream out(std::ios::binary);
        BinaryDataWriter w(out);
        w.writeHeader(tag, version);
        w.writeFloat32(clipShape);
        w.writeFloat32(low);
        w.writeFloat32(high);
        for (int t = 0; t < 3; ++t) {
            w.writeInt32(sizes[t]);
            for (int r = 0; r < sizes[t]; ++r)
                for (int c = 0; c < sizes[t]; ++c) w.writeFloat32(value(t, r, c));
        }
        return out.str();
    }
};

}  // namespace filtertest
