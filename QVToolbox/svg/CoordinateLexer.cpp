#include <QVToolbox/svg/CoordinateLexer.h>

#include <QVToolbox/svg/SVGNumber.h>

namespace QVToolbox {

namespace {

std::string trimSpacesAndTabs(std::string text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    text.erase(text.find_last_not_of(" \t") + 1);
    text.erase(0, first);
    return text;
}

}  // namespace

CoordinateLexer::CoordinateLexer(std::string coordinateString)
    : coordinateString_(trimSpacesAndTabs(std::move(coordinateString))) {}

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
