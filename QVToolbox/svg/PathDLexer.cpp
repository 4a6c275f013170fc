#include <QVToolbox/svg/PathDLexer.h>

#include <QVToolbox/svg/SVGNumber.h>

namespace QVToolbox {

void PathDLexer::restart() {
    currentCommand_.reset();
    iteratorIndex_ = 0;
    numberArray_.clear();
}

void PathDLexer::flush() {
    if (numberArray_.empty()) return;
    const auto value = doubleFromByteArray(numberArray_);
    if (!value) return;  // kept: the following bytes extend it ("2e" then "-3")
    if (currentCommand_) currentCommand_->pushCoordinate(*value);
    numberArray_.clear();
}

// The current byte starts the next number; the command collected so far is returned.
std::optional<PathCommand> PathDLexer::split() {
    numberArray_.clear();
    append();
    return currentCommand_;
}

std::optional<PathCommand> PathDLexer::finish() {
    if (!currentCommand_) return std::nullopt;
    flush();
    std::optional<PathCommand> last = std::move(currentCommand_);
    currentCommand_.reset();
    return last;
}

std::optional<PathCommand> PathDLexer::next() {
    if (currentCommand_) currentCommand_->clearBuffer();
    const std::size_t n = pathString_.size();
    const char* text = pathString_.data();
    const auto canPush = [this] { return currentCommand_ && currentCommand_->canPushCommand(); };
    while (iteratorIndex_ < n) {
        if (auto letter = PathCommand::forLetter(text[iteratorIndex_])) {
            flush();
            ++iteratorIndex_;
            if (canPush()) {
                std::optional<PathCommand> done = std::move(currentCommand_);
                currentCommand_ = letter;
                return done;
            }
            currentCommand_ = letter;  // an unfinished command before it is dropped
            numberArray_.clear();
            if (iteratorIndex_ >= n) break;
        }
        switch (text[iteratorIndex_]) {
        case '.':
            if (numberArray_.find('.') == std::string::npos) {
                append();
                break;
            }
            [[fallthrough]];  // a second point starts a new number, as a minus sign does
        case '-':
            flush();
            if (canPush()) return split();
            append();
            break;
        case ' ':
        case ',':
            flush();
            while (iteratorIndex_ < n && (text[iteratorIndex_] == ' ' || text[iteratorIndex_] == ',')) ++iteratorIndex_;
            if (canPush()) {
                numberArray_.clear();
                return currentCommand_;
            }
            // The byte after the separators is read afresh, so a command letter there
            // starts its command instead of being swallowed into the number text.
            break;
        default: append(); break;
        }
    }
    return finish();
}

}  // namespace QVToolbox
