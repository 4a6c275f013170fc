// Path data and coordinate lists: no input crashes, reads out of bounds or hangs; every
// command holds at most its own numbers, and executing every command never reads a number it was not given.
#include <QVToolbox/svg/CoordinateLexer.h>
#include <QVToolbox/svg/PathDLexer.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace {

using platform::CGPoint;

struct CheckingBuilder {
    CGPoint current, start;
    void moveToPoint(CGPoint p) { current = start = p; }
    void addLineToPoint(CGPoint p) { current = p; }
    void addCurveToPoint(CGPoint p, CGPoint, CGPoint) { current = p; }
    void addQuadCurveToPoint(CGPoint p, CGPoint) { current = p; }
    void closePath() { current = start; }
    CGPoint currentPoint() const { return current; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace QVToolbox;
    const std::string text(reinterpret_cast<const char*>(data), size);
    CheckingBuilder path;
    std::optional<PathCommand> previous;
    std::size_t count = 0;
    for (const PathCommand& command : PathDLexer(text)) {
        if (++count > size + 2) __builtin_trap();  // each command consumes input
        const auto n = static_cast<std::size_t>(command.numberOfRequiredParameters());
        if (n > 0 && command.coordinateBuffer().size() > n) __builtin_trap();
        if (command.execute(path, previous ? &*previous : nullptr)) previous = command;
    }
    CoordinateLexer points(text);
    std::size_t pointCount = 0;
    while (points.next()) {
        if (++pointCount > size) __builtin_trap();
    }
    return 0;
}
