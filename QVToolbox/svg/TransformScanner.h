// The items of an SVG transform list: "translate(10) scale(2,3)" → ("translate", "10"),
// ("scale", "2,3").
//
//   scanTransformList("rotate(90 10 10)");      // {{"rotate", "90 10 10"}}
//   scanTransformList("matrix(1 2");             // {}: no closing parenthesis
//
// The result is what the pattern (\w+)\(((\-?\d+\.?\d*e?\-?\d*\s*,?\s*)+)\) finds
// (case-insensitive; all matches in order, name = group 1, numbers = group 2), computed in
// one pass: the arguments of a candidate are the text up to the first ")" and are tested by
// a small automaton, so each byte is read a bounded number of times. (The pattern itself
// backtracks exponentially on "matrix(" and a run of digits without ")".) \w, \d and \s are
// ASCII. Thread rule: a pure function, call from any thread.
#pragma once

#include <string_view>
#include <vector>

namespace QVToolbox {

struct TransformItem {
    std::string_view name;
    std::string_view numbers;
    friend bool operator==(const TransformItem&, const TransformItem&) = default;
};

// Views into `text`; they live as long as it does.
std::vector<TransformItem> scanTransformList(std::string_view text);

// True when `numbers` is one or more repetitions of -?\d+\.?\d*e?-?\d*\s*,?\s* (e or E).
bool isTransformNumberList(std::string_view numbers);

}  // namespace QVToolbox
