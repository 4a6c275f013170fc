// The slicing members with any text and any positions: never read past the text, and every
// result is a piece of it.
#include <QVToolbox/QVToolbox.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

long take(const uint8_t*& data, size_t& size) {
    long v = 0;
    if (size >= sizeof v) {
        std::memcpy(&v, data, sizeof v);
        data += sizeof v;
        size -= sizeof v;
    }
    return v % 4 == 0 ? v : v % 40;  // mostly small positions, sometimes extreme ones
}

void mustBePiece(const std::string& text, const std::string& piece) {
    if (!piece.empty() && text.find(piece) == std::string::npos) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const long a = take(data, size), b = take(data, size);
    const std::string text(reinterpret_cast<const char*>(data), size);
    const auto t = QVToolbox::hx(text);
    mustBePiece(text, t.sub({.to = a}));
    mustBePiece(text, t.sub({.from = a}));
    mustBePiece(text, t.sub({.start = a, .length = b}));
    mustBePiece(text, t.slice({a, b}));
    mustBePiece(text, t.indexString(a));
    if (t.validIndex(a) > text.size()) std::abort();
    (void)t.truncateString(a);
    (void)t.insertString("X", a);
    (void)t.hidePhone("*", a, b);
    (void)t.hideEmail();
    (void)t.hide12BitsPhone("****");
    (void)t.replacingCharacters({static_cast<uint64_t>(a), static_cast<uint64_t>(b)}, "Y");
    (void)t.countOfChars();
    (void)QVToolbox::hx(platform::NSRange{static_cast<uint64_t>(a), static_cast<uint64_t>(b)}).toRange(text);
    return 0;
}
