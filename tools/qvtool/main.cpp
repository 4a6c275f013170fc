// qvtool: tries the libraries from the command line. `qvtool --help` lists the commands.
#include "Command.h"

#include <QVPlatform/base/Clock.h>

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <map>

namespace qvtool {

namespace {

std::vector<Command>& registry() {
    static std::vector<Command> list;
    return list;
}

std::vector<DemoSection>& demoRegistry() {
    static std::vector<DemoSection> list;
    return list;
}

}  // namespace

Registration::Registration(std::string name, std::string usage, std::function<int(const Args&)> run, int order) {
    registry().push_back({std::move(name), std::move(usage), std::move(run), order});
}

DemoRegistration::DemoRegistration(std::string title, std::function<void(const std::string&)> run, int order) {
    demoRegistry().push_back({std::move(title), std::move(run), order});
}

const std::vector<Command>& commands() {
    auto& list = registry();
    std::stable_sort(list.begin(), list.end(), [](const Command& a, const Command& b) { return a.order < b.order; });
    return list;
}

const std::vector<DemoSection>& demoSections() {
    auto& list = demoRegistry();
    std::stable_sort(list.begin(), list.end(), [](const DemoSection& a, const DemoSection& b) { return a.order < b.order; });
    return list;
}

int usageError(std::string_view message) {
    std::cerr << "qvtool: " << message << " (see qvtool --help)\n";
    return 2;
}

int inputError(std::string_view message) {
    std::cerr << "qvtool: " << message << "\n";
    return 2;
}

std::optional<std::string> takeOption(Args& args, std::string_view name, bool& error) {
    for (auto it = args.begin(); it != args.end(); ++it) {
        if (*it == name) {
            if (it + 1 == args.end()) {
                error = true;
                args.erase(it);
                return std::nullopt;
            }
            std::string value = *(it + 1);
            args.erase(it, it + 2);
            return value;
        }
    }
    return std::nullopt;
}

bool takeFlag(Args& args, std::string_view name) {
    const auto it = std::find(args.begin(), args.end(), name);
    if (it == args.end()) return false;
    args.erase(it);
    return true;
}

bool wantsHelp(const Args& args) {
    return std::any_of(args.begin(), args.end(), [](const std::string& a) { return a == "--help" || a == "-h"; });
}

int printUsage(std::string_view name) {
    for (const auto& c : commands()) {
        if (c.name == name) {
            std::cout << "usage: qvtool " << c.usage << "\n";
            return 0;
        }
    }
    return 2;
}

namespace {

void printHelp() {
    std::cout << "qvtool: try QVToolbox and QVResource from the command line\n\n"
                 "usage: qvtool COMMAND [ARGS...]\n"
                 "       qvtool COMMAND --help\n\n"
                 "commands:\n";
    for (const auto& c : commands()) {
        std::string usage = c.usage;
        std::size_t start = 0;
        while (start < usage.size()) {
            const auto end = usage.find('\n', start);
            std::cout << "  " << usage.substr(start, end == std::string::npos ? std::string::npos : end - start) << "\n";
            if (end == std::string::npos) break;
            start = end + 1;
        }
    }
    std::cout << "\nexit status: 0 success, 1 nothing found (where a command says so), 2 usage or input error\n"
                 "environment: QV_MAIN_BUNDLE, QV_HOME, QV_LANGUAGES, QV_SCREEN (see README)\n";
}

}  // namespace

}  // namespace qvtool

int main(int argc, char** argv) {
    using namespace qvtool;
    Args args(argv + 1, argv + argc);
    if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        printHelp();
        return args.empty() ? 2 : 0;
    }
    const std::string name = args[0];
    args.erase(args.begin());
    for (const auto& c : commands()) {
        if (c.name == name) {
            if (wantsHelp(args)) return printUsage(name);
            try {
                return c.run(args);
            } catch (const std::exception& e) {
                return inputError(e.what());
            }
        }
    }
    return usageError("unknown command '" + name + "'");
}
