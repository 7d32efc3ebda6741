#include "gui/PNGFiler.h"

#include <zlib.h>

#include <array>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

#include "core/FloatEpsilon.h"
#include "gui/Bitmap.h"

namespace gui {

namespace {

constexpr uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr size_t kInflatePiece = 1024;

std::atomic<float> gDisplayGamma{1.0f};

[[noreturn]] void invalid() {
    throw EBitmap("Invalid PNG image");
}

uint32_t bigEndian(const uint8_t* p) {
    return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
}

void readExactly(std::istream& stream, void* into, size_t count) {
    stream.read(static_cast<char*>(into), static_cast<std::streamsize>(count));
    if (static_cast<size_t>(stream.gcount()) != count) invalid();
}

struct Chunk {
    uint32_t length = 0;
    char type[5] = {};
    bool is(const char* name) const { return std::memcmp(type, name, 4) == 0; }
};

Chunk readChunkHeader(std::istream& stream) {
    uint8_t header[8];
    readExactly(stream, header, 8);
    Chunk chunk;
    chunk.length = bigEndian(header);
    if (chunk.length > 0x7FFFFFFFu) invalid();
    std::memcpy(chunk.type, header + 4, 4);
    return chunk;
}

void skip(std::istream& stream, uint64_t count) {
    std::array<char, 4096> scratch;
    while (count > 0) {
        const size_t n = static_cast<size_t>(std::min<uint64_t>(count, scratch.size()));
        readExactly(stream, scratch.data(), n);
        count -= n;
    }
}

// The process-wide table t[i] = trunc((i / 255)^exponent * 255), rebuilt only when a file asks
// for a noticeably different exponent. Copied out under the lock, so loads on two threads never
// see a half-built table.
void gammaTable(float exponent, std::array<uint8_t, 256>& out) {
    static std::mutex lock;
    static std::array<uint8_t, 256> table;
    static float built = -1.0f;
    std::lock_guard<std::mutex> hold(lock);
    if (std::fabs(exponent - built) > kFloatEpsilon) {
        for (int i = 0; i < 256; ++i) {
            const double v = std::pow(i / 255.0, static_cast<double>(exponent)) * 255.0;
            table[i] = static_cast<uint8_t>(std::clamp(static_cast<int>(v), 0, 255));
        }
        built = exponent;
    }
    out = table;
}

uint8_t paeth(int a, int b, int c) {
    const int p = a + b - c;
    const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    if (pa <= pb && pa <= pc) return static_cast<uint8_t>(a);
    return static_cast<uint8_t>(pb <= pc ? b : c);
}

void unfilter(uint8_t type, uint8_t* row, const uint8_t* previous, size_t length, int bpp) {
    switch (type) {
        case 0:
            return;
        case 1:
            for (size_t i = bpp; i < length; ++i) row[i] = static_cast<uint8_t>(row[i] + row[i - bpp]);
            return;
        case 2:
            for (size_t i = 0; i < length; ++i) row[i] = static_cast<uint8_t>(row[i] + previous[i]);
            return;
        case 3:
            for (size_t i = 0; i < length; ++i) {
                const int left = i >= static_cast<size_t>(bpp) ? row[i - bpp] : 0;
                row[i] = static_cast<uint8_t>(row[i] + ((left + previous[i]) >> 1));
            }
            return;
        case 4:
            for (size_t i = 0; i < length; ++i) {
                const bool first = i < static_cast<size_t>(bpp);
                row[i] = static_cast<uint8_t>(
                    row[i] + paeth(first ? 0 : row[i - bpp], previous[i], first ? 0 : previous[i - bpp]));
            }
            return;
        default:
            invalid();
    }
}

struct Inflater {
    z_stream z{};
    Inflater() {
        if (inflateInit(&z) != Z_OK) invalid();
    }
    ~Inflater() { inflateEnd(&z); }
};

}  // namespace

void PNGFiler::setDisplayGamma(float factor) {
    gDisplayGamma = factor;
}

float PNGFiler::displayGamma() {
    return gDisplayGamma;
}

void PNGFiler::load(std::istream& stream, Bitmap& bitmap) {
    uint8_t signature[8];
    stream.read(reinterpret_cast<char*>(signature), 8);
    if (stream.gcount() != 8 || std::memcmp(signature, kSignature, 8) != 0)
        throw EBitmap("Invalid PNG signature");

    Chunk chunk = readChunkHeader(stream);
    if (!chunk.is("IHDR") || chunk.length != 13) invalid();
    uint8_t ihdr[13];
    readExactly(stream, ihdr, 13);
    skip(stream, 4);
    const uint32_t width = bigEndian(ihdr), height = bigEndian(ihdr + 4);
    const uint8_t depth = ihdr[8], colourType = ihdr[9];
    if (width < 1 || width > 0x7FFFFFFFu || height < 1 || height > 0x7FFFFFFFu || depth != 8 ||
        (colourType != 2 && colourType != 6) || ihdr[10] != 0 || ihdr[11] != 0 || ihdr[12] != 0)
        throw EBitmap("Unsupported PNG format");
    if (uint64_t{width} * height > kMaximumPixels) throw EBitmap("Unsupported PNG format");

    // Chunks up to the image data: only the gamma matters.
    float exponent = 1.010101f;
    for (;;) {
        chunk = readChunkHeader(stream);
        if (chunk.is("IDAT") || chunk.is("IEND")) break;
        if (chunk.is("gAMA") && chunk.length == 4) {
            uint8_t value[4];
            readExactly(stream, value, 4);
            const uint32_t gamma = bigEndian(value);
            if (gamma == 0) invalid();
            exponent = static_cast<float>(1.0 / (gamma * 1e-5 * 2.2));
            skip(stream, 4);
        } else {
            skip(stream, uint64_t{chunk.length} + 4);
        }
    }
    if (!chunk.is("IDAT")) invalid();
    std::array<uint8_t, 256> table;
    gammaTable(exponent * displayGamma(), table);

    bitmap.setSize(static_cast<int>(width), static_cast<int>(height));
    const int bpp = colourType == 6 ? 4 : 3;
    const size_t rowBytes = static_cast<size_t>(width) * bpp;
    std::vector<uint8_t> current(rowBytes + 1), previous(rowBytes, 0), rgba(static_cast<size_t>(width) * 4);
    Inflater inflater;
    std::array<uint8_t, kInflatePiece> input;
    uint32_t y = 0;
    size_t filled = 0;
    bool ended = false;
    while (y < height) {
        if (chunk.length == 0) {
            skip(stream, 4);
            chunk = readChunkHeader(stream);
            if (!chunk.is("IDAT")) invalid();
            continue;
        }
        const size_t n = std::min<size_t>(chunk.length, input.size());
        readExactly(stream, input.data(), n);
        chunk.length -= static_cast<uint32_t>(n);
        inflater.z.next_in = input.data();
        inflater.z.avail_in = static_cast<uInt>(n);
        while (inflater.z.avail_in > 0 && y < height) {
            if (ended) invalid();
            inflater.z.next_out = current.data() + filled;
            inflater.z.avail_out = static_cast<uInt>(current.size() - filled);
            const int result = inflate(&inflater.z, Z_NO_FLUSH);
            if (result != Z_OK && result != Z_STREAM_END && result != Z_BUF_ERROR) invalid();
            filled = current.size() - inflater.z.avail_out;
            if (result == Z_STREAM_END) ended = true;
            if (filled == current.size()) {
                unfilter(current[0], current.data() + 1, previous.data(), rowBytes, bpp);
                const uint8_t* in = current.data() + 1;
                for (uint32_t x = 0; x < width; ++x, in += bpp) {
                    uint8_t* out = rgba.data() + 4 * x;
                    out[0] = table[in[0]];
                    out[1] = table[in[1]];
                    out[2] = table[in[2]];
                    out[3] = bpp == 4 ? in[3] : 255;
                }
                bitmap.setRow(static_cast<int>(y), rgba.data());
                std::memcpy(previous.data(), current.data() + 1, rowBytes);
                filled = 0;
                ++y;
            } else if (result == Z_BUF_ERROR || ended) {
                if (ended) invalid();  // the data ended before the last row
                break;
            }
        }
    }
    bitmap.requestUpdate();
}

std::unique_ptr<BitmapFiler> PNGFilerFactory::recognise(std::istream& stream) {
    uint8_t signature[8];
    stream.read(reinterpret_cast<char*>(signature), 8);
    if (stream.gcount() != 8 || std::memcmp(signature, kSignature, 8) != 0) return nullptr;
    return std::make_unique<PNGFiler>();
}

}  // namespace gui
