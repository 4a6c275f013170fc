// The declarations of an inline "style" text: "fill:#ff0000;stroke-width:2".
//
//   scanStyle("fill:#ff0000;stroke-width:2");   // {"fill", "#ff0000"}, {"stroke-width", "2"}
//   scanStyle("fill: red");                      // {"fill", "red"} (values trimmed)
//
// The result is what the pattern (((\w+)-?(\w*)?):?([ #\w]*\.?\w+)) finds (all matches in
// order, name = group 2, value = group 5 trimmed of spaces and tabs), computed by a scanner
// that reads each byte a bounded number of times instead of a backtracking search. \w is
// ASCII [A-Za-z0-9_]. Values stop at characters outside [ #\w.] ("rgb(1,2,3)" gives "rgb").
// Thread rule: a pure function, call from any thread.
#pragma once

#include <string_view>
#include <vector>

namespace QVToolbox {

struct StyleDeclaration {
    std::string_view name;
    std::string_view value;
    friend bool operator==(const StyleDeclaration&, const StyleDeclaration&) = default;
};

// Views into `text`; they live as long as it does. `rawValues` keeps the value untrimmed
// (group 5 as matched), for comparing with the pattern.
std::vector<StyleDeclaration> scanStyle(std::string_view text, bool rawValues = false);

}  // namespace QVToolbox
