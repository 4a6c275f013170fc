// PathDLexer: the commands of SVG path data ("M10 20 L30 40 z"), one at a time.
//
//   PathDLexer lexer("L10 20 30 40");
//   while (auto command = lexer.next()) { ... }   // LineTo (10, 20), then LineTo (30, 40)
//   for (const PathCommand& command : PathDLexer("M0 0 z")) { ... }
//
// Numbers end at a space, a comma, a minus sign, a second decimal point or a command letter;
// a letter's command is repeated for further sets of numbers; numbers before the first
// command are dropped, and a command replaced before its numbers were complete is dropped
// too; a command letter always starts its command, also right after the separators that end
// an incomplete command ("M 1 L 2 3" gives L 2 3). The last command is returned at the end
// even when its numbers are incomplete (its `execute` then skips it). Text that does not read
// as a number is carried on and never pushed. A "Z" followed by a separator is returned there
// and again at the next letter (closing twice draws nothing more). The lexer scans the bytes in place and reuses one number buffer. Thread rule: a
// plain value, used by one thread at a time.
#pragma once

#include <QVToolbox/svg/PathCommand.h>

#include <cstddef>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>

namespace QVToolbox {

class PathDLexer {
public:
    explicit PathDLexer(std::string pathString) : pathString_(std::move(pathString)) { numberArray_.reserve(32); }

    const std::string& pathString() const { return pathString_; }

    // The next command, or none at the end.
    std::optional<PathCommand> next();
    // Starts over from the first byte.
    void restart();

    class iterator {
    public:
        using value_type = PathCommand;
        using difference_type = std::ptrdiff_t;
        iterator() = default;
        explicit iterator(PathDLexer* lexer) : lexer_(lexer) { ++*this; }
        const PathCommand& operator*() const { return *current_; }
        const PathCommand* operator->() const { return &*current_; }
        iterator& operator++() {
            current_ = lexer_->next();
            return *this;
        }
        void operator++(int) { ++*this; }
        friend bool operator==(const iterator& a, std::default_sentinel_t) { return !a.current_; }

    private:
        PathDLexer* lexer_ = nullptr;
        std::optional<PathCommand> current_;
    };
    iterator begin() {
        restart();
        return iterator(this);
    }
    std::default_sentinel_t end() const { return {}; }

private:
    // Pushes the number text into the current command when it reads; true if it did.
    void flush();
    void append() { numberArray_.push_back(pathString_[iteratorIndex_++]); }
    std::optional<PathCommand> split();
    std::optional<PathCommand> finish();

    std::optional<PathCommand> currentCommand_;
    std::size_t iteratorIndex_ = 0;
    std::string numberArray_;  // the text of the number being collected
    std::string pathString_;
};

}  // namespace QVToolbox
