#pragma once

#include <istream>
#include <string>
#include <vector>

#include "framework/GenericParameterOwner.h"
#include "streams/BinaryDataReader.h"

// Reads a preset file (tag, version, count, count float32 values) into a target. The file is read
// whole and checked before anything changes: a wrong tag, an unaccepted version, a negative count,
// a count the file cannot hold or a file that ends early fails the load with the target unchanged.
// Only then are the values applied, inside one beginUpdate/endUpdate batch: positions the file does
// not reach get their defaults, surplus values are ignored, and a value that is not a finite number
// gives its position the default. UI thread.
class PresetLoader {
public:
    PresetLoader(GenericParameterOwner& target, std::string tag) : target_(target), tag_(std::move(tag)) {}
    virtual ~PresetLoader() = default;

    // requestedVersion -1: any version the loader accepts. A non-empty tagOverride replaces the
    // expected tag.
    bool load(BinaryDataReader& reader, int requestedVersion, const std::string& tagOverride = std::string());
    // Reads the file at the path.
    bool loadFile(const std::string& path, int requestedVersion,
                  const std::string& tagOverride = std::string());

    // Larger files are refused before anything is allocated for them.
    static constexpr std::size_t kMaxFileBytes = 1 << 20;

protected:
    virtual void finishLoad(int /*version*/) {}
    virtual int valueCount() = 0;
    virtual std::string expectedTag(int /*version*/) { return tag_; }
    virtual void prepareLoad(int /*version*/) {}
    virtual bool acceptsVersion(int /*version*/) { return true; }
    virtual void resetValue(int position) = 0;
    virtual void applyValue(int position, float value) = 0;

    GenericParameterOwner& target_;
    std::string tag_;
};
