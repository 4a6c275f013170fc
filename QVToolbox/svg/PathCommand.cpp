#include <QVToolbox/svg/PathCommand.h>

namespace QVToolbox {

namespace {

using Record = PathCommand::Record;

struct Letter {
    bool isCommand = false;
    Record record = Record::MoveTo;
    PathType type = PathType::absolute;
};

// The 18 command letters; "Z" and "z" are both absolute.
constexpr std::array<Letter, 256> letterTable() {
    std::array<Letter, 256> table{};
    const auto set = [&table](char upper, Record record) {
        table[static_cast<unsigned char>(upper)] = {true, record, PathType::absolute};
        table[static_cast<unsigned char>(upper - 'A' + 'a')] = {true, record, PathType::relative};
    };
    set('M', Record::MoveTo);
    set('L', Record::LineTo);
    set('H', Record::HorizontalLineTo);
    set('V', Record::VerticalLineTo);
    set('C', Record::CurveTo);
    set('S', Record::SmoothCurveTo);
    set('Q', Record::QuadraticCurveTo);
    set('T', Record::SmoothQuadraticCurveTo);
    set('Z', Record::ClosePath);
    table['z'].type = PathType::absolute;
    return table;
}

constexpr std::array<Letter, 256> kLetters = letterTable();

}  // namespace

std::optional<PathCommand> PathCommand::forLetter(char letter) {
    const Letter& entry = kLetters[static_cast<unsigned char>(letter)];
    if (!entry.isCommand) return std::nullopt;
    return PathCommand(entry.record, entry.type);
}

int PathCommand::numberOfRequiredParameters() const {
    switch (record_) {
    case Record::MoveTo:
    case Record::LineTo:
    case Record::SmoothQuadraticCurveTo: return 2;
    case Record::HorizontalLineTo:
    case Record::VerticalLineTo: return 1;
    case Record::CurveTo: return 6;
    case Record::SmoothCurveTo:
    case Record::QuadraticCurveTo: return 4;
    case Record::ClosePath: return 0;
    }
    return 0;
}

bool PathCommand::canPushCommand() const {
    const auto n = static_cast<std::uint32_t>(numberOfRequiredParameters());
    if (n == 0) return true;
    if (count_ == 0) return false;
    return count_ % n == 0;
}

bool PathCommand::readable() const {
    const auto n = static_cast<std::size_t>(numberOfRequiredParameters());
    if (count_ < n) return false;
    for (std::size_t i = 0; i < n; ++i) {
        if (!std::isfinite(buffer_[i])) return false;
    }
    return true;
}

std::optional<platform::CGPoint> PathCommand::previousControlPoint(const PathCommand* previous, CGPoint current,
                                                                   Record wanted) {
    if (!previous || previous->record_ != wanted) return std::nullopt;
    const double* b = previous->buffer_.data();
    // CurveTo: x1 y1 (x2 y2) x y, the second control point; SmoothCurveTo: (x2 y2) x y;
    // QuadraticCurveTo: (x1 y1) x y.
    const std::size_t control = wanted == Record::CurveTo ? 2 : 0;
    const std::size_t end = wanted == Record::CurveTo ? 4 : 2;
    if (previous->pathType_ == PathType::absolute) return CGPoint{b[control], b[control + 1]};
    const CGPoint start{current.x - b[end], current.y - b[end + 1]};
    return CGPoint{start.x + b[control], start.y + b[control + 1]};
}

}  // namespace QVToolbox
