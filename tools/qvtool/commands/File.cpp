// `qvtool file`: the size of a file or folder, and a byte count as a size text.
#include "../Cli.h"
#include "../Input.h"

#include <QVToolbox/QVToolbox.h>

#include <charconv>
#include <filesystem>
#include <iostream>

namespace qvtool {
namespace {

namespace fs = std::filesystem;

const char* kindName(fs::file_type type) {
    switch (type) {
        case fs::file_type::fifo: return "a FIFO";
        case fs::file_type::socket: return "a socket";
        case fs::file_type::block: return "a block device";
        case fs::file_type::character: return "a character device";
        default: return "neither a regular file nor a folder";
    }
}

void defineSize(CLI::App& group) {
    Verb verb(group, "size", "the size of a file, or of every file below a folder (links not followed)");
    const auto& path = verb.argument("PATH", "a regular file or a folder; status 1 for anything else");
    verb.run([&path] {
        std::error_code error;
        const auto status = fs::status(path, error);
        if (status.type() == fs::file_type::not_found) throw Failure("no such file or folder: " + path);
        if (error) throw Failure("cannot read " + path + ": " + error.message());
        if (status.type() != fs::file_type::regular && status.type() != fs::file_type::directory) {
            throw Failure(path + " is " + kindName(status.type()) + ", not a regular file or folder");
        }
        std::cout << QVToolbox::fileOrDirectorySize(path) << "\n";
        return 0;
    });
}

void defineBytes(CLI::App& group) {
    Verb verb(group, "bytes", "a byte count as a size text (1572864 -> 1.50 MB)");
    const auto& n = verb.argument("N", "a whole number of bytes (negative stays in bytes)");
    verb.run([&n] {
        std::uint64_t count = 0;
        const auto [end, error] = std::from_chars(n.data(), n.data() + n.size(), count);
        if (error == std::errc() && end == n.data() + n.size() && !n.empty()) {
            std::cout << QVToolbox::covertUInt64ToString(count) << "\n";
        } else {
            std::cout << QVToolbox::covertInt64ToString(wholeNumber(n, "N")) << "\n";
        }
        return 0;
    });
}

void define(CLI::App& group) {
    defineSize(group);
    defineBytes(group);
}

const GroupRegistration registration{{"file", "file and folder sizes, byte counts as size texts", 40, define}};

}  // namespace
}  // namespace qvtool
