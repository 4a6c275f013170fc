// Where an argument's text comes from, and checks every command shares.
//
//   readInput("-", "TEXT");        // all of standard input
//   readInput("@big.json", "JSON"); // the file's bytes
//   readInput("@@me", "TEXT");     // the text "@me"
//   requireUtf8(text, "TEXT");     // throws BadInput unless the text is valid UTF-8
//
// Texts are read as bytes: NUL bytes and any encoding pass, with no limit but memory.
// Standard input can be read once per run. Errors throw BadInput naming the argument.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qvtool {

// "-": standard input; "@FILE": the file; "@@…": the text without its first "@"; anything
// else: the text itself.
std::string readInput(std::string_view argument, std::string_view name);

// The text, when it is valid UTF-8.
const std::string& requireUtf8(const std::string& text, std::string_view name);

// The text for a message: quoted, control characters escaped, cut after 40 characters;
// "(not UTF-8)" when it is not valid UTF-8.
std::string shown(std::string_view text);

// An optional "-" and ASCII digits, the whole text, fitting 64 bits.
std::int64_t wholeNumber(std::string_view text, std::string_view name);
// The raw values of `cases` joined by ", ", for a message that lists the choices.
template <class Cases>
std::string rawValueList(const Cases& cases) {
    std::string list;
    for (const auto& c : cases) list += (list.empty() ? "" : ", ") + std::string(c.rawValue());
    return list;
}

// A decimal number (optional sign, digits, fraction, exponent; no blanks, no "inf"/"nan"),
// finite as a double.
double realNumber(std::string_view text, std::string_view name);

// Clock instants for frame commands: "0,0.1,0.25", seconds from the start, each 0 to 3600,
// not decreasing, at most 1000 of them. `name` is the option, for the messages.
std::vector<double> clockInstants(const std::string& text, std::string_view name);

}  // namespace qvtool
