#pragma once

#include <istream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace gui {

class Bitmap;

// A failure to read an image; the message names what was wrong.
class EBitmap : public std::runtime_error {
public:
    explicit EBitmap(const std::string& message) : std::runtime_error(message) {}
};

// Reads one image format into a bitmap. Throws EBitmap when the data is not a readable image.
class BitmapFiler {
public:
    virtual ~BitmapFiler() = default;
    virtual void load(std::istream& stream, Bitmap& bitmap) = 0;
};

// Recognises a format from the start of a stream. The process-wide list of factories is what
// Bitmap::load asks, in order.
class BitmapFilerFactory {
public:
    virtual ~BitmapFilerFactory() = default;
    // A filer for the data, or none. The caller rewinds the stream afterwards.
    virtual std::unique_ptr<BitmapFiler> recognise(std::istream& stream) = 0;

    // The registered factories, the PNG factory first. Built on first use. UI thread.
    static std::vector<BitmapFilerFactory*>& factories();
};

}  // namespace gui
