#include "Help.h"

#include "Cli.h"

#include <algorithm>
#include <sstream>
#include <vector>

namespace qvtool {

namespace {

constexpr std::size_t kColumn = 30;  // where descriptions start in a two-column list

std::vector<const CLI::Option*> arguments(const CLI::App& app) {
    return app.get_options([&](const CLI::Option* o) { return o != app.get_help_ptr(); });
}

std::vector<const CLI::App*> verbs(const CLI::App& app) {
    return app.get_subcommands([](const CLI::App*) { return true; });
}

bool isFlag(const CLI::Option& o) { return o.get_type_name().empty(); }

// "--key KEY", "[--upper]", "TEXT", "[FOLDER]", "TIMES...", "[--arg V]...".
std::string usageToken(const CLI::Option& o) {
    std::string token;
    if (o.get_positional()) {
        token = o.get_name(true);
        if (o.get_type_name() == "...") token += "...";
    } else {
        token = o.get_name();
        if (!isFlag(o)) token += " " + o.get_type_name();
    }
    const bool repeated =
        !o.get_positional() && !isFlag(o) && o.get_multi_option_policy() == CLI::MultiOptionPolicy::TakeAll;
    return (o.get_required() ? token : "[" + token + "]") + (repeated ? "..." : "");
}

// The arguments of a command, named options first, as they are typed.
std::string usageOf(const CLI::App& app) {
    std::string out;
    for (const bool positional : {false, true}) {
        for (const auto* o : arguments(app)) {
            if (o->get_positional() == positional) out += " " + usageToken(*o);
        }
    }
    for (const auto& text : textArguments(app)) out += " " + (text.optional ? "[" + text.name + "]" : text.name);
    return out;
}

// "  left   description", the description on its own line when `left` is too long.
void row(std::ostringstream& out, const std::string& left, const std::string& description) {
    out << "  " << left;
    if (left.size() + 2 > kColumn) {
        out << "\n" << std::string(kColumn + 2, ' ');
    } else {
        out << std::string(kColumn - left.size(), ' ');
    }
    out << description << "\n";
}

void footer(std::ostringstream& out, const CLI::App& app) {
    if (!app.get_footer().empty()) out << "\n" << app.get_footer() << "\n";
}

std::string rootHelp(const CLI::App& app) {
    std::ostringstream out;
    out << app.get_description() << "\n\n"
        << "usage: qvtool GROUP [VERB] [ARGS...]\n"
        << "       qvtool GROUP --help     the group's verbs and their arguments\n\n"
        << "groups:\n";
    for (const auto* group : verbs(app)) {
        out << "  " << group->get_name() << std::string(16 - std::min<std::size_t>(group->get_name().size(), 15), ' ')
            << group->get_description() << "\n";
    }
    out << "\n"
        << "TEXT and JSON arguments: the text itself, - for standard input, or @FILE for a file's bytes\n"
        << "(@@... for a text that starts with @).\n"
        << "exit status: 0 success; 1 a negative answer (an empty result, no match) or a failed operation;\n"
        << "2 usage or input error, with one line on standard error\n"
        << "environment: QV_MAIN_BUNDLE, QV_HOME, QV_LANGUAGES, QV_SCREEN (see README)\n";
    return out.str();
}

std::string groupHelp(const CLI::App& app) {
    const std::string path = commandPath(app);
    std::ostringstream out;
    out << "usage: " << path << " VERB [ARGS...]\n"
        << "       " << path << " VERB --help\n\n"
        << app.get_description() << "\n\nverbs:\n";
    for (const auto* verb : verbs(app)) row(out, verb->get_name() + usageOf(*verb), verb->get_description());
    footer(out, app);
    return out.str();
}

std::string commandHelp(const CLI::App& app) {
    std::ostringstream out;
    out << "usage: " << commandPath(app) << usageOf(app) << "\n\n" << app.get_description() << "\n";
    const auto options = arguments(app);
    if (!options.empty() || !textArguments(app).empty()) out << "\n";
    for (const auto* o : options) {
        if (!o->get_positional()) continue;
        row(out, o->get_name(true), o->get_description());
    }
    for (const auto& text : textArguments(app)) row(out, text.name, text.description);
    for (const auto* o : options) {
        if (o->get_positional()) continue;
        row(out, o->get_name() + (isFlag(*o) ? "" : " " + o->get_type_name()), o->get_description());
    }
    // A verb shows its group's notes.
    const bool isVerb = app.get_parent() && app.get_parent()->get_parent();
    footer(out, isVerb ? *app.get_parent() : app);
    return out.str();
}

}  // namespace

std::string HelpFormatter::make_help(const CLI::App* app, std::string, CLI::AppFormatMode) const {
    if (!app->get_parent()) return rootHelp(*app);
    if (!verbs(*app).empty()) return groupHelp(*app);
    return commandHelp(*app);
}

std::string commandPath(const CLI::App& app) {
    return app.get_parent() ? commandPath(*app.get_parent()) + " " + app.get_name() : "qvtool";
}

}  // namespace qvtool
