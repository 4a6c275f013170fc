// qvtool's help pages, made from the CLI11 declarations themselves so that help and parsing
// cannot drift: `qvtool --help` lists the groups one line each, `qvtool GROUP --help` the
// group's verbs with their arguments, `qvtool GROUP VERB --help` one verb's arguments.
//
//   app.formatter(std::make_shared<qvtool::HelpFormatter>());   // before adding groups
//
// Also the usage line of a command, for messages ("qvtool number add A B").
#pragma once

#include <CLI/CLI.hpp>

#include <string>

namespace qvtool {

class HelpFormatter : public CLI::FormatterBase {
public:
    std::string make_help(const CLI::App* app, std::string name, CLI::AppFormatMode mode) const override;
};

// "qvtool GROUP VERB" for the command.
std::string commandPath(const CLI::App& app);

}  // namespace qvtool
