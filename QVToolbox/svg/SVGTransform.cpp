#include <QVToolbox/svg/SVGTransform.h>

#include <QVToolbox/svg/SVGNumber.h>
#include <QVToolbox/svg/TransformScanner.h>

#include <cmath>
#include <vector>

namespace QVToolbox {

namespace {

using platform::CGAffineTransform;

bool isSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// The pieces between spaces and commas that read as finite numbers.
std::vector<double> numbers(std::string_view text) {
    std::vector<double> out;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && (text[i] == ' ' || text[i] == ',')) ++i;
        std::size_t end = i;
        while (end < text.size() && text[end] != ' ' && text[end] != ',') ++end;
        std::string_view piece = text.substr(i, end - i);
        while (!piece.empty() && isSpace(piece.front())) piece.remove_prefix(1);
        while (!piece.empty() && isSpace(piece.back())) piece.remove_suffix(1);
        if (const auto value = strictDouble(piece)) out.push_back(*value);
        i = end;
    }
    return out;
}

constexpr auto affine = platform::CGAffineTransformMake;

CGAffineTransform rotation(double degrees) {
    const double r = toRadians(degrees);
    return affine(std::cos(r), std::sin(r), -std::sin(r), std::cos(r), 0, 0);
}

}  // namespace

std::optional<Transform> Transform::make(std::string_view rawValue, std::string_view coordinatesString) {
    const std::vector<double> k = numbers(coordinatesString);
    if (k.empty()) return std::nullopt;
    const std::size_t n = k.size();
    if (rawValue == "matrix") {
        if (n < 6) return std::nullopt;
        return Transform{affine(k[0], k[1], k[2], k[3], k[4], k[5])};
    }
    if (rawValue == "translate") return Transform{affine(1, 0, 0, 1, k[0], n >= 2 ? k[1] : 0)};
    if (rawValue == "scale") return Transform{affine(k[0], 0, 0, n >= 2 ? k[1] : k[0], 0, 0)};
    if (rawValue == "rotate") {
        if (n == 1) return Transform{rotation(k[0])};
        if (n != 3) return std::nullopt;
        // About (cx, cy): move the centre to the origin, rotate, move back.
        const CGAffineTransform r = rotation(k[0]);
        const double cx = k[1], cy = k[2];
        return Transform{affine(r.a, r.b, r.c, r.d, cx - r.a * cx - r.c * cy, cy - r.b * cx - r.d * cy)};
    }
    if (rawValue == "skewX") return Transform{affine(1, 0, std::tan(toRadians(k[0])), 1, 0, 0)};
    if (rawValue == "skewY") return Transform{affine(1, std::tan(toRadians(k[0])), 0, 1, 0, 0)};
    return std::nullopt;
}

CGAffineTransform transformFromList(std::string_view text) {
    CGAffineTransform combined = platform::CGAffineTransformIdentity;
    for (const TransformItem& item : scanTransformList(text)) {
        const auto transform = Transform::make(item.name, item.numbers);
        if (!transform) continue;
        // The new item applies first, then what the earlier items make.
        combined = transform->affineTransform.concatenating(combined);
    }
    return combined;
}

}  // namespace QVToolbox
