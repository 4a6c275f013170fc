#include <QVToolbox/svg/CoordinateLexer.h>

#include <QVToolbox/svg/SVGNumber.h>

namespace QVToolbox {

CoordinateLexer::CoordinateLexer(std::string coordinateString)
    : coordinateString_(trimSpacesAndTabs(coordinateString)) {}

// The number text's value when it reads (the text is then emptied); else none, text kept.
std::optional<double> CoordinateLexer::takeNumber() {
    auto value = doubleFromByteArray(numberArray_);
    if (value) numberArray_.clear();
    return value;
}

std::optional<platform::CGPoint> CoordinateLexer::next() {
    const std::size_t n = coordinateString_.size();
    std::optional<double> x;
    while (interatorIndex_ < n) {
        const char c = coordinateString_[interatorIndex_++];
        if (c == ' ' || c == ',') {
            if (x) {
                if (auto y = takeNumber()) return platform::CGPoint{*x, *y};
            } else {
                x = takeNumber();
            }
        } else {
            numberArray_.push_back(c);
        }
    }
    if (x) {
        if (auto y = takeNumber()) return platform::CGPoint{*x, *y};
    }
    return std::nullopt;
}

}  // namespace QVToolbox
