// qvtool: tries the libraries from the command line. `qvtool --help` lists the command groups;
// each group lives in its own file under commands/.
#include "Cli.h"
#include "Help.h"
#include "Input.h"

#include <algorithm>
#include <iostream>

namespace {

using namespace qvtool;

// The command the parser chose: the deepest subcommand it entered.
const CLI::App& chosen(const CLI::App& app) {
    const auto sub = app.get_subcommands();
    return sub.empty() ? app : chosen(*sub.front());
}

// One line on standard error: "qvtool: GROUP VERB: MESSAGE".
int report(const CLI::App& app, std::string message, int status) {
    std::replace(message.begin(), message.end(), '\n', ' ');
    const std::string path = commandPath(chosen(app));
    std::cerr << "qvtool: " << (path == "qvtool" ? "" : path.substr(7) + ": ") << message << "\n";
    return status;
}

// A parse error in the words of a user: which group or verb was missing or unknown.
std::string describe(const CLI::App& app, const CLI::ParseError& e) {
    const CLI::App& at = chosen(app);
    const auto choices = at.get_subcommands([](const CLI::App*) { return true; });
    if (choices.empty()) return std::string(e.what()) + " (see " + commandPath(at) + " --help)";
    std::string names;
    for (const auto* c : choices) names += (names.empty() ? "" : ", ") + c->get_name();
    const bool root = at.get_parent() == nullptr;
    const auto extras = at.remaining();
    if (!extras.empty()) return std::string(root ? "unknown group " : "unknown verb ") + shown(extras.front()) + " (one of " + names + ")";
    return root ? "a group is required (see qvtool --help)" : "a verb is required: " + names;
}

}  // namespace

int main(int argc, char** argv) {
    collectDebugMessages();
    CLI::App app("qvtool: try QVToolbox and QVResource from the command line", "qvtool");
    app.formatter(std::make_shared<HelpFormatter>());
    app.require_subcommand(1);
    for (const auto& group : groups()) {
        auto* command = app.add_subcommand(group.name, group.summary);
        group.define(*command);
        if (!command->get_subcommands([](const CLI::App*) { return true; }).empty()) command->require_subcommand(1);
    }
    if (argc == 2 && std::string_view(argv[1]) == "help") {
        std::cout << app.help();
        return 0;
    }
    try {
        app.parse(argc, argv);
        return actionStatus();
    } catch (const CLI::CallForHelp&) {
        std::cout << app.help();
        return 0;
    } catch (const CLI::ParseError& e) {
        return report(app, describe(app, e), 2);
    } catch (const Failure& e) {
        return report(app, e.what(), 1);
    } catch (const std::exception& e) {
        return report(app, e.what(), 2);
    }
}
