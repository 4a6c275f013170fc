// CoordinateLexer: the points of a coordinate list (the "points" of polygon and polyline).
//
//   CoordinateLexer lexer("0,0 10,0 10,10");
//   while (auto p = lexer.next()) { ... }   // (0, 0), (10, 0), (10, 10)
//
// Only spaces and commas separate numbers (a minus sign does not: "10-20" is no number); a
// lone last number is dropped. Leading and trailing spaces and tabs are trimmed. Thread
// rule: a plain value, used by one thread at a time.
#pragma once

#include <QVPlatform/graphics/Geometry.h>

#include <cstddef>
#include <optional>
#include <string>

namespace QVToolbox {

class CoordinateLexer {
public:
    explicit CoordinateLexer(std::string coordinateString);

    // The next point, or none at the end.
    std::optional<platform::CGPoint> next();

private:
    std::optional<double> takeNumber();

    std::string coordinateString_;  // trimmed
    std::size_t interatorIndex_ = 0;
    std::string numberArray_;
};

}  // namespace QVToolbox
