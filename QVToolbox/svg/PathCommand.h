// PathCommand: one command of SVG path data ("M", "l", "C", "z"...) with its numbers, and how
// it appends itself to a path builder.
//
//   auto line = PathCommand::forLetter('l');          // LineTo, relative, empty buffer
//   line->pushCoordinate(10); line->pushCoordinate(0);
//   line->execute(path, nullptr);                      // path.addLineToPoint(current + (10, 0))
//
// The nine records of path data are the cases of `Record`; `forLetter` is the letter table
// (18 letters; "A"/"a" arcs are not commands). A command holds at most six numbers in place,
// so copying one costs no allocation. `execute` skips a command with fewer numbers than its
// record needs, or with a number that is not finite, and then reports false. Thread rule: a
// plain value; the builder is driven by one thread.
#pragma once

#include <QVPlatform/graphics/Geometry.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <optional>
#include <span>

namespace QVToolbox {

enum class PathType { absolute, relative };

class PathCommand {
public:
    enum class Record : std::uint8_t {
        MoveTo,                  // M m: x y
        LineTo,                  // L l: x y
        HorizontalLineTo,        // H h: x
        VerticalLineTo,          // V v: y
        CurveTo,                 // C c: x1 y1 x2 y2 x y
        SmoothCurveTo,           // S s: x2 y2 x y
        QuadraticCurveTo,        // Q q: x1 y1 x y
        SmoothQuadraticCurveTo,  // T t: x y
        ClosePath,               // Z z: none (always absolute)
    };

    // `PathDConstants.characterDictionary`: the command for a letter, with an empty buffer.
    static std::optional<PathCommand> forLetter(char letter);

    PathCommand(Record record, PathType pathType) : record_(record), pathType_(pathType) {}

    Record record() const { return record_; }
    PathType pathType() const { return pathType_; }
    int numberOfRequiredParameters() const;
    // The numbers pushed since the last clearBuffer (at most six are kept).
    std::span<const double> coordinateBuffer() const { return {buffer_.data(), kept()}; }
    // True when no number is needed, or the buffer holds whole sets of numbers (not none).
    bool canPushCommand() const;
    void clearBuffer() { count_ = 0; }
    void pushCoordinate(double value) {
        if (count_ < buffer_.size()) buffer_[count_] = value;
        ++count_;
    }

    // Appends this command to `path`; `previous` is the command executed just before on it.
    // False (and nothing appended) when the numbers are too few or not all finite. Builder:
    // moveToPoint, addLineToPoint, addCurveToPoint(p, c1, c2), addQuadCurveToPoint(p, c),
    // closePath, currentPoint.
    template <class Builder>
    bool execute(Builder& path, const PathCommand* previous) const;

private:
    using CGPoint = platform::CGPoint;
    std::size_t kept() const { return count_ < buffer_.size() ? count_ : buffer_.size(); }
    bool readable() const;
    CGPoint point(CGPoint current, std::size_t i) const {
        const CGPoint p{buffer_[i], buffer_[i + 1]};
        return pathType_ == PathType::relative ? CGPoint{current.x + p.x, current.y + p.y} : p;
    }
    // The control point of `previous` made absolute, for a smooth command after it (or none).
    static std::optional<CGPoint> previousControlPoint(const PathCommand* previous, CGPoint current, Record wanted);
    static CGPoint reflect(std::optional<CGPoint> control, CGPoint current) {
        return control ? CGPoint{2 * current.x - control->x, 2 * current.y - control->y} : current;
    }

    Record record_;
    PathType pathType_;
    std::uint32_t count_ = 0;
    std::array<double, 6> buffer_{};
};

template <class Builder>
bool PathCommand::execute(Builder& path, const PathCommand* previous) const {
    if (!readable()) return false;
    const CGPoint cur = path.currentPoint();
    const double* b = buffer_.data();
    const bool relative = pathType_ == PathType::relative;
    switch (record_) {
    case Record::MoveTo:
        if (previous && previous->record_ == Record::MoveTo) {
            path.addLineToPoint(point(cur, 0));
        } else {
            path.moveToPoint(point(cur, 0));
        }
        break;
    case Record::LineTo: path.addLineToPoint(point(cur, 0)); break;
    case Record::HorizontalLineTo: path.addLineToPoint(CGPoint{relative ? cur.x + b[0] : b[0], cur.y}); break;
    case Record::VerticalLineTo: path.addLineToPoint(CGPoint{cur.x, relative ? cur.y + b[0] : b[0]}); break;
    case Record::CurveTo: path.addCurveToPoint(point(cur, 4), point(cur, 0), point(cur, 2)); break;
    case Record::SmoothCurveTo: {
        auto control = previousControlPoint(previous, cur, Record::CurveTo);
        if (!control) control = previousControlPoint(previous, cur, Record::SmoothCurveTo);
        path.addCurveToPoint(point(cur, 2), reflect(control, cur), point(cur, 0));
        break;
    }
    case Record::QuadraticCurveTo: path.addQuadCurveToPoint(point(cur, 2), point(cur, 0)); break;
    case Record::SmoothQuadraticCurveTo:
        path.addQuadCurveToPoint(point(cur, 0), reflect(previousControlPoint(previous, cur, Record::QuadraticCurveTo), cur));
        break;
    case Record::ClosePath: path.closePath(); break;
    }
    return true;
}

}  // namespace QVToolbox
