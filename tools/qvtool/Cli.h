// qvtool's command groups. Each file under commands/ registers one group at start-up and
// declares its verbs, their arguments and their help in one place, with CLI11; `qvtool
// --help`, `qvtool GROUP --help` and the parser all read those declarations.
//
//   void define(CLI::App& group) {
//       Verb verb(group, "add", "A + B");
//       const auto& a = verb.argument("A", "a decimal number");
//       verb.run([&a] { std::cout << a << "\n"; return 0; });
//   }
//   const GroupRegistration registration{{"number", "exact decimal arithmetic", 25, define}};
//
// A verb's action returns the exit status: 0 success, 1 a negative answer or a failed
// operation. Bad input throws BadInput and a failure with a message throws Failure; main
// prints "qvtool: GROUP VERB: MESSAGE" (one line on standard error) and exits 2 or 1.
// Single-threaded: the parser runs on the main thread.
#pragma once

#include <CLI/CLI.hpp>

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace qvtool {

// Input the tool refuses before calling a library: exit status 2.
struct BadInput : std::runtime_error {
    using std::runtime_error::runtime_error;
};
// An operation that failed on sound input: exit status 1.
struct Failure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct Group {
    std::string name;
    std::string summary;  // its line in `qvtool --help`
    int order = 100;      // position in that list
    std::function<void(CLI::App& group)> define;
};
struct GroupRegistration {
    explicit GroupRegistration(Group group);
};
// Every registered group, in help order.
const std::vector<Group>& groups();

// One command (a verb of a group, or a group without verbs) and its arguments, bound to
// CLI11 options. The values live as long as the parser; the references handed out stay
// valid for the action.
class Verb {
public:
    // A verb `name` of `group`.
    Verb(CLI::App& group, std::string name, std::string description);
    // The group itself, for a group without verbs.
    explicit Verb(CLI::App& group);

    // A positional argument, required unless `optional`.
    const std::string& argument(std::string name, std::string description, bool optional = false);
    // A text: the command's remaining words (anything no option or argument took, in order)
    // joined by single spaces, then read as input (see Input.h).
    const std::string& text(std::string name, std::string description, bool optional = false);
    // One argument read as input (see Input.h).
    const std::string& input(std::string name, std::string description);
    // Several positional values.
    const std::vector<std::string>& list(std::string name, std::string description);
    // "--name VALUE"; absent when not given.
    const std::optional<std::string>& option(std::string flag, std::string valueName, std::string description,
                                             bool required = false);
    // "--name VALUE", given any number of times; the values in the order given.
    const std::vector<std::string>& repeatedOption(std::string flag, std::string valueName, std::string description);
    // "--name"; true when given.
    const bool& flag(std::string flag, std::string description);
    // The action; its result is the exit status.
    void run(std::function<int()> action);

    CLI::App& app() { return *app_; }

private:
    struct Values {
        std::deque<std::string> strings;
        std::deque<std::vector<std::string>> lists;
        std::deque<std::optional<std::string>> options;
        std::deque<bool> flags;
        struct Text {
            std::string name;
            const std::string* given;  // the argument; null for the remaining words
            std::string* value;        // what it names
            bool optional;
        };
        std::vector<Text> texts;
    };
    CLI::App* app_;
    std::shared_ptr<Values> values_;
};

// A text argument made of a command's remaining words, for the help (CLI11 does not see it
// as an option: it would split a vector argument such as "[1,2]" into items).
struct TextArgument {
    std::string name;
    std::string description;
    bool optional = false;
};
const std::vector<TextArgument>& textArguments(const CLI::App& command);

// The exit status the last action returned.
int actionStatus();

// Prints the text and a line break; 0 when it is there and not empty, else 1.
int printResult(const std::optional<std::string>& result);
// Prints "true" or "false"; 0.
int printBool(bool value);

// Debug-channel messages the libraries sent during this run, oldest first (collected rather
// than printed, so bad input still gets exactly one line).
void collectDebugMessages();
const std::vector<std::string>& debugMessages();

}  // namespace qvtool
