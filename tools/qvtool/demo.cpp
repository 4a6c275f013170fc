// `qvtool demo`: a tour of what the libraries do, section by section. Files go under the
// output folder (default demo-out/).
#include "Command.h"

#include <filesystem>
#include <iostream>

namespace qvtool {
namespace {

int runDemo(const Args& args) {
    const std::string out = args.empty() ? "demo-out" : args[0];
    std::error_code error;
    std::filesystem::create_directories(out, error);
    if (error) return inputError("cannot create " + out + ": " + error.message());
    for (const auto& section : demoSections()) {
        std::cout << "== " << section.title << " ==\n";
        section.run(out);
        std::cout << "\n";
    }
    std::cout << "demo finished; files are under " << out << "/\n";
    return 0;
}

const Registration demo{"demo", "demo [OUTPUT-FOLDER]   tour of the libraries (files under demo-out/)", runDemo, 0};

}  // namespace
}  // namespace qvtool
