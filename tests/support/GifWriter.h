// Writes small GIFs byte by byte for the tests, so that every field (disposal, transparency,
// tables, interlacing, loop count, broken blocks) is under the test's control. Image data is
// LZW with a clear code before the table would grow, so each pixel is one literal code.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace testgif {

using Rgb = std::array<std::uint8_t, 3>;

struct Frame {
    int x = 0, y = 0, width = 1, height = 1;
    std::vector<std::uint8_t> indexes;  // width * height, rows top to bottom
    std::vector<Rgb> localTable;        // empty: the global table
    bool interlaced = false;
    bool control = true;  // write a Graphic Control Extension
    int delay = 10;       // centiseconds
    int disposal = 0;
    std::optional<std::uint8_t> transparent;
};

struct Gif {
    int width = 1, height = 1;
    std::vector<Rgb> globalTable{{0, 0, 0}, {255, 255, 255}};
    std::optional<int> loopCount;
    std::vector<Frame> frames;
};

inline void put16(std::vector<std::uint8_t>& out, int v) {
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
    out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}

// A colour table padded to a power of two (at least 2 entries); returns the size field.
inline int putTable(std::vector<std::uint8_t>& out, const std::vector<Rgb>& table) {
    int bits = 1;
    while ((1u << bits) < table.size()) ++bits;
    for (std::size_t i = 0; i < (1u << bits); ++i) {
        const Rgb c = i < table.size() ? table[i] : Rgb{0, 0, 0};
        out.insert(out.end(), c.begin(), c.end());
    }
    return bits - 1;
}

inline void putImageData(std::vector<std::uint8_t>& out, const std::vector<std::uint8_t>& pixels) {
    const int minCode = 8;  // any index fits
    const int width = minCode + 1;
    const int clear = 1 << minCode;
    std::vector<std::uint8_t> packed;
    std::uint32_t bitBuffer = 0;
    int bitCount = 0;
    auto emit = [&](int code) {
        bitBuffer |= static_cast<std::uint32_t>(code) << bitCount;
        bitCount += width;
        while (bitCount >= 8) {
            packed.push_back(static_cast<std::uint8_t>(bitBuffer & 0xFF));
            bitBuffer >>= 8;
            bitCount -= 8;
        }
    };
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        if (i % 100 == 0) emit(clear);
        emit(pixels[i]);
    }
    emit(clear + 1);
    if (bitCount > 0) packed.push_back(static_cast<std::uint8_t>(bitBuffer & 0xFF));
    out.push_back(static_cast<std::uint8_t>(minCode));
    for (std::size_t at = 0; at < packed.size(); at += 255) {
        const std::size_t n = std::min<std::size_t>(255, packed.size() - at);
        out.push_back(static_cast<std::uint8_t>(n));
        out.insert(out.end(), packed.begin() + static_cast<std::ptrdiff_t>(at),
                   packed.begin() + static_cast<std::ptrdiff_t>(at + n));
    }
    out.push_back(0);
}

// Rows in the order an interlaced image stores them.
inline std::vector<std::uint8_t> interlace(const Frame& f) {
    std::vector<std::uint8_t> out;
    const int starts[4] = {0, 4, 2, 1}, steps[4] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass) {
        for (int y = starts[pass]; y < f.height; y += steps[pass]) {
            out.insert(out.end(), f.indexes.begin() + y * f.width, f.indexes.begin() + (y + 1) * f.width);
        }
    }
    return out;
}

inline void putFrame(std::vector<std::uint8_t>& out, const Frame& f) {
    if (f.control) {
        out.insert(out.end(), {0x21, 0xF9, 0x04});
        out.push_back(static_cast<std::uint8_t>((f.disposal << 2) | (f.transparent ? 1 : 0)));
        put16(out, f.delay);
        out.push_back(f.transparent.value_or(0));
        out.push_back(0);
    }
    out.push_back(0x2C);
    put16(out, f.x);
    put16(out, f.y);
    put16(out, f.width);
    put16(out, f.height);
    std::vector<std::uint8_t> table;
    const int size = f.localTable.empty() ? 0 : putTable(table, f.localTable);
    out.push_back(static_cast<std::uint8_t>((f.localTable.empty() ? 0 : 0x80 | size) | (f.interlaced ? 0x40 : 0)));
    out.insert(out.end(), table.begin(), table.end());
    putImageData(out, f.interlaced ? interlace(f) : f.indexes);
}

// The whole file; `trailer` false leaves the final 0x3B off.
inline std::vector<std::uint8_t> write(const Gif& gif, bool trailer = true) {
    std::vector<std::uint8_t> out{'G', 'I', 'F', '8', '9', 'a'};
    put16(out, gif.width);
    put16(out, gif.height);
    std::vector<std::uint8_t> table;
    const int size = gif.globalTable.empty() ? 0 : putTable(table, gif.globalTable);
    out.push_back(static_cast<std::uint8_t>(gif.globalTable.empty() ? 0 : 0x80 | 0x70 | size));
    out.push_back(0);
    out.push_back(0);
    out.insert(out.end(), table.begin(), table.end());
    if (gif.loopCount) {
        out.insert(out.end(), {0x21, 0xFF, 0x0B, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 0x03, 0x01});
        put16(out, *gif.loopCount);
        out.push_back(0);
    }
    for (const auto& f : gif.frames) putFrame(out, f);
    if (trailer) out.push_back(0x3B);
    return out;
}

// A frame of one colour index over a rectangle.
inline Frame solid(int x, int y, int width, int height, std::uint8_t index) {
    Frame f;
    f.x = x;
    f.y = y;
    f.width = width;
    f.height = height;
    f.indexes.assign(static_cast<std::size_t>(width * height), index);
    return f;
}

}  // namespace testgif
