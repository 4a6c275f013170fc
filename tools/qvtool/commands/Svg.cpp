// `qvtool svg`: SVG documents rendered to PNG, summarised, and path data as its commands.
//
// `render` and `info` parse with every supported element (allSupportedElements) and wait for
// the parser's completion by pumping the main run loop; a document the XML reader gives up
// on is reported with the reader's reason and exit status 1.
#include "../Cli.h"
#include "../Input.h"

#include <QVToolbox/svg/PathDLexer.h>

#include <cstdio>
#include <iostream>
#include <string>

namespace qvtool {
namespace {

using namespace QVToolbox;

// "M 10 20": the command's letter (lower case when relative) and its numbers.
std::string commandLine(const PathCommand& command) {
    static constexpr char kLetters[] = "MLHVCSQTZ";
    char letter = kLetters[static_cast<int>(command.record())];
    if (command.pathType() == PathType::relative) letter = static_cast<char>(letter - 'A' + 'a');
    std::string line(1, letter);
    for (const double value : command.coordinateBuffer()) {
        char number[32];
        std::snprintf(number, sizeof number, " %.17g", value);
        line += number;
    }
    return line;
}

void definePath(CLI::App& group) {
    Verb verb(group, "path", "the commands PathDLexer yields for path data, one per line");
    const auto& d = verb.text("PATH-DATA", "the text of a \"d\" attribute, such as 'M0 0 L10 0 L10 10 Z'");
    verb.run([&d] {
        for (const PathCommand& command : PathDLexer(d)) std::cout << commandLine(command) << "\n";
        return 0;
    });
}

void define(CLI::App& group) {
    definePath(group);
}

const GroupRegistration registration{{"svg", "SVG documents rendered to PNG, summarised; path data as commands", 45, define}};

}  // namespace
}  // namespace qvtool
