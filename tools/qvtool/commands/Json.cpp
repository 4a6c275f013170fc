// `qvtool json`: a JSON object checked and written compactly, or turned into a sorted URL
// query. Bad JSON is answered with the reader's reason and the byte offset where it stopped.
#include "../Cli.h"
#include "../Input.h"

#include <QVToolbox/QVToolbox.h>

#include <QVPlatform/foundation/JSONSerialization.h>

#include <iostream>

namespace qvtool {
namespace {

using platform::Any;
using platform::JSONSerialization;

// Why the text holds no JSON object, in one line.
std::string whyNoObject(const std::string& text) {
    platform::JSONReadError error;
    const auto value = JSONSerialization::jsonObject(text, {}, &error);
    if (!value) return "JSON is not valid at byte " + std::to_string(error.offset) + ": " + error.reason;
    return "JSON holds an array, not an object";
}

void define(CLI::App& group) {
    {
        Verb verb(group, "query", "the sorted, percent-encoded URL query of an object");
        const auto& json = verb.text("JSON", "a JSON object");
        verb.run([&json] {
            const auto dictionary = QVToolbox::jsonToDictionary(json);
            if (!dictionary) throw BadInput(whyNoObject(json));
            std::cout << QVToolbox::toSortedURLQuery(*dictionary) << "\n";
            return 0;
        });
    }
    Verb verb(group, "check", "the compact JSON of the object; status 1 (and why) when the text holds none");
    const auto& json = verb.text("JSON", "a JSON object");
    verb.run([&json] {
        const auto dictionary = QVToolbox::jsonToDictionary(json);
        if (!dictionary) throw Failure(whyNoObject(json));
        std::cout << JSONSerialization::data(Any(*dictionary)).value_or("") << "\n";
        return 0;
    });
}

const GroupRegistration registration{{"json", "JSON objects checked, or turned into URL queries", 42, define}};

}  // namespace
}  // namespace qvtool
