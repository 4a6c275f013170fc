#include "Cli.h"

#include "Input.h"

#include <QVPlatform/base/Debug.h>

#include <algorithm>
#include <cctype>
#include <iostream>
#include <map>

namespace qvtool {

namespace {

std::vector<Group>& registry() {
    static std::vector<Group> list;
    return list;
}

int& status() {
    static int value = 0;
    return value;
}

std::vector<std::string>& collected() {
    static std::vector<std::string> messages;
    return messages;
}

// "-x", "--name": an option's form; "-", "-5" and "-.5" are values.
bool looksLikeOption(std::string_view word) {
    return word.size() >= 2 && word[0] == '-' && !(std::isdigit(static_cast<unsigned char>(word[1])) || word[1] == '.');
}

// The remaining words of the command line as one text.
std::string joinedWords(const std::vector<std::string>& words) {
    std::string joined;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const auto& w = words[i];
        // CLI11 passes an unknown option on as a word; a text that starts with "-" can come
        // from standard input or a file instead.
        if (looksLikeOption(w)) {
            throw CLI::ExtrasError("unknown option " + w + " (give a text that starts with - as - or @FILE)",
                                   CLI::ExitCodes::ExtrasError);
        }
        if (i > 0) joined += ' ';
        joined += w;
    }
    return joined;
}

constexpr const char* kInputNote = " (- reads standard input, @FILE a file)";

std::map<const CLI::App*, std::vector<TextArgument>>& textRegistry() {
    static std::map<const CLI::App*, std::vector<TextArgument>> table;
    return table;
}

}  // namespace

GroupRegistration::GroupRegistration(Group group) { registry().push_back(std::move(group)); }

const std::vector<Group>& groups() {
    auto& list = registry();
    std::stable_sort(list.begin(), list.end(), [](const Group& a, const Group& b) { return a.order < b.order; });
    return list;
}

Verb::Verb(CLI::App& group, std::string name, std::string description)
    : app_(group.add_subcommand(std::move(name), std::move(description))), values_(std::make_shared<Values>()) {}

Verb::Verb(CLI::App& group) : app_(&group), values_(std::make_shared<Values>()) {}

const std::string& Verb::argument(std::string name, std::string description, bool optional) {
    auto& value = values_->strings.emplace_back();
    auto* option = app_->add_option(std::move(name), value, std::move(description));
    if (!optional) option->required();
    return value;
}

const std::string& Verb::text(std::string name, std::string description, bool optional) {
    app_->allow_extras();
    textRegistry()[app_].push_back({name, std::move(description) + kInputNote, optional});
    auto& value = values_->strings.emplace_back();
    values_->texts.push_back({std::move(name), nullptr, &value, optional});
    return value;
}

const std::string& Verb::input(std::string name, std::string description) {
    auto& given = values_->strings.emplace_back();
    app_->add_option(name, given, std::move(description) + kInputNote)->required();
    auto& value = values_->strings.emplace_back();
    values_->texts.push_back({std::move(name), &given, &value, false});
    return value;
}

const std::vector<std::string>& Verb::list(std::string name, std::string description) {
    auto& values = values_->lists.emplace_back();
    // The help shows "NAME..." for this type name.
    app_->add_option(std::move(name), values, std::move(description))->required()->type_name("...");
    return values;
}

const std::optional<std::string>& Verb::option(std::string flag, std::string valueName, std::string description,
                                               bool required) {
    auto& value = values_->options.emplace_back();
    auto* option = app_->add_option(std::move(flag), value, std::move(description))->type_name(std::move(valueName));
    if (required) option->required();
    return value;
}

const std::vector<std::string>& Verb::repeatedOption(std::string flag, std::string valueName, std::string description) {
    auto& values = values_->lists.emplace_back();
    // One value per occurrence, so that the option never takes the positional arguments after it.
    app_->add_option(std::move(flag), values, std::move(description))
        ->type_name(std::move(valueName))
        ->expected(1)
        ->allow_extra_args(false)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    return values;
}

const bool& Verb::flag(std::string flag, std::string description) {
    auto& value = values_->flags.emplace_back(false);
    app_->add_flag(std::move(flag), value, std::move(description));
    return value;
}

void Verb::run(std::function<int()> action) {
    app_->callback([app = app_, values = values_, action = std::move(action)] {
        // Texts are read only now, once the whole command line has parsed.
        for (const auto& text : values->texts) {
            if (text.given) {
                *text.value = readInput(*text.given, text.name);
                continue;
            }
            const auto words = app->remaining();
            if (words.empty()) {
                if (text.optional) continue;
                throw CLI::RequiredError(text.name);
            }
            *text.value = readInput(joinedWords(words), text.name);
        }
        status() = action();
    });
}

const std::vector<TextArgument>& textArguments(const CLI::App& command) {
    static const std::vector<TextArgument> none;
    const auto& table = textRegistry();
    const auto found = table.find(&command);
    return found == table.end() ? none : found->second;
}

int actionStatus() { return status(); }

int printResult(const std::optional<std::string>& result) {
    std::cout << result.value_or("") << "\n";
    return result && !result->empty() ? 0 : 1;
}

int printBool(bool value) {
    std::cout << (value ? "true" : "false") << "\n";
    return 0;
}

void collectDebugMessages() {
    platform::setDebugSink([](std::string_view message, std::string_view) { collected().emplace_back(message); });
}

const std::vector<std::string>& debugMessages() { return collected(); }

}  // namespace qvtool
