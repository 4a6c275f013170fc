// qvtool's subcommand registry. Each command file registers its commands at start-up:
//
//   static const qvtool::Registration digest{"digest", "digest md5|sha256 ... TEXT", runDigest, 20};
//
// A command receives its arguments (without its own name) and returns the exit status:
// 0 success, 1 nothing found / false-ish result where a command says so, 2 usage error.
// Usage errors are reported with `usageError`, which prints one line to standard error.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qvtool {

using Args = std::vector<std::string>;

struct Command {
    std::string name;
    std::string usage;  // one or more lines, shown by --help
    std::function<int(const Args&)> run;
    int order = 100;    // position in the help listing
};

struct Registration {
    Registration(std::string name, std::string usage, std::function<int(const Args&)> run, int order = 100);
};

const std::vector<Command>& commands();

// Prints "qvtool: MESSAGE" to standard error and returns 2.
int usageError(std::string_view message);
// Prints a failure for bad input and returns 2.
int inputError(std::string_view message);

// Removes "--name VALUE" from args; absent when the flag is missing. A flag without a value
// sets `error`.
std::optional<std::string> takeOption(Args& args, std::string_view name, bool& error);
// Removes "--name" from args; true when it was there.
bool takeFlag(Args& args, std::string_view name);
// True when args ask for help (--help or -h).
bool wantsHelp(const Args& args);
// Prints a command's usage to standard output; returns 0.
int printUsage(std::string_view name);

// The demo's parts, each printing what it does; registered like commands.
struct DemoSection {
    std::string title;
    std::function<void(const std::string& outputDirectory)> run;
    int order = 100;
};
struct DemoRegistration {
    DemoRegistration(std::string title, std::function<void(const std::string&)> run, int order = 100);
};
const std::vector<DemoSection>& demoSections();

}  // namespace qvtool
